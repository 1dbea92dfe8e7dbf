// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/GlobalShortcut.h"
#include "host/PortalShortcut.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString PortalPath = u"/org/freedesktop/portal/desktop"_s;

QString senderPart(const QDBusMessage &message)
{
    return message.service().mid(1).replace(u'.', u'_');
}

} // namespace

/// A session the stand-in portal made, which the shortcut closes when it
/// lets its key go.
class StandInSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    using QObject::QObject;
    bool closed = false;

public slots:
    void Close() { closed = true; }
};

/// The desktop portal's global shortcuts as a desktop answers them, on its
/// own connection to a private bus: it binds whatever key it is told to.
class StandInPortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)

public:
    explicit StandInPortal(const QDBusConnection &connection)
        : m_connection(connection)
    { }
    uint version() const { return 1; }

    uint response = 0; // what the user answers: 0 yes, 1 no
    QString named; // the key the desktop binds, as it names it
    QString asked; // the key it was asked for
    StandInSession *session = nullptr;

    void press(const QString &id)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(PortalPath, u"org.freedesktop.portal.GlobalShortcuts"_s, u"Activated"_s);
        signal << QVariant::fromValue(QDBusObjectPath(session->objectName())) << id << qulonglong(1) << QVariantMap();
        m_connection.send(signal);
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &message)
    {
        const QString path = u"%1/session/%2/%3"_s.arg(PortalPath, senderPart(message),
                                                       options.value(u"session_handle_token"_s).toString());
        session = new StandInSession(this);
        session->setObjectName(path);
        m_connection.registerObject(path, session, QDBusConnection::ExportAllSlots);
        return answer(message, options, 0, {{u"session_handle"_s, path}});
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath &, const QList<PortalShortcut::Binding> &shortcuts,
                                  const QString &, const QVariantMap &options, const QDBusMessage &message)
    {
        asked = shortcuts.value(0).options.value(u"preferred_trigger"_s).toString();
        const QList<PortalShortcut::Binding> bound{{shortcuts.value(0).id, {{u"trigger_description"_s, named}}}};
        return answer(message, options, response, {{u"shortcuts"_s, QVariant::fromValue(bound)}});
    }

private:
    // The outcome follows the call's return, as a signal on the request.
    QDBusObjectPath answer(const QDBusMessage &message, const QVariantMap &options, uint outcome,
                           const QVariantMap &results)
    {
        const QString path =
            u"%1/request/%2/%3"_s.arg(PortalPath, senderPart(message), options.value(u"handle_token"_s).toString());
        QTimer::singleShot(0, this, [this, path, outcome, results] {
            QDBusMessage signal = QDBusMessage::createSignal(path, u"org.freedesktop.portal.Request"_s, u"Response"_s);
            signal << outcome << results;
            m_connection.send(signal);
        });
        return QDBusObjectPath(path);
    }

    QDBusConnection m_connection;
};

// Pressed as a user presses it, whichever window has the keyboard: through
// the desktop's portal where it has one, else from the X server.
class tst_GlobalShortcut : public QObject
{
    Q_OBJECT

private slots:
    // A bus of the test's own, before anything reaches for the session's:
    // the session bus's settings less the services it starts when asked for,
    // so that no portal installed here can take the stand-in's name.
    void initTestCase()
    {
        QFile session(u"/usr/share/dbus-1/session.conf"_s);
        QVERIFY(session.open(QIODevice::ReadOnly) && m_busDir.isValid());
        const QString config = m_busDir.filePath(u"bus.conf"_s);
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(session.readAll().replace("<standard_session_servicedirs />", ""));
        file.close();
        m_bus.start(u"dbus-daemon"_s, {u"--config-file="_s + config, u"--nofork"_s, u"--print-address=1"_s});
        QVERIFY2(m_bus.waitForReadyRead(5000), "dbus-daemon did not start");
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.readLine().trimmed());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase()
    {
        m_bus.kill();
        m_bus.waitForFinished();
    }

