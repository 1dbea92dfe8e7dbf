// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/host/WidgetPage.h"

#include <QDesktopServices>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

// Asks the page's runtime for a command itself, past the `widget` object:
// the runtime must refuse a widget without the key all the same.
const char SystemScript[] = R"((function () { var request = new XMLHttpRequest();
    request.open('GET', 'quillet://runtime/system?' + encodeURIComponent('{"command": "echo ran"}'), false);
    try { request.send(); } catch (error) { return typeof widget.system + ' failed'; }
    return typeof widget.system + ' ' + (request.status === 200 ? JSON.parse(request.responseText).outputString : 'failed');
})())";

/// A web server on 127.0.0.1 that answers every request with "ok" and a
/// header of its own, but with no header that would let another origin read
/// it. It keeps the head of each request it received.
struct LocalServer : QTcpServer
{
    LocalServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    if (!socket->peek(1 << 16).contains("\r\n\r\n"))
                        return;
                    requests.append(socket->readAll());
                    if (requests.last().startsWith("GET /frame"))
                        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n" + frame);
                    else
                        socket->write("HTTP/1.1 200 Answer\r\nContent-Type: text/plain\r\nX-Station: 42\r\n"
                                      "Content-Length: 2\r\nConnection: close\r\n\r\nok");
                    socket->disconnectFromHost();
                });
        });
    }

    QString url() const { return u"http://127.0.0.1:%1/data"_s.arg(serverPort()); }
    QByteArrayList requests;
    QByteArray frame; ///< the page served at /frame
};

/// Takes the addresses handed to the desktop's browser.
class BrowserStandIn : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class tst_WidgetAccess : public QObject
{
    Q_OBJECT

    WidgetFixture m_f;

    // Runs `script`, which sets window.outcome at once or later.
    QString outcome(const QString &script)
    {
        m_f.run(u"window.outcome = null;"_s + script);
        QString result;
        const auto answered = [&] { return !(result = m_f.run(u"window.outcome"_s).toString()).isEmpty(); };
        return QTest::qWaitFor(answered, 10000) ? result : u"no outcome"_s;
    }

private slots:
    void init() { WidgetPage::log().clear(); }

    void keysOpenWhatTheyName_data()
    {
        columns<QVariantMap, QString, QStringList>("keys", "file", "allowed");
        const QString Network = u"AllowNetworkAccess"_s, System = u"AllowSystem"_s;
        const QString Files = u"AllowFileAccessOutsideOfWidget"_s;
        const QString outside = u"outside/data.js"_s, link = u"Access.wdgt/link/data.js"_s;
        QTest::newRow("no key, file inside") << QVariantMap() << u"Access.wdgt/inside.js"_s << QStringList{Files};
        QTest::newRow("no key") << QVariantMap() << outside << QStringList();
        QTest::newRow("AllowNetworkAccess") << QVariantMap{{Network, true}} << outside << QStringList{Network};
        QTest::newRow("AllowFileAccessOutsideOfWidget") << QVariantMap{{Files, true}} << outside << QStringList{Files};
        QTest::newRow("AllowSystem") << QVariantMap{{System, true}} << outside << QStringList{System};
        QTest::newRow("AllowFullAccess") << QVariantMap{{u"AllowFullAccess"_s, true}} << outside
                                         << QStringList{Network, Files, System};
        QTest::newRow("keys false") << QVariantMap{{Network, false}, {System, false}, {u"AllowFullAccess"_s, false}}
                                    << outside << QStringList();
        QTest::newRow("keys as strings") << QVariantMap{{Network, u"YES"_s}, {System, u"1"_s}, {Files, u"no"_s}} << outside
                                         << QStringList{Network, System};
        QTest::newRow("no key, a link inside leading out") << QVariantMap() << link << QStringList();
        QTest::newRow("file key, a link inside leading out") << QVariantMap{{Files, true}} << link << QStringList{Files};
        QTest::newRow("no key, a sibling sharing the name's start")
            << QVariantMap() << u"Access.wdgt-other/data.js"_s << QStringList();
    }
    // Each row tries the network, a script file and a shell command; every
    // refusal is reported once, naming the widget as it calls itself and the
    // key that would allow it. The page reads the server's answer whole,
    // though no header lets another origin read it, and sends its own header.
    void keysOpenWhatTheyName()
    {
        QFETCH(QVariantMap, keys); QFETCH(QString, file); QFETCH(QStringList, allowed);
        LocalServer server;
        keys.insert({{u"CFBundleDisplayName"_s, u"Access Test"_s}, {u"CFBundleName"_s, u"AccessTest"_s}});
        const QString bundle = m_f.bundle(u"Access"_s, keys);
        for (const QString &script : {u"Access.wdgt/inside.js"_s, u"outside/data.js"_s, u"Access.wdgt-other/data.js"_s})
            QVERIFY(Tree::write(m_f.dir.path(), script, "window.outcome = 'loaded';"));
        const QString link = bundle + u"/link"_s;
        QVERIFY(QFileInfo(link).isSymLink() || QFile::link(m_f.dir.filePath(u"outside"_s), link));
        QVERIFY(m_f.show(bundle));
        const QString path = m_f.dir.filePath(file);
        // What is tried, its answer when allowed and when refused, the key, what a refusal names.
        const QList<std::array<QString, 5>> attempts{
            {outcome(u"var r = new XMLHttpRequest(); r.open('GET', '%1'); r.setRequestHeader('X-Widget', 'yes'); r.send();"
                     " r.onload = function () { outcome = [r.status, r.responseText, r.getResponseHeader('X-Station')]"
                     ".join(); }; r.onerror = function () { outcome = 'failed'; };"_s.arg(server.url())),
             u"200,ok,42"_s, u"failed"_s, u"AllowNetworkAccess"_s, u"network request to "_s + server.url()},
            {outcome(u"var s = document.createElement('script'); s.src = '%1';"
                     " s.onerror = function () { outcome = 'failed'; }; document.head.appendChild(s);"_s
                         .arg(QUrl::fromLocalFile(path).toString())),
             u"loaded"_s, u"failed"_s, u"AllowFileAccessOutsideOfWidget"_s, u"file "_s + path},
            {m_f.run(QString::fromUtf8(SystemScript)).toString(), u"function ran\n"_s, u"undefined failed"_s,
             u"AllowSystem"_s, u"widget.system"_s}};
        QStringList denials;
        for (const auto &[result, allowedAnswer, refusedAnswer, key, what] : attempts) {
            QCOMPARE(result, allowed.contains(key) ? allowedAnswer : refusedAnswer);
            if (!allowed.contains(key))
                denials.append(u"quillet: Access Test: %1 blocked (%2 is not set)"_s.arg(what, key));
        }
        QCOMPARE(WidgetPage::log().filter(u"blocked"_s), denials);
        QCOMPARE(server.requests.size(), allowed.contains(attempts[0][3]) ? 1 : 0);
        QVERIFY(server.requests.isEmpty() || server.requests.last().contains("X-Widget: yes"));
    }

