// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class BorderlessWindow;
class QLocalServer;
class QLocalSocket;
class WidgetPlacement;

/// The widget host: runs installed widgets, one window per bundle, and all of
/// one user's widgets in one process. A later start hands its bundles to the
/// running host over a local socket and ends.
///
/// The host keeps a log on standard output, one line per event:
/// "showing <bundle>" when a widget's window is shown or reloaded, and
/// "closing <bundle>" when it closes, <bundle> being the canonical path.
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

    /// The whole program: hands `paths` to this user's running host, or
    /// becomes that host, shows them and runs the event loop until the last
    /// widget closes. Returns the exit status.
    int run(const QStringList &paths);

    /// Gives `paths` to the host listening on `serverName`; false when no
    /// host took them.
    static bool handOver(const QString &serverName, const QStringList &paths);
    /// Takes bundle paths from later starts. A socket left behind by a host
    /// that died is replaced, so call this only once handOver() failed.
    bool listen(const QString &serverName);

    /// Shows each bundle in its own window; a bundle already showing is read
    /// again, reloaded and raised. A path that is not a folder is reported on
    /// standard error and skipped.
    void showWidgets(const QStringList &paths);

signals:
    /// The last window closed. The host no longer listens by then, so a new
    /// start becomes a new host rather than handing its bundles to this one.
    void lastWidgetClosed();

private:
    bool becomeHost(const QStringList &paths);
    void showWidget(const QString &path);
    BorderlessWindow *createWindow(const QString &key);
    void forget(const QString &key);
    void acceptConnections();
    void receivePaths(QLocalSocket *socket);

    QLocalServer *m_server;
    WidgetPlacement *m_placement;
    QHash<QString, BorderlessWindow *> m_windows;
};
