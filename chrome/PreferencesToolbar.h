// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Toolbar.h"

#include <QObject>
#include <QPointer>
#include <QTabWidget>

/// The preferences window's toolbar: one item per pane, which selects the
/// pane. Its items are fixed: the user cannot customize them.
class PreferencesToolbar : public QObject, public Toolbar::Delegate
{
    Q_OBJECT

public:
    /// `tabView`'s window, a main window, gets the toolbar.
    explicit PreferencesToolbar(QTabWidget *tabView);

    void setUp();

    QStringList toolbarDefaultItemIdentifiers() const override;
    QStringList toolbarAllowedItemIdentifiers() const override;
    std::optional<ToolbarItem> itemForItemIdentifier(const QString &identifier) override;

private:
    /// Builds a new toolbar, so every item shows whether its pane is selected.
    void setupToolbar();
    void selectGeneralTab();

    QPointer<QTabWidget> m_tabView;
};
