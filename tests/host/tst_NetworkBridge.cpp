// SPDX-License-Identifier: GPL-2.0-or-later
// The bridge that lets widget pages read any server: what it lets through,
// what it refuses early, and that pages giving up at any moment, several at
// once, never take it down.
#include "host/NetworkBridge.h"
#include "host/WebWidgetPreview.h"

#include "tests/host/WidgetPage.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

/// A server on 127.0.0.1 that answers "/delay/N" after N milliseconds,
/// "/never" not at all, "/cookie/NAME=VALUE" by setting that cookie, and
/// any other path with the cookies it was sent.
struct SlowServer : QTcpServer
{
    SlowServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    if (!socket->peek(1 << 16).contains("\r\n\r\n"))
                        return;
                    const QByteArray head = socket->readAll();
                    const QByteArray path = head.split(' ').value(1);
                    if (path.startsWith("/cookie/") || !path.startsWith("/delay/")) {
                        answer(socket,
                               path.startsWith("/cookie/") ? "Set-Cookie: " + path.sliced(8) + "; Path=/\r\n"
                                                           : QByteArray(),
                               cookies(head));
                        return;
                    }
                    QTimer::singleShot(path.mid(7).toInt(), socket, [socket] { answer(socket, {}, "ok"); });
                });
        });
    }
    static QByteArray cookies(const QByteArray &head)
    {
        const qsizetype at = head.indexOf("\nCookie: ");
        return at < 0 ? "none" : head.sliced(at + 1, head.indexOf('\r', at) - at - 1);
    }
    static void answer(QTcpSocket *socket, const QByteArray &headers, const QByteArray &body)
    {
        socket->write("HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + QByteArray::number(body.size())
                      + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QUrl url(const QString &path) const { return QUrl(u"http://127.0.0.1:%1%2"_s.arg(serverPort()).arg(path)); }
};

QByteArray defaultJar()
{
    return NetworkBridge::shared().cookieJar(QWebEngineProfile::defaultProfile());
}

/// Sends `request` to the bridge as another program on the machine could,
/// and gives what came back before the bridge closed the connection.
QByteArray askBridge(const QByteArray &request)
{
    const QUrl bridge = NetworkBridge::shared().bridged(QUrl(u"http://127.0.0.1:9/"_s), defaultJar());
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(bridge.port()));
    if (!socket.waitForConnected(5000))
        return "not connected";
    // The bridge runs on this thread: the waiting keeps its events going.
    socket.write(request);
    QByteArray answer;
    const auto closed = [&] {
        answer += socket.readAll();
        return socket.state() != QAbstractSocket::ConnectedState;
    };
    return QTest::qWaitFor(closed, 5000) ? answer + socket.readAll() : "still open";
}

QByteArray bridgedPath(const QUrl &url, const QByteArray &jar = defaultJar())
{
    return NetworkBridge::shared().bridged(url, jar).path(QUrl::FullyEncoded).toLatin1();
}

// Every page asks four at a time, gives some up at random moments or by a
// time-out, and now and then loads itself again. Its windows come, go and
// load it again at random moments too, in the host and in the preview.
const char ChaosPage[] = R"(<script>
function one() {
    var r = new XMLHttpRequest();
    r.open('GET', 'http://127.0.0.1:%1/delay/' + Math.floor(Math.random() * 300));
    if (Math.random() < 0.3) r.timeout = Math.floor(Math.random() * 200);
    r.onloadend = function () { setTimeout(one, 0); };
    r.send();
    if (Math.random() < 0.4) setTimeout(function () { r.abort(); }, Math.random() * 300);
}
for (var i = 0; i < 4; i++) one();
if (Math.random() < 0.5) setTimeout(function () { location.reload(); }, 300 + Math.random() * 1500);
</script>)";

} // namespace

class tst_NetworkBridge : public QObject
{
    Q_OBJECT

