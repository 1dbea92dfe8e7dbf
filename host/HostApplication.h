// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "host/WidgetLayer.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>

class BorderlessWindow;
class DimmedScreens;
class GlobalShortcut;
class TaskbarHint;
class QKeySequence;
class QLocalServer;
class QLocalSocket;
class WidgetPlacement;

/// The widget host: runs installed widgets, one window per bundle, and all of
/// one user's widgets in one process. A later start hands its bundles to the
/// running host over a local socket and ends. Later starts may also give
/// commands, which the running host carries out: "show-all", "hide-all",
/// "toggle" (shows all when none shows, else hides all) and "layer=<name>"
/// (see WidgetLayer).
///
/// The host keeps a log on standard output, one line per event:
/// "showing <bundle>" when a widget's window is shown or reloaded, and
/// "closing <bundle>" when it closes, <bundle> being the canonical path;
/// "showing all", "hiding all" and "layer <name>" for the commands.
class HostApplication : public QObject
{
    Q_OBJECT

public:
    explicit HostApplication(QObject *parent = nullptr);
    /// Deletes the windows still open, without logging them.
    ~HostApplication() override;

    /// Where the running host of this user listens: a socket in the user's
    /// own runtime folder, which no other user can reach.
    static QString defaultServerName();

    /// The whole program: hands `paths` and `commands` to this user's running
    /// host, or becomes that host, carries them out and runs the event loop.
    /// With no bundles named, the host starts the widgets that ran when it
    /// last ended, in the layer it had. It ends with its last widget, unless
    /// it shows an icon in the desktop's tray (see HostTray), which stays
    /// until Quit. Commands alone need a running host. Returns the exit status.
    int run(const QStringList &paths, const QStringList &commands = {});

    bool isRunning(const QString &bundle) const;
    /// Closes the bundle's widget as the user removes one: its page's
    /// widget.onremove runs first. `closed` runs once the window has gone,
    /// at once when the bundle does not run.
    void closeWidget(const QString &bundle, const std::function<void()> &closed = {});
    /// The widgets that ran and the layer the host had when it last ended,
    /// or when they last changed.
    static QStringList savedRunning();
    static WidgetLayer savedLayer();

    /// The key that shows and hides all widgets from any program: F12 until
    /// the user chooses another, kept from run to run. The host grabs it as
    /// it runs.
    GlobalShortcut *shortcut() const { return m_shortcut; }
    void setShortcutKey(const QKeySequence &key);
    static QKeySequence savedShortcutKey();

    /// Gives `message` (absolute bundle paths and commands) to the host
    /// listening on `serverName`; false when no host took it.
    static bool handOver(const QString &serverName, const QStringList &message);
    /// Takes bundle paths from later starts. A socket left behind by a host
    /// that died is replaced, so call this only once handOver() failed.
    bool listen(const QString &serverName);

    /// Shows each bundle in its own window; a bundle already showing is read
    /// again, reloaded and raised. A path that is not a folder is reported on
    /// standard error and skipped.
    void showWidgets(const QStringList &paths);
    /// Carries out each element of `message`: a bundle's absolute path is
    /// shown, anything else is a command.
    void receive(const QStringList &message);

    void setLayer(WidgetLayer layer);
    WidgetLayer layer() const { return m_layer; }
    /// Shows every widget the host runs (above the dimmed screens, in the
    /// dashboard layer), or hides them all, leaving them running.
    void showAll();
    void hideAll();
    /// Shows all when none shows, else hides all: the key, the tray icon's
    /// click and the "toggle" command.
    void toggleAll();
    bool isShowingAny() const;
    /// Ends the host, keeping what runs for the next start: the windows
    /// closing on the way out do not count as closed by the user.
    void quit();

signals:
    /// The last window closed. The host no longer listens by then, so a new
    /// start becomes a new host rather than handing its bundles to this one.
    void lastWidgetClosed();
    void layerChanged(WidgetLayer layer);

private:
    bool becomeHost(const QStringList &message);
    void showWidget(const QString &path);
    void command(const QString &command);
    BorderlessWindow *createWindow(const QString &key);
    /// Stacks `window` as the layer says; a shown window shows again.
    void applyLayer(BorderlessWindow *window);
    void forget(const QString &key);
    /// Notes the running widgets and the layer for the next start.
    void saveSession() const;
    void acceptConnections();
    void receiveMessage(QLocalSocket *socket);

    QLocalServer *m_server;
    WidgetPlacement *m_placement;
    DimmedScreens *m_dimmed;
    GlobalShortcut *m_shortcut;
    TaskbarHint *m_taskbarHint;
    WidgetLayer m_layer = WidgetLayer::Above;
    /// With an icon in the tray, the host outlives its last widget.
    bool m_staysWithoutWidgets = false;
    bool m_quitting = false;
    QHash<QString, BorderlessWindow *> m_windows;
};
