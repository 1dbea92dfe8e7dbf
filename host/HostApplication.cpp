// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"

#include "host/BorderlessWindow.h"
#include "host/CloseBox.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPlacement.h"
#include "host/WidgetPreviewView.h"
#include "host/WidgetRuntime.h"
#include "host/WidgetWebPage.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTextStream>

#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcHost, "quillet.host")

// Both ends are this same program; the version is fixed all the same so that
// an older running host still reads a newer start's message.
constexpr QDataStream::Version WireVersion = QDataStream::Qt_6_0;
constexpr int HandOverTimeout = 2000;

// Where the close box goes when the bundle does not say: clear of the
// rounded corner most widgets draw, and inside the smallest of them.
constexpr QPoint DefaultCloseBoxInset(8, 8);

void log(QStringView event, const QString &bundle)
{
    QTextStream(stdout) << event << u' ' << bundle << Qt::endl;
}

// A running host may have another working folder than the start that names
// a bundle relatively.
QStringList absolutePaths(const QStringList &paths)
{
    QStringList absolute;
    for (const QString &path : paths)
        absolute.append(QFileInfo(path).absoluteFilePath());
    return absolute;
}

QPoint closeBoxPosition(const WidgetBundle &bundle)
{
    const QPoint inset = bundle.closeBoxInset();
    return inset.isNull() ? DefaultCloseBoxInset : inset;
}

} // namespace

HostApplication::HostApplication(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
    , m_placement(new WidgetPlacement(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &HostApplication::acceptConnections);
}

HostApplication::~HostApplication()
{
    qDeleteAll(m_windows);
}

QString HostApplication::defaultServerName()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/quillet-host");
    return QDir::tempPath() + QStringLiteral("/quillet-host-%1").arg(::getuid());
}

int HostApplication::run(const QStringList &paths)
{
    if (paths.isEmpty()) {
        QTextStream(stderr) << "usage: quillet-host <widget bundle>..." << Qt::endl;
        return 2;
    }
    const QStringList absolute = absolutePaths(paths);
    if (!becomeHost(absolute))
        return 0;
    showWidgets(absolute);
    if (m_windows.isEmpty())
        return 1;
    // Closing the last widget ends the host, not hiding one for a reload.
    qApp->setQuitOnLastWindowClosed(false);
    connect(this, &HostApplication::lastWidgetClosed, qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

// The lock spans asking and listening, so two starts at the same moment
// cannot both find no host and both become one.
bool HostApplication::becomeHost(const QStringList &paths)
{
    const QString name = defaultServerName();
    QLockFile startup(name + QStringLiteral(".lock"));
    startup.lock();
    if (handOver(name, paths))
        return false;
    if (!listen(name))
        qCWarning(lcHost) << "cannot listen for later starts:" << m_server->errorString();
    return true;
}

bool HostApplication::handOver(const QString &serverName, const QStringList &paths)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(HandOverTimeout))
        return false;
    QDataStream stream(&socket);
    stream.setVersion(WireVersion);
    stream << paths;
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(HandOverTimeout)) {
    }
    return socket.bytesToWrite() == 0;
}

bool HostApplication::listen(const QString &serverName)
{
    if (m_server->listen(serverName))
        return true;
    QLocalServer::removeServer(serverName);
    return m_server->listen(serverName);
}

void HostApplication::showWidgets(const QStringList &paths)
{
    for (const QString &path : paths)
        showWidget(path);
}

void HostApplication::showWidget(const QString &path)
{
    const QFileInfo folder(path);
    if (!folder.isDir()) {
        qCWarning(lcHost).noquote() << "not a widget bundle:" << path;
        return;
    }
    const QString key = folder.canonicalFilePath();
    BorderlessWindow *window = m_windows.value(key);
    if (!window)
        window = createWindow(key);
    const WidgetBundle bundle = WidgetBundle::read(key);
    window->showWidget(bundle);
    m_placement->place(window, WidgetPreferences::domainOf(bundle));
    window->findChild<CloseBox *>()->move(closeBoxPosition(bundle));
    // Started by the user, so it takes the keyboard: Escape closes it at once.
    window->activateWindow();
    log(u"showing", key);
}

BorderlessWindow *HostApplication::createWindow(const QString &key)
{
    const WidgetPreferences store(WidgetPreferences::Store::Installed,
                                  WidgetPreferences::domainOf(WidgetBundle::read(key)));
    auto *window = new BorderlessWindow(store.webProfile());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setClosesOnEscape(true);
    window->setWindowTitle(QFileInfo(key).completeBaseName());
    window->runtime()->setPreferenceStore(WidgetPreferences::Store::Installed);
    // The widget's log goes to standard error, each line under its name.
    const QString name = window->windowTitle();
    connect(window->runtime(), &WidgetRuntime::pageLogged, this,
            [name](const QString &line) { QTextStream(stderr) << name << QStringLiteral(": ") << line << Qt::endl; });
    auto *closeBox = new CloseBox(window);
    connect(closeBox, &CloseBox::clicked, window, &BorderlessWindow::removeWidget);
    connect(window->runtime(), &WidgetRuntime::closeBoxOffsetRequested, closeBox,
            [closeBox](const QPoint &offset) { closeBox->move(offset); });
    // Forgotten as it closes, not once deleted, so that starting the bundle
    // again in between makes a new window instead of showing a doomed one.
    connect(window, &BorderlessWindow::closed, this, [this, key] { forget(key); });
    m_windows.insert(key, window);
    return window;
}

void HostApplication::forget(const QString &key)
{
    if (!m_windows.remove(key))
        return;
    log(u"closing", key);
    if (m_windows.isEmpty()) {
        m_server->close();
        emit lastWidgetClosed();
    }
}

void HostApplication::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receivePaths(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HostApplication::receivePaths(QLocalSocket *socket)
{
    QDataStream stream(socket);
    stream.setVersion(WireVersion);
    stream.startTransaction();
    QStringList paths;
    stream >> paths;
    if (stream.commitTransaction())
        showWidgets(paths);
}