    WidgetFixture m_f;
    SlowServer m_server;

private slots:
    // A status of none: closed early, whatever it said before.
    void refusesWhatIsNotItsOwn_data()
    {
        columns<QByteArray, QByteArray, bool>("request", "status", "readable");
        const QByteArray data = bridgedPath(m_server.url(u"/delay/0"_s));
        QTest::newRow("the widget's own page reads") << "GET " + data + " HTTP/1.1\r\nOrigin: null\r\n\r\n"
                                                     << QByteArray("200") << true;
        QTest::newRow("a page of another origin reads nothing")
            << "GET " + data + " HTTP/1.1\r\nOrigin: http://example.org\r\n\r\n"
            << QByteArray("200") << false;
        QTest::newRow("another secret") << QByteArray("GET /0123/http%3A%2F%2F127.0.0.1%2F HTTP/1.1\r\n\r\n")
                                        << QByteArray("404") << false;
        // Refused on its first line: what follows is never held.
        QTest::newRow("a stranger streaming") << "GET /" + QByteArray(64 << 20, 'x') << QByteArray() << false;
        QTest::newRow("a head without end")
            << "GET " + data + " HTTP/1.1\r\nX: " + QByteArray(100 << 10, 'x') << QByteArray("431") << false;
        QTest::newRow("a body beyond bounds") << "POST " + data + " HTTP/1.1\r\nContent-Length: 999999999\r\n\r\n"
                                              << QByteArray("413") << false;
    }
    void refusesWhatIsNotItsOwn()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        QFETCH(bool, readable);
        const QByteArray answer = askBridge(request);
        QVERIFY2(answer != "still open" && answer.startsWith(status.isEmpty() ? QByteArray() : "HTTP/1.1 " + status),
                 answer.left(200).constData());
        QCOMPARE(answer.contains("Access-Control-Allow-Origin"), readable);
    }

    // Each widget's servers see the cookies they set for that widget alone;
    // the cookies are kept in its profile, as the page's own are, and the
    // bridge sends those the profile had already.
    void cookiesAreEachWidgetsOwn()
    {
        QWebEngineProfile first, second;
        // A profile's cookie store opens with its first page's first load.
        QWebEnginePage firstPage(&first), secondPage(&second);
        for (QWebEnginePage *page : {&firstPage, &secondPage}) {
            QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
            page->setHtml(u"<p>a widget</p>"_s);
            QVERIFY(loaded.wait());
        }
        const QByteArray firstJar = NetworkBridge::shared().cookieJar(&first);
        const QByteArray secondJar = NetworkBridge::shared().cookieJar(&second);
        QSignalSpy kept(first.cookieStore(), &QWebEngineCookieStore::cookieAdded);
        const auto ask = [this](const QString &path, const QByteArray &jar) {
            return askBridge("GET " + bridgedPath(m_server.url(path), jar) + " HTTP/1.1\r\n\r\n").split('\n').last();
        };
        QCOMPARE(ask(u"/cookie/station=42"_s, firstJar), QByteArray("none"));
        QCOMPARE(ask(u"/"_s, firstJar), QByteArray("Cookie: station=42"));
        QCOMPARE(ask(u"/"_s, secondJar), QByteArray("none"));
        QTRY_COMPARE(kept.size(), 1);
        QCOMPARE(kept.first().first().value<QNetworkCookie>().toRawForm(QNetworkCookie::NameAndValueOnly),
                 "station=42");
        second.cookieStore()->setCookie(QNetworkCookie("kept", "earlier"), m_server.url(u"/"_s));
        QTRY_COMPARE(ask(u"/"_s, secondJar), QByteArray("Cookie: kept=earlier"));
    }

    // A page that gives up closes its connection before the server answers;
    // the bridge goes on serving. The connection left waiting at the end is
    // still open when the program ends, which must end it quietly.
    void pagesGivingUpEndTheirRequests()
    {
        for (const QString &path : {u"/delay/200"_s, u"/never"_s}) {
            // Goes with the application, after the bridge.
            auto *socket = new QTcpSocket(qApp);
            const QUrl bridge = NetworkBridge::shared().bridged(m_server.url(path), defaultJar());
            socket->connectToHost(QHostAddress::LocalHost, quint16(bridge.port()));
            QVERIFY(socket->waitForConnected(5000));
            socket->write("GET " + bridgedPath(m_server.url(path)) + " HTTP/1.1\r\n\r\n");
            QTRY_VERIFY(NetworkBridge::isWaitingForServers());
            if (path == u"/delay/200")
                delete socket;
        }
        QTest::qWait(400);
        QVERIFY(askBridge("GET " + bridgedPath(m_server.url(u"/delay/0"_s)) + " HTTP/1.1\r\n\r\n").endsWith("ok"));
    }

    // Waiting on the network is not a hang: a synchronous request longer
    // than the watchdog's patience is answered, and the page lives on.
    void synchronousRequestsAreNoHang()
    {
        BorderlessWindow window;
        window.setUnresponsiveTimeout(std::chrono::milliseconds(1000));
        QVERIFY(WidgetPage::show(window, m_f.bundle(u"Patient"_s, {{u"AllowNetworkAccess"_s, true}})));
        const QString script = u"var r = new XMLHttpRequest(); r.open('GET', '%1', false); r.send(); r.responseText"_s;
        QCOMPARE(WidgetPage::evaluate(window, script.arg(m_server.url(u"/delay/2500"_s).toString())).toString(),
                 u"ok"_s);
        QVERIFY(!window.findChild<QLabel *>()->isVisible());
    }

    // Pages ask, give up, time out and load again, several at once, while
    // their windows are shown again, reloaded and closed at random moments.
    // QUILLET_CHAOS_SECONDS sets how long (8 by default).
    void chaos()
    {
        bool set = false;
        const int seconds = qEnvironmentVariableIntValue("QUILLET_CHAOS_SECONDS", &set);
        const QString bundle = m_f.bundle(u"Chaos"_s, {{u"AllowNetworkAccess"_s, true}},
                                          QString::fromLatin1(ChaosPage).arg(m_server.serverPort()));
        const WidgetBundle widget = WidgetBundle::read(bundle);
        const auto seed = quint32(QDateTime::currentMSecsSinceEpoch());
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        // Three as the host shows widgets, two as the editor previews them.
        std::array<std::unique_ptr<BorderlessWindow>, 3> windows;
        std::array<std::unique_ptr<WebWidgetPreview>, 2> previews;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < (set ? seconds : 8) * 1000) {
            const int slot = random.bounded(int(windows.size() + previews.size()));
            const int what = random.bounded(4);
            if (slot < int(windows.size())) {
                std::unique_ptr<BorderlessWindow> &window = windows[slot];
                if (what == 0)
                    window.reset();
                else if (!window || what == 1)
                    (window ? window : window = std::make_unique<BorderlessWindow>())->showWidget(widget);
                else
                    window->reloadWidget(widget);
            } else {
                std::unique_ptr<WebWidgetPreview> &preview = previews[slot - windows.size()];
                if (what == 0)
                    preview.reset();
                else if (!preview || what == 1)
                    QVERIFY(
                        (preview ? preview : preview = std::make_unique<WebWidgetPreview>())->show(bundle).succeeded());
                else if (what == 2)
                    preview->reload(bundle);
                else
                    preview->hide();
            }
            QTest::qWait(random.bounded(20, 400));
        }
        windows = {};
        previews = {};
        QTest::qWait(500);
        const QString script = u"var r = new XMLHttpRequest(); r.open('GET', '%1', false); r.send(); r.responseText"_s;
        QVERIFY(m_f.show(m_f.bundle(u"After"_s, {{u"AllowNetworkAccess"_s, true}})));
        QCOMPARE(m_f.run(script.arg(m_server.url(u"/delay/0"_s).toString())).toString(), u"ok"_s);
    }
};

QTEST_MAIN(tst_NetworkBridge)
#include "tst_NetworkBridge.moc"
