// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/PortalShortcut.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

using namespace Qt::StringLiterals;

namespace {

const QString Service = u"org.freedesktop.portal.Desktop"_s;
const QString Path = u"/org/freedesktop/portal/desktop"_s;
const QString Interface = u"org.freedesktop.portal.GlobalShortcuts"_s;
const QString RequestInterface = u"org.freedesktop.portal.Request"_s;

// A portal that is started on demand may take its time; one that takes
// longer than this is taken for absent.
constexpr int ProbeTimeout = 5000;

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

QDBusMessage portalCall(const QString &method)
{
    return QDBusMessage::createMethodCall(Service, Path, Interface, method);
}

// Where the portal answers a request made with `token`: a path named after
// this connection, known before the call so that no answer is missed.
QString requestPath(const QString &token)
{
    QString sender = bus().baseService().mid(1);
    sender.replace(u'.', u'_');
    return u"%1/request/%2/%3"_s.arg(Path, sender, token);
}

QString keyName(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return QString(QChar(u'a' + (key - Qt::Key_A)));
    if (key == Qt::Key_Space)
        return u"space"_s;
    return QKeySequence(key).toString(QKeySequence::PortableText);
}

} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut::Binding &binding)
{
    argument.beginStructure();
    argument << binding.id << binding.options;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut::Binding &binding)
{
    argument.beginStructure();
    argument >> binding.id >> binding.options;
    argument.endStructure();
    return argument;
}

PortalShortcut::PortalShortcut(QObject *parent)
    : QObject(parent)
{
    qDBusRegisterMetaType<Binding>();
    qDBusRegisterMetaType<QList<Binding>>();
    bus().connect(Service, Path, Interface, u"Activated"_s, this, SLOT(onActivated(QDBusMessage)));
}

PortalShortcut::~PortalShortcut()
{
    release();
}

QString PortalShortcut::trigger(const QKeySequence &key)
{
    if (key.isEmpty())
        return {};
    const QKeyCombination combination = key[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    QStringList parts;
    if (modifiers & Qt::ControlModifier)
        parts << u"CTRL"_s;
    if (modifiers & Qt::AltModifier)
        parts << u"ALT"_s;
    if (modifiers & Qt::ShiftModifier)
        parts << u"SHIFT"_s;
    if (modifiers & Qt::MetaModifier)
        parts << u"LOGO"_s;
    return (parts << keyName(combination.key())).join(u'+');
}

void PortalShortcut::bind(const QKeySequence &key)
{
    release();
    m_key = key;
    if (!bus().isConnected() || m_present == false)
        emit unavailable();
    else if (m_present)
        createSession();
    else
        probe();
}

void PortalShortcut::release()
{
    forgetRequest();
    m_step = Step::None;
    if (m_session.isEmpty())
        return;
    bus().asyncCall(
        QDBusMessage::createMethodCall(Service, m_session, u"org.freedesktop.portal.Session"_s, u"Close"_s));
    m_session.clear();
}

// The portal is there when it has the interface's version to tell.
void PortalShortcut::probe()
{
    m_step = Step::Probing;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    call << Interface << u"version"_s;
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(call, ProbeTimeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *watcher) {
        watcher->deleteLater();
        if (m_step != Step::Probing)
            return;
        m_step = Step::None;
        m_present = !watcher->isError();
        if (*m_present)
            createSession();
        else
            emit unavailable();
    });
}

void PortalShortcut::createSession()
{
    const QString token = u"quillet%1"_s.arg(++m_tokens);
    QDBusMessage call = portalCall(u"CreateSession"_s);
    call << QVariantMap{{u"handle_token"_s, token}, {u"session_handle_token"_s, token}};
    request(call, token, Step::CreatingSession);
}

void PortalShortcut::bindInSession(const QString &session)
{
    m_session = session;
    const QString token = u"quillet%1"_s.arg(++m_tokens);
    const QList<Binding> shortcuts{
        {QString::fromUtf16(Id),
         {{u"description"_s, tr("Show and hide the widgets")}, {u"preferred_trigger"_s, trigger(m_key)}}}};
    QDBusMessage call = portalCall(u"BindShortcuts"_s);
    call << QVariant::fromValue(QDBusObjectPath(session)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap{{u"handle_token"_s, token}};
    request(call, token, Step::Binding);
}

// A request is answered twice: the call returns its path at once, and the
// Response signal on that path carries the outcome, perhaps after the user
// was asked.
void PortalShortcut::request(const QDBusMessage &call, const QString &token, Step step)
{
    m_step = step;
    m_request = requestPath(token);
    bus().connect(Service, m_request, RequestInterface, u"Response"_s, this, SLOT(onResponse(QDBusMessage)));
    auto *watcher = new QDBusPendingCallWatcher(bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path = m_request](QDBusPendingCallWatcher *watcher) {
                watcher->deleteLater();
                if (m_request == path && watcher->isError())
                    fail(tr("The desktop could not give the key: %1").arg(watcher->error().message()));
            });
}

void PortalShortcut::forgetRequest()
{
    if (m_request.isEmpty())
        return;
    bus().disconnect(Service, m_request, RequestInterface, u"Response"_s, this, SLOT(onResponse(QDBusMessage)));
    m_request.clear();
}

void PortalShortcut::fail(const QString &why)
{
    release();
    emit refused(why);
}

// The signals' arguments are read from the message: a slot typed by them
// connects only once QtDBus has registered those types, which it does late.
void PortalShortcut::onResponse(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (message.path() != m_request || arguments.size() != 2)
        return;
    const uint response = arguments[0].toUInt();
    const auto results = qdbus_cast<QVariantMap>(arguments[1]);
    forgetRequest();
    // 1: the user said no; 2: the request ended some other way.
    if (response != 0) {
        fail(response == 1 ? tr("The desktop was asked for %1 and refused it").arg(m_key.toString())
                           : tr("The desktop could not give %1").arg(m_key.toString()));
        return;
    }
    if (m_step == Step::CreatingSession) {
        const QVariant session = results.value(u"session_handle"_s);
        // The portal names the session as a string, though it is a path.
        bindInSession(session.metaType() == QMetaType::fromType<QDBusObjectPath>()
                          ? session.value<QDBusObjectPath>().path()
                          : session.toString());
        return;
    }
    m_step = Step::None;
    const auto shortcuts = qdbus_cast<QList<Binding>>(results.value(u"shortcuts"_s));
    for (const Binding &shortcut : shortcuts) {
        if (shortcut.id == QStringView(Id)) {
            const QString named = shortcut.options.value(u"trigger_description"_s).toString();
            emit bound(named.isEmpty() ? m_key.toString(QKeySequence::NativeText) : named);
            return;
        }
    }
    fail(tr("The desktop bound no key"));
}

void PortalShortcut::onActivated(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2)
        return;
    const QString session = qdbus_cast<QDBusObjectPath>(arguments[0]).path();
    if (!m_session.isEmpty() && session == m_session && arguments[1].toString() == QStringView(Id))
        emit activated();
}
