// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/ToolbarItem.h"

#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QToolBar>

#include <optional>

/// A window's toolbar, named by an identifier. Its delegate says which items
/// it shows by default and which it allows, and makes each item. With user
/// customization on, a palette lets the user choose and order the items; with
/// autosave on, the arrangement is saved under the identifier, and every
/// toolbar of that identifier, in any window and later launch, follows it.
///
/// A Toolbar belongs to the window it is installed on; installing another
/// replaces it.
class Toolbar : public QObject
{
    Q_OBJECT

public:
    /// Identifiers of the standard items every toolbar knows.
    static const QString SpaceItemIdentifier;
    static const QString FlexibleSpaceItemIdentifier;
    static const QString SeparatorItemIdentifier;
    static const QString CustomizeToolbarItemIdentifier;

    enum DisplayMode { DisplayModeDefault = 0, DisplayModeIconAndLabel, DisplayModeIconOnly, DisplayModeLabelOnly };

    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual QStringList toolbarDefaultItemIdentifiers() const = 0;
        virtual QStringList toolbarAllowedItemIdentifiers() const = 0;
        /// A new item for the identifier; nothing for an identifier it does not know.
        virtual std::optional<ToolbarItem> itemForItemIdentifier(const QString &identifier) = 0;
    };

    explicit Toolbar(const QString &identifier);
    ~Toolbar() override;

    QString identifier() const { return m_identifier; }
    void setDelegate(Delegate *delegate) { m_delegate = delegate; }
    void setAllowsUserCustomization(bool allows) { m_allowsUserCustomization = allows; }
    bool allowsUserCustomization() const { return m_allowsUserCustomization; }
    void setAutosavesConfiguration(bool autosaves) { m_autosaves = autosaves; }
    void setDisplayMode(DisplayMode mode) { m_displayMode = mode; }
    DisplayMode displayMode() const { return m_displayMode; }

    /// Builds the items and puts the toolbar on the window, in place of the
    /// toolbar the window had. The window takes ownership.
    void install(QMainWindow *window);
    /// The toolbar installed on the window, if any.
    static Toolbar *toolbarOf(const QMainWindow *window);

    /// The identifiers of the items shown, in order.
    QStringList itemIdentifiers() const { return m_items; }
    /// The items as made for this toolbar, in order (standard items left out).
    QList<ToolbarItem> items() const { return m_madeItems; }
    /// Shows these items (those the delegate allows), saving the arrangement
    /// when autosave is on.
    void setConfiguration(const QStringList &identifiers, DisplayMode mode);

    /// Runs the customization palette and applies what the user chose.
    void runCustomizationPalette();

    /// The Qt tool bar that shows the items; null before install.
    QToolBar *toolBar() const { return m_toolBar; }

    /// The label the palette shows for a standard item, empty for others.
    static QString standardItemLabel(const QString &identifier);

private:
    void rebuild();
    void takeBackViews();
    void addItem(const QString &identifier);
    void addView(const ToolbarItem &item);
    void addCommand(const ToolbarItem &item);
    void showContextMenu(const QPoint &position);
    QStringList allowedOnly(const QStringList &identifiers) const;
    void followSavedConfiguration(const QString &identifier);

    QString m_identifier;
    Delegate *m_delegate = nullptr;
    bool m_allowsUserCustomization = false;
    bool m_autosaves = false;
    DisplayMode m_displayMode = DisplayModeDefault;
    QStringList m_items;
    QList<ToolbarItem> m_madeItems;
    QPointer<QMainWindow> m_window;
    QPointer<QToolBar> m_toolBar;
};
