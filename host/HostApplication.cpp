// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/HostApplication.h"

#include "host/BorderlessWindow.h"
#include "host/CloseBox.h"
#include "host/DimmedScreens.h"
#include "host/GlobalShortcut.h"
#include "host/HostTray.h"
#include "host/TaskbarHint.h"
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
#include <QSettings>
#include <QShortcut>
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

// Found afresh on every use, so a change of home is followed.
QSettings session()
{
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/Quillet/Widget Host.conf"),
                     QSettings::IniFormat);
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
    , m_dimmed(new DimmedScreens(this))
    , m_shortcut(new GlobalShortcut(this))
    , m_taskbarHint(new TaskbarHint(this))
{
    connect(m_shortcut, &GlobalShortcut::activated, this, &HostApplication::toggleAll);
    connect(m_dimmed, &DimmedScreens::dismissed, this, &HostApplication::hideAll);
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

int HostApplication::run(const QStringList &paths, const QStringList &commands)
{
    if (paths.isEmpty() && !commands.isEmpty()) {
        if (handOver(defaultServerName(), commands))
            return 0;
        QTextStream(stderr) << "quillet-host: no widget host is running to take: " << commands.join(u", ") << Qt::endl;
        return 1;
    }
    const QStringList message = paths.isEmpty() ? savedRunning() : commands + absolutePaths(paths);
    if (!becomeHost(message))
        return 0;
    setLayer(savedLayer());
    m_shortcut->setKey(savedShortcutKey());
    receive(message);
    const HostTray tray(this);
    m_staysWithoutWidgets = tray.isShown();
    if (m_windows.isEmpty() && !m_staysWithoutWidgets) {
        if (paths.isEmpty())
            QTextStream(stderr) << "usage: quillet-host <widget bundle>..." << Qt::endl;
        return paths.isEmpty() ? 2 : 1;
    }
    // Closing the last widget ends a host without a tray icon; hiding one
    // for a reload does not.
    qApp->setQuitOnLastWindowClosed(false);
    connect(this, &HostApplication::lastWidgetClosed, qApp, &QCoreApplication::quit);
    return QCoreApplication::exec();
}

bool HostApplication::isRunning(const QString &bundle) const
{
    return m_windows.contains(QFileInfo(bundle).canonicalFilePath());
}

void HostApplication::closeWidget(const QString &bundle, const std::function<void()> &closed)
{
    BorderlessWindow *window = m_windows.value(QFileInfo(bundle).canonicalFilePath());
    if (!window) {
        if (closed)
            closed();
        return;
    }
    if (closed)
        connect(window, &BorderlessWindow::closed, this, closed, Qt::SingleShotConnection);
    window->removeWidget();
}

QStringList HostApplication::savedRunning()
{
    return session().value(QStringLiteral("running")).toStringList();
}

WidgetLayer HostApplication::savedLayer()
{
    return WidgetLayers::named(session().value(QStringLiteral("layer")).toString()).value_or(WidgetLayer::Above);
}

void HostApplication::setShortcutKey(const QKeySequence &key)
{
    m_shortcut->setKey(key);
    session().setValue(QStringLiteral("shortcut"), key.toString(QKeySequence::PortableText));
}

QKeySequence HostApplication::savedShortcutKey()
{
    return QKeySequence::fromString(session().value(QStringLiteral("shortcut"), QStringLiteral("F12")).toString(),
                                    QKeySequence::PortableText);
}

void HostApplication::quit()
{
    m_quitting = true;
    QCoreApplication::quit();
}

void HostApplication::saveSession() const
{
    if (m_quitting)
        return;
    QSettings saved = session();
    saved.setValue(QStringLiteral("running"), QStringList(m_windows.keys()));
    saved.setValue(QStringLiteral("layer"), WidgetLayers::nameOf(m_layer));
}

// The lock spans asking and listening, so two starts at the same moment
// cannot both find no host and both become one.
bool HostApplication::becomeHost(const QStringList &message)
{
    const QString name = defaultServerName();
    QLockFile startup(name + QStringLiteral(".lock"));
    startup.lock();
    if (handOver(name, message))
        return false;
    if (!listen(name))
        qCWarning(lcHost) << "cannot listen for later starts:" << m_server->errorString();
    return true;
}

bool HostApplication::handOver(const QString &serverName, const QStringList &message)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(HandOverTimeout))
        return false;
    QDataStream stream(&socket);
    stream.setVersion(WireVersion);
    stream << message;
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

