// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Toolbar.h"

#include <QObject>
#include <QPointer>

class DocumentWindowCommands;
class QMainWindow;

/// The document window's toolbar: New Widget, Open, Save, Preview (Stop
/// while the preview shows), Build and Run and the search field. The
/// identifiers are those saved with each user's arrangement of the toolbar,
/// so they never change.
class DocumentToolbar : public QObject, public Toolbar::Delegate
{
    Q_OBJECT

public:
    DocumentToolbar(QMainWindow *window, DocumentWindowCommands *commands);

    /// Builds a new toolbar and installs it on the window, replacing the
    /// old one: Preview and Stop trade places this way.
    void install();

    QStringList toolbarDefaultItemIdentifiers() const override;
    QStringList toolbarAllowedItemIdentifiers() const override;
    std::optional<ToolbarItem> itemForItemIdentifier(const QString &identifier) override;

private:
    QPointer<QMainWindow> m_window;
    DocumentWindowCommands *m_commands;
};
