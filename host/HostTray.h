// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

class HostApplication;
class QMenu;
class QSystemTrayIcon;

/// The widget host's icon in the desktop's tray (a StatusNotifierItem or an
/// XEmbed icon, whichever the desktop offers), and its menu: the widgets
/// installed in ~/Library/Widgets, each checked while it runs (choosing one
/// starts or closes it); Add Widget… and Remove; Show All and Hide All; the
/// key that shows and hides them (or why there is none); the layer; Open in Quillet;
/// Start at Login (an XDG autostart entry, which brings back the widgets
/// that ran); Quit. Where the desktop has no tray the host runs without one, and the
/// menu is still made (tests drive it).
class HostTray : public QObject
{
    Q_OBJECT

public:
    explicit HostTray(HostApplication *host);
    ~HostTray() override;

    QMenu *menu() const { return m_menu; }
    /// The autostart entry that starts the host as the user logs in.
    static QString autostartEntry();
    /// Whether the icon shows in a tray.
    bool isShown() const;

private:
    /// The menu as the host stands now, made afresh each time it opens.
    void fill();
    void addInstalled(const QStringList &installed);
    void addLayers();
    void addOpenInEditor(const QStringList &installed);
    void addStartAtLogin();
    void addRemove(const QStringList &installed);
    void addShortcut();
    /// Asks for a widget, installs it (asking before replacing one of the
    /// same name) and starts it.
    void addWidget();

    HostApplication *m_host;
    QMenu *m_menu;
    QSystemTrayIcon *m_icon = nullptr;
};
