// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/host/WidgetPage.h"

#include "host/WidgetRuntime.h"

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
                        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
                                      + frame);
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
        QTest::newRow("keys as strings") << QVariantMap{{Network, u"YES"_s}, {System, u"1"_s}, {Files, u"no"_s}}
                                         << outside << QStringList{Network, System};
        QTest::newRow("no key, a link inside leading out") << QVariantMap() << link << QStringList();
        QTest::newRow("file key, a link inside leading out")
            << QVariantMap{{Files, true}} << link << QStringList{Files};
        QTest::newRow("no key, a sibling sharing the name's start")
            << QVariantMap() << u"Access.wdgt-other/data.js"_s << QStringList();
    }
    // Each row tries the network, a script file and a shell command; every
    // refusal is reported once, naming the widget as it calls itself and the
    // key that would allow it. The page reads the server's answer whole,
    // though no header lets another origin read it, and sends its own header.
    void keysOpenWhatTheyName()
    {
        QFETCH(QVariantMap, keys);
        QFETCH(QString, file);
        QFETCH(QStringList, allowed);
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
            {outcome(
                 u"var r = new XMLHttpRequest(); r.open('GET', '%1'); r.setRequestHeader('X-Widget', 'yes'); r.send();"
                 " r.onload = function () { outcome = [r.status, r.responseText, r.getResponseHeader('X-Station')]"
                 ".join(); }; r.onerror = function () { outcome = 'failed'; };"_s.arg(server.url())),
             u"200,ok,42"_s, u"failed"_s, u"AllowNetworkAccess"_s, u"network request to "_s + server.url()},
            {outcome(u"var s = document.createElement('script'); s.src = '%1';"
                     " s.onerror = function () { outcome = 'failed'; }; document.head.appendChild(s);"_s.arg(
                         QUrl::fromLocalFile(path).toString())),
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

    void webRtcSendsNothing_data()
    {
        QTest::addColumn<QVariantMap>("keys");
        const QString Network = u"AllowNetworkAccess"_s;
        QTest::newRow("no key") << QVariantMap();
        QTest::newRow("keys as NO") << QVariantMap{{Network, u"NO"_s}, {u"AllowFullAccess"_s, u"NO"_s}};
        QTest::newRow("AllowNetworkAccess") << QVariantMap{{Network, true}};
    }
    // No widget's peer connection reaches anyone, with or without the
    // network key: none of the era's widgets used one, and the engine cannot
    // hold it to one widget's keys. Every way is tried at once: STUN and
    // TURN over UDP, TURN over TCP, a remote ICE-TCP candidate, each with the
    // page's own constructor, the prefixed one, a new window's and those of
    // new frames (from the markup, document.write, innerHTML, appendChild)
    // taken at once; a string the page chose would be the first bytes sent.
    void webRtcSendsNothing()
    {
        QFETCH(QVariantMap, keys);
        QUdpSocket udp;
        QTcpServer tcp;
        QVERIFY(udp.bind(QHostAddress::LocalHost) && tcp.listen(QHostAddress::LocalHost));
        // The page first replaces what a seal might use to find its frames.
        const QString body =
            u"<script>Object.defineProperty(Node.prototype, 'nodeType', {get: function () { return 3; }});"
            " Function.prototype.call = Function.prototype.apply = function () {};</script>"
            "<iframe></iframe><script>window.peers = [frames[0].RTCPeerConnection];"
            " document.write('<iframe></iframe>'); peers.push(frames[1].RTCPeerConnection);</script>"_s;
        QVERIFY(m_f.show(m_f.bundle(u"Rtc"_s, keys, body)));
        const QString script = uR"(
            function gather(Peer, servers) {
                var c = new Peer({iceServers: servers}); c.createDataChannel('x');
                return c.createOffer().then(function (o) { return c.setLocalDescription(o); });
            }
            function iceTcp(Peer) {
                var a = new Peer(), b = new Peer(); a.createDataChannel('x');
                return a.createOffer().then(function (o) { return b.setRemoteDescription(o); })
                    .then(function () { return b.createAnswer(); }).then(function (o) { return b.setLocalDescription(o); })
                    .then(function () { return b.addIceCandidate({sdpMid: '0', sdpMLineIndex: 0,
                        candidate: 'candidate:1 1 tcp 2122260223 127.0.0.1 %2 typ host tcptype passive'}); });
            }
            function every(Peer) {
                if (typeof Peer !== 'function')
                    return Promise.resolve();
                var turn = {username: 'widget', credential: 'chosen by the widget'};
                return Promise.all([gather(Peer, [{urls: 'stun:127.0.0.1:%1'}]),
                    gather(Peer, [Object.assign({urls: 'turn:127.0.0.1:%1?transport=udp'}, turn)]),
                    gather(Peer, [Object.assign({urls: 'turn:127.0.0.1:%2?transport=tcp'}, turn)]), iceTcp(Peer)]);
            }
            var holder = document.createElement('p'); holder.innerHTML = '<span><iframe></iframe></span>';
            document.body.appendChild(holder);
            peers.push(frames[2].RTCPeerConnection);
            peers.push(document.body.appendChild(document.createElement('iframe')).contentWindow.RTCPeerConnection);
            var opened = window.open('');
            peers.push(window.RTCPeerConnection, window.webkitRTCPeerConnection, opened && opened.RTCPeerConnection);
            Promise.all(peers.map(every))
                .then(function () { outcome = 'tried'; }, function (e) { outcome = 'failed: ' + e; });)"_s;
        QCOMPARE(outcome(script.arg(udp.localPort()).arg(tcp.serverPort())), u"tried"_s);
        // The engine gathers on this thread: waiting must keep it running.
        QTest::qWait(4000);
        QVERIFY(!udp.hasPendingDatagrams());
        QVERIFY(!tcp.hasPendingConnections());
    }

    // With the network key, the widget's own page reads any server; a web
    // page inside it follows the web's rules and cannot read a server of
    // another origin that does not allow it.
    void webPagesInsideKeepTheWebsRules()
    {
        LocalServer server;
        server.frame = uR"(<script>var r = new XMLHttpRequest(); r.open('GET', 'http://localhost:%1/secret.txt');
            r.onload = function () { parent.postMessage('read ' + r.responseText, '*'); };
            r.onerror = function () { parent.postMessage('failed', '*'); }; r.send();</script>)"_s
                           .arg(server.serverPort())
                           .toUtf8();
        QVERIFY(m_f.show(m_f.bundle(u"Frames"_s, {{u"AllowNetworkAccess"_s, true}})));
        QCOMPARE(
            outcome(u"onmessage = function (e) { outcome = e.data; }; var f = document.createElement('iframe');"
                    " f.src = 'http://127.0.0.1:%1/frame'; document.body.appendChild(f);"_s.arg(server.serverPort())),
            u"failed"_s);
    }

    // What cannot work is said once each: a missing file with the page that
    // asked for it (twice here), and a native plug-in.
    void whatCannotLoadIsSaidOnce()
    {
        const QString bundle =
            m_f.bundle(u"Gaps"_s, {{u"CFBundleName"_s, u"Gaps"_s}, {u"Plugin"_s, u"Gaps.widgetplugin"_s}},
                       u"<img src='Images/gone.png'><img src='Images/gone.png'><script src='gone.js'></script>"_s);
        QVERIFY(m_f.show(bundle));
        const auto said = [] {
            QStringList lines = WidgetPage::log().filter(u"quillet: Gaps:"_s);
            lines.sort();
            return lines;
        };
        QTRY_COMPARE(
            said(),
            (QStringList{
                u"quillet: Gaps: Images/gone.png is missing (asked for by main.html)"_s,
                u"quillet: Gaps: gone.js is missing (asked for by main.html)"_s,
                u"quillet: Gaps: the native plug-in Gaps.widgetplugin cannot run on Linux; the page's calls to it will fail"_s}));
    }

    // Following a link, or a script sending the page away, opens the address
    // in the desktop's browser; the widget stays as it was. A window of its
    // own or an address of another kind opens nowhere, and says so.
    void linksOpenInTheBrowser()
    {
        BrowserStandIn browser;
        QList<QUrl> &opened = browser.opened;
        QDesktopServices::setUrlHandler(u"http"_s, &browser, "open");
        const QString bundle = m_f.bundle(u"Links"_s, {},
                                          u"<a id='away' href='http://127.0.0.1:9/page'>away</a>"
                                          "<a id='new' target='_blank' href='http://127.0.0.1:9/new'>new</a>"_s);
        QVERIFY(m_f.show(bundle));
        QSignalSpy logged(m_f.window.runtime(), &WidgetRuntime::pageLogged);
        m_f.run(u"document.getElementById('away').click(); setTimeout(function () { location.href = "
                u"'http://127.0.0.1:9/other';"
                " document.getElementById('new').click(); window.open('http://127.0.0.1:9/opened'); window.open();"
                " window.open('smb://127.0.0.1/share'); }, 0)"_s);
        QTRY_COMPARE(opened,
                     (QList<QUrl>{QUrl(u"http://127.0.0.1:9/page"_s), QUrl(u"http://127.0.0.1:9/other"_s),
                                  QUrl(u"http://127.0.0.1:9/new"_s), QUrl(u"http://127.0.0.1:9/opened"_s)}));
        QCOMPARE(m_f.window.widgetView()->url(), WidgetBundle::read(bundle).mainPage());
        QTRY_COMPARE(logged.size(), 6);
        QStringList refused;
        for (const QList<QVariant> &line : logged)
            if (line.first().toString().contains(u"not opened"_s))
                refused.append(line.first().toString());
        QCOMPARE(refused,
                 (QStringList{
                     u"warning: a window of the page's own was not opened: a widget has no windows"_s,
                     u"smb://127.0.0.1/share was not opened: only web and mail addresses open outside the widget"_s}));
        QDesktopServices::unsetUrlHandler(u"http"_s);
    }
};

QTEST_MAIN(tst_WidgetAccess)
#include "tst_WidgetAccess.moc"