// Paths come made absolute, so a command is told apart by its first
// character; a host of an earlier version takes one for a path that is no
// folder, and says so.
void HostApplication::receive(const QStringList &message)
{
    for (const QString &item : message)
        item.startsWith(u'/') ? showWidget(item) : command(item);
}

void HostApplication::command(const QString &command)
{
    const std::optional<WidgetLayer> layer =
        command.startsWith(u"layer=") ? WidgetLayers::named(command.section(u'=', 1)) : std::nullopt;
    if (command == u"show-all")
        showAll();
    else if (command == u"hide-all")
        hideAll();
    else if (command == u"toggle")
        toggleAll();
    else if (layer)
        setLayer(*layer);
    else
        qCWarning(lcHost).noquote() << "not a command:" << command;
}

void HostApplication::setLayer(WidgetLayer layer)
{
    if (layer == m_layer)
        return;
    const bool leavingDashboard = m_layer == WidgetLayer::Dashboard;
    m_layer = layer;
    m_dimmed->hide();
    for (BorderlessWindow *window : std::as_const(m_windows))
        applyLayer(window);
    // Into the dashboard the widgets go away until it is called up; out of
    // it they show, as they did before.
    if (layer == WidgetLayer::Dashboard)
        hideAll();
    else if (leavingDashboard)
        showAll();
    saveSession();
    emit layerChanged(layer);
    log(u"layer", WidgetLayers::nameOf(layer));
}

void HostApplication::applyLayer(BorderlessWindow *window)
{
    const bool shown = window->isVisible();
    window->setWindowFlags(WidgetLayers::windowFlags(m_layer));
    // In the dashboard Escape dismisses it; elsewhere it removes the widget.
    window->setClosesOnEscape(m_layer != WidgetLayer::Dashboard);
    if (shown)
        window->show();
}

void HostApplication::showAll()
{
    if (m_layer == WidgetLayer::Dashboard)
        m_dimmed->show();
    for (BorderlessWindow *window : std::as_const(m_windows)) {
        window->show();
        window->raise();
    }
    log(u"showing", QStringLiteral("all"));
}

void HostApplication::hideAll()
{
    m_dimmed->hide();
    for (BorderlessWindow *window : std::as_const(m_windows))
        window->hide();
    log(u"hiding", QStringLiteral("all"));
}

void HostApplication::toggleAll()
{
    isShowingAny() ? hideAll() : showAll();
}

bool HostApplication::isShowingAny() const
{
    return std::any_of(m_windows.cbegin(), m_windows.cend(),
                       [](const BorderlessWindow *window) { return window->isVisible(); });
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
    // A widget started into a dashboard not called up waits there with the others.
    if (m_layer == WidgetLayer::Dashboard && !m_dimmed->isShowing())
        window->hide();
    // Started by the user, so it takes the keyboard: Escape closes it at once.
    window->activateWindow();
    saveSession();
    log(u"showing", key);
}

BorderlessWindow *HostApplication::createWindow(const QString &key)
{
    const WidgetPreferences store(WidgetPreferences::Store::Installed,
                                  WidgetPreferences::domainOf(WidgetBundle::read(key)));
    auto *window = new BorderlessWindow(store.webProfile());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(m_taskbarHint);
    applyLayer(window);
    // Escape in the dashboard dismisses it, whichever widget has the keyboard.
    auto *dismiss = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    dismiss->setEnabled(m_layer == WidgetLayer::Dashboard);
    connect(dismiss, &QShortcut::activated, this, &HostApplication::hideAll);
    connect(this, &HostApplication::layerChanged, dismiss,
            [dismiss](WidgetLayer layer) { dismiss->setEnabled(layer == WidgetLayer::Dashboard); });
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
    saveSession();
    log(u"closing", key);
    if (m_windows.isEmpty() && !m_staysWithoutWidgets) {
        m_server->close();
        emit lastWidgetClosed();
    }
}

void HostApplication::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receiveMessage(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HostApplication::receiveMessage(QLocalSocket *socket)
{
    QDataStream stream(socket);
    stream.setVersion(WireVersion);
    stream.startTransaction();
    QStringList message;
    stream >> message;
    if (stream.commitTransaction())
        receive(message);
}