    // Without the network key no packet leaves, not even WebRTC's own.
    void webRtcSendsNothing()
    {
        QUdpSocket stun;
        QVERIFY(stun.bind(QHostAddress::LocalHost));
        QVERIFY(m_f.show(m_f.bundle(u"Rtc"_s)));
        const QString script = uR"(var c = new RTCPeerConnection({iceServers: [{urls: 'stun:127.0.0.1:%1'}]});
            c.createDataChannel('x'); c.onicecandidate = function () {};
            c.createOffer().then(function (o) { return c.setLocalDescription(o); })
             .then(function () { outcome = 'offered'; }, function (e) { outcome = 'refused ' + e; });)"_s;
        QCOMPARE(outcome(script.arg(stun.localPort())), u"offered"_s);
        // The engine gathers on this thread: waiting must keep it running.
        QTest::qWait(5000);
        QVERIFY(!stun.hasPendingDatagrams());
    }

    // With the network key, the widget's own page reads any server; a web
    // page inside it follows the web's rules and cannot read a server of
    // another origin that does not allow it.
    void webPagesInsideKeepTheWebsRules()
    {
        LocalServer server;
        server.frame = uR"(<script>var r = new XMLHttpRequest(); r.open('GET', 'http://localhost:%1/secret.txt');
            r.onload = function () { parent.postMessage('read ' + r.responseText, '*'); };
            r.onerror = function () { parent.postMessage('failed', '*'); }; r.send();</script>)"_s.arg(server.serverPort()).toUtf8();
        QVERIFY(m_f.show(m_f.bundle(u"Frames"_s, {{u"AllowNetworkAccess"_s, true}})));
        QCOMPARE(outcome(u"onmessage = function (e) { outcome = e.data; }; var f = document.createElement('iframe');"
                         " f.src = 'http://127.0.0.1:%1/frame'; document.body.appendChild(f);"_s.arg(server.serverPort())),
                 u"failed"_s);
    }

    // What cannot work is said once each: a missing file with the page that
    // asked for it (twice here), and a native plug-in.
    void whatCannotLoadIsSaidOnce()
    {
        const QString bundle = m_f.bundle(u"Gaps"_s, {{u"CFBundleName"_s, u"Gaps"_s}, {u"Plugin"_s, u"Gaps.widgetplugin"_s}},
                                          u"<img src='Images/gone.png'><img src='Images/gone.png'><script src='gone.js'></script>"_s);
        QVERIFY(m_f.show(bundle));
        const auto said = [] {
            QStringList lines = WidgetPage::log().filter(u"quillet: Gaps:"_s);
            lines.sort();
            return lines;
        };
        QTRY_COMPARE(said(),
                     (QStringList{u"quillet: Gaps: Images/gone.png is missing (asked for by main.html)"_s,
                                  u"quillet: Gaps: gone.js is missing (asked for by main.html)"_s,
                                  u"quillet: Gaps: the native plug-in Gaps.widgetplugin cannot run on Linux; the page's calls to it will fail"_s}));
    }

    // Following a link, or a script sending the page away, opens the address
    // in the desktop's browser; the widget stays as it was.
    void linksOpenInTheBrowser()
    {
        BrowserStandIn browser;
        QList<QUrl> &opened = browser.opened;
        QDesktopServices::setUrlHandler(u"http"_s, &browser, "open");
        const QString bundle = m_f.bundle(u"Links"_s, {}, u"<a id='away' href='http://127.0.0.1:9/page'>away</a>"
                                                          "<a id='new' target='_blank' href='http://127.0.0.1:9/new'>new</a>"_s);
        QVERIFY(m_f.show(bundle));
        m_f.run(u"document.getElementById('away').click(); setTimeout(function () { location.href = 'http://127.0.0.1:9/other';"
                " document.getElementById('new').click(); window.open('http://127.0.0.1:9/opened'); }, 0)"_s);
        QTRY_COMPARE(opened, (QList<QUrl>{QUrl(u"http://127.0.0.1:9/page"_s), QUrl(u"http://127.0.0.1:9/other"_s),
                                          QUrl(u"http://127.0.0.1:9/new"_s), QUrl(u"http://127.0.0.1:9/opened"_s)}));
        QCOMPARE(m_f.window.widgetView()->url(), WidgetBundle::read(bundle).mainPage());
        QDesktopServices::unsetUrlHandler(u"http"_s);
    }
};

QTEST_MAIN(tst_WidgetAccess)
#include "tst_WidgetAccess.moc"