    // The bus has no portal, so the key is grabbed from the X server.
    void fromX11_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("pressed"); // as xdotool names it; none when the key is not had
        QTest::newRow("a function key") << u"F12"_s << u"F12"_s;
        QTest::newRow("with modifiers") << u"Ctrl+Alt+K"_s << u"ctrl+alt+k"_s;
        QTest::newRow("two keys in turn") << u"Ctrl+K, Ctrl+L"_s << QString();
        QTest::newRow("a key of no kind grabbed") << u"Ctrl+Left"_s << QString();
    }
    void fromX11()
    {
        if (QGuiApplication::platformName() != u"xcb")
            QSKIP("needs an X11 display");
        QFETCH(QString, key);
        QFETCH(QString, pressed);
        GlobalShortcut shortcut;
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        shortcut.setKey(QKeySequence::fromString(key));
        QTRY_VERIFY(!shortcut.pending());
        QCOMPARE(shortcut.problem().isEmpty(), !pressed.isEmpty());
        if (pressed.isEmpty())
            return;
        QCOMPARE(shortcut.bound(), QKeySequence::fromString(key).toString(QKeySequence::NativeText));
        QCOMPARE(QProcess::execute(u"xdotool"_s, {u"key"_s, u"shift+a"_s, pressed}), 0);
        QTRY_COMPARE(activated.count(), 1);
        // Let go, it no longer answers.
        shortcut.setKey({});
        QVERIFY(!shortcut.problem().isEmpty());
        QCOMPARE(QProcess::execute(u"xdotool"_s, {u"key"_s, pressed}), 0);
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
    }

    void fromThePortal_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<uint>("response");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("asked");
        QTest::newRow("bound as asked") << u"F12"_s << 0u << u"F12"_s << u"F12"_s;
        QTest::newRow("the desktop binds another") << u"Ctrl+Alt+K"_s << 0u << u"Meta+W"_s << u"CTRL+ALT+k"_s;
        QTest::newRow("the user refuses") << u"Shift+Meta+Space"_s << 1u << QString() << u"SHIFT+LOGO+space"_s;
    }
    void fromThePortal()
    {
        QFETCH(QString, key);
        QFETCH(uint, response);
        QFETCH(QString, named);
        QFETCH(QString, asked);
        QDBusConnection connection =
            QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), u"portal"_s);
        qDBusRegisterMetaType<PortalShortcut::Binding>();
        qDBusRegisterMetaType<QList<PortalShortcut::Binding>>();
        StandInPortal portal(connection);
        portal.response = response;
        portal.named = named;
        QVERIFY(connection.registerObject(PortalPath, &portal,
                                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        QVERIFY(connection.registerService(u"org.freedesktop.portal.Desktop"_s));
        const auto leave = qScopeGuard([&connection] {
            connection.unregisterService(u"org.freedesktop.portal.Desktop"_s);
            QDBusConnection::disconnectFromBus(u"portal"_s);
        });

        GlobalShortcut shortcut;
        QSignalSpy activated(&shortcut, &GlobalShortcut::activated);
        shortcut.setKey(QKeySequence::fromString(key));
        QVERIFY(shortcut.pending());
        QTRY_VERIFY(!shortcut.pending());
        QCOMPARE(portal.asked, asked);
        QCOMPARE(shortcut.bound(), named);
        QCOMPARE(shortcut.problem().isEmpty(), response == 0);

        portal.press(u"another"_s);
        portal.press(QString::fromUtf16(PortalShortcut::Id));
        QTRY_COMPARE(activated.count(), response == 0 ? 1 : 0);
        QTest::qWait(100);
        QCOMPARE(activated.count(), response == 0 ? 1 : 0);
        // A key let go closes its session, and a press of it no longer counts.
        shortcut.setKey({});
        QTRY_VERIFY(portal.session->closed);
        portal.press(QString::fromUtf16(PortalShortcut::Id));
        QTest::qWait(200);
        QCOMPARE(activated.count(), response == 0 ? 1 : 0);
    }

private:
    QTemporaryDir m_busDir;
    QProcess m_bus;
};

QTEST_MAIN(tst_GlobalShortcut)
#include "tst_GlobalShortcut.moc"
