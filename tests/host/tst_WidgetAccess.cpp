// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"
#include "host/WidgetAccess.h"
#include "host/WidgetBundle.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"
#include "tests/host/MessageLog.h"
#include "tests/host/TestBundle.h"
#include "tests/host/WebEngineTestMain.h"
#include "tests/host/WidgetPage.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using WidgetPage::evaluate;

namespace {

constexpr int RequestTimeout = 10000;

// Starts a request from the page; window.outcome becomes "loaded: <text>"
// or "failed".
const char RequestScript[] = R"(
window.outcome = null;
var request = new XMLHttpRequest();
request.onload = function () { window.outcome = 'loaded: ' + request.responseText; };
request.onerror = function () { window.outcome = 'failed'; };
request.open('GET', %1);
request.send();
)";

// Loads a script from the page; it sets window.outcome to "loaded: <its
// text>", or the page sets it to "failed".
const char ScriptLoadScript[] = R"(
window.outcome = null;
var script = document.createElement('script');
script.onerror = function () { window.outcome = 'failed'; };
script.src = %1;
document.head.appendChild(script);
)";

QString quoted(const QString &text)
{
    return u'\'' + text + u'\'';
}

} // namespace

/// A web server on 127.0.0.1 that answers every request with `status` and
/// "ok", and a header of its own, but without any header that would let
/// another origin read it. It keeps the last request it received whole.
class LocalServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit LocalServer(int status = 200)
        : m_status(status)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, &LocalServer::accept);
    }

    QString url() const { return u"http://127.0.0.1:%1/data"_s.arg(serverPort()); }
    int requests = 0;
    QByteArray lastRequest;

private:
    void accept()
    {
        while (QTcpSocket *socket = nextPendingConnection()) {
            ++requests;
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &request = m_received[socket];
        request += socket->readAll();
        const qsizetype headEnd = request.indexOf("\r\n\r\n");
        const QByteArray length = "content-length:";
        const qsizetype field = request.toLower().indexOf(length);
        const qint64 bodyLength = field < 0 ? 0
            : request.mid(field + length.size(), request.indexOf('\r', field) - field - length.size())
                  .trimmed().toLongLong();
        if (headEnd < 0 || request.size() < headEnd + 4 + bodyLength)
            return;
        lastRequest = m_received.take(socket);
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " Answer\r\n"
                      "Content-Type: text/plain\r\nX-Station: 42\r\n"
                      "Content-Length: 2\r\nConnection: close\r\n\r\nok");
        socket->disconnectFromHost();
    }

    int m_status;
    QHash<QTcpSocket *, QByteArray> m_received;
};

class tst_WidgetAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void networkNeedsItsKey_data();
    void networkNeedsItsKey();
    void networkAnswersAreReadable_data();
    void networkAnswersAreReadable();
    void unreachableServerFailsAsANetworkError();
    void filesOutsideNeedTheirKey_data();
    void filesOutsideNeedTheirKey();
    void keysAreReadFromTheList_data();
    void keysAreReadFromTheList();

private:
    QString writeBundle(const QVariantMap &keys);
    QString outcome(const QString &script, const QString &url);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<BorderlessWindow> m_window;
    std::unique_ptr<MessageLog> m_log;
};

void tst_WidgetAccess::init()
{
    m_home = std::make_unique<TestHome>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<BorderlessWindow>();
    m_log = std::make_unique<MessageLog>();
}

void tst_WidgetAccess::cleanup()
{
    m_log.reset();
    m_window.reset();
    m_dir.reset();
    m_home.reset();
}

QString tst_WidgetAccess::writeBundle(const QVariantMap &keys)
{
    QVariantMap info = keys;
    info.insert(u"CFBundleDisplayName"_s, u"Access Test"_s);
    return TestBundle::write(m_dir->filePath(u"Access.wdgt"_s), QSize(200, 100), u"Access"_s,
                             info);
}

QString tst_WidgetAccess::outcome(const QString &script, const QString &url)
{
    evaluate(*m_window, QString(script).arg(quoted(url)));
    QString result;
    const bool answered = QTest::qWaitFor([&] {
        result = evaluate(*m_window, u"window.outcome"_s).toString();
        return !result.isEmpty();
    }, RequestTimeout);
    return answered ? result : u"no outcome"_s;
}

void tst_WidgetAccess::networkNeedsItsKey_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("no key") << QVariantMap() << false;
    QTest::newRow("other keys only") << QVariantMap{{u"AllowSystem"_s, true},
                                                    {u"AllowFileAccessOutsideOfWidget"_s, true}}
                                     << false;
    QTest::newRow("AllowNetworkAccess") << QVariantMap{{u"AllowNetworkAccess"_s, true}} << true;
    QTest::newRow("AllowFullAccess") << QVariantMap{{u"AllowFullAccess"_s, true}} << true;
}

void tst_WidgetAccess::networkNeedsItsKey()
{
    QFETCH(QVariantMap, keys);
    QFETCH(bool, allowed);
    LocalServer server;
    QVERIFY(server.isListening());
    QVERIFY(WidgetPage::showAndWait(*m_window, writeBundle(keys)));

    const QString result = outcome(QString::fromUtf8(RequestScript), server.url());

    QCOMPARE(result, allowed ? u"loaded: ok"_s : u"failed"_s);
    QCOMPARE(server.requests, allowed ? 1 : 0);
    const QStringList denials = MessageLog::containing(u"blocked"_s);
    if (allowed) {
        QVERIFY2(denials.isEmpty(), qPrintable(denials.join(u'\n')));
        QVERIFY(server.lastRequest.startsWith("GET /data HTTP/1.1"));
    } else {
        QCOMPARE(denials,
                 QStringList{u"quillet: Access Test: network request to "_s + server.url()
                             + u" blocked (AllowNetworkAccess is not set)"_s});
    }
}

// The page reads the answer whole, as the server gave it, whatever it sends.
void tst_WidgetAccess::networkAnswersAreReadable_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QString>("expected");
    QTest::newRow("GET") << 200 << u"request.open('GET', url); request.send();"_s
                         << QByteArray("GET /data ") << u"200 ok 42"_s;
    QTest::newRow("POST with a body") << 200
        << u"request.open('POST', url); request.setRequestHeader('Content-Type', 'text/plain');"
           " request.send('station=04288000');"_s
        << QByteArray("station=04288000") << u"200 ok 42"_s;
    QTest::newRow("a header of the page's own")
        << 200 << u"request.open('GET', url + '?q=1'); request.setRequestHeader('X-Widget', 'yes');"
                  " request.send();"_s
        << QByteArray("X-Widget: yes") << u"200 ok 42"_s;
    QTest::newRow("synchronous") << 200
        << u"request.open('GET', url, false); request.send();"_s << QByteArray("GET /data ")
        << u"200 ok 42"_s;
    QTest::newRow("error status") << 404 << u"request.open('GET', url); request.send();"_s
                                  << QByteArray("GET /data ") << u"404 ok 42"_s;
    QTest::newRow("fetch") << 200
        << u"fetch(url).then(function (answer) { return answer.text().then(function (text) {"
           " window.outcome = answer.status + ' ' + text + ' ' + answer.headers.get('X-Station');"
           " }); });"_s
        << QByteArray("GET /data ") << u"200 ok 42"_s;
}

void tst_WidgetAccess::networkAnswersAreReadable()
{
    QFETCH(int, status);
    QFETCH(QString, request);
    QFETCH(QByteArray, received);
    QFETCH(QString, expected);
    LocalServer server(status);
    QVERIFY(WidgetPage::showAndWait(*m_window,
                                    writeBundle({{u"AllowNetworkAccess"_s, true}})));

    const QString result = outcome(uR"(
        window.outcome = null;
        var url = %1;
        var request = new XMLHttpRequest();
        request.onload = function () {
            window.outcome = request.status + ' ' + request.responseText + ' '
                + request.getResponseHeader('X-Station');
        };
        request.onerror = function () { window.outcome = 'failed'; };
    )"_s + request, server.url());

    QCOMPARE(result, expected);
    QCOMPARE(server.requests, 1);
    QVERIFY2(server.lastRequest.contains(received), server.lastRequest.constData());
}

void tst_WidgetAccess::unreachableServerFailsAsANetworkError()
{
    LocalServer server;
    const QString url = server.url();
    server.close();
    QVERIFY(WidgetPage::showAndWait(*m_window,
                                    writeBundle({{u"AllowNetworkAccess"_s, true}})));
    QCOMPARE(outcome(QString::fromUtf8(RequestScript), url), u"failed"_s);
}

void tst_WidgetAccess::filesOutsideNeedTheirKey_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("allowed");
    const QVariantMap none;
    const QVariantMap files{{u"AllowFileAccessOutsideOfWidget"_s, true}};
    const QVariantMap full{{u"AllowFullAccess"_s, true}};
    QTest::newRow("inside, no key") << none << u"Access.wdgt/inside.js"_s << true;
    QTest::newRow("outside, no key") << none << u"outside/data.js"_s << false;
    QTest::newRow("outside, network key only")
        << QVariantMap{{u"AllowNetworkAccess"_s, true}} << u"outside/data.js"_s << false;
    QTest::newRow("outside, file key") << files << u"outside/data.js"_s << true;
    QTest::newRow("outside, full access") << full << u"outside/data.js"_s << true;
    QTest::newRow("link inside leading out, no key") << none << u"Access.wdgt/link/data.js"_s
                                                     << false;
    QTest::newRow("link inside leading out, file key") << files << u"Access.wdgt/link/data.js"_s
                                                       << true;
    QTest::newRow("a sibling sharing the name's start, no key")
        << none << u"Access.wdgt-other/data.js"_s << false;
}

void tst_WidgetAccess::filesOutsideNeedTheirKey()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QString, file);
    QFETCH(bool, allowed);
    const QString bundle = writeBundle(keys);
    const QByteArray code = "window.outcome = 'loaded: ' + document.currentScript.src.length;";
    QVERIFY(Tree::write(m_dir->path(), u"Access.wdgt/inside.js"_s, code));
    QVERIFY(Tree::write(m_dir->path(), u"outside/data.js"_s, code));
    QVERIFY(Tree::write(m_dir->path(), u"Access.wdgt-other/data.js"_s, code));
    QVERIFY(QFile::link(m_dir->filePath(u"outside"_s), bundle + u"/link"_s));
    QVERIFY(WidgetPage::showAndWait(*m_window, bundle));

    const QString path = m_dir->filePath(file);
    const QString result = outcome(QString::fromUtf8(ScriptLoadScript),
                                   QUrl::fromLocalFile(path).toString());

    QCOMPARE(result.startsWith(u"loaded"_s), allowed);
    const QStringList denials = MessageLog::containing(u"blocked"_s);
    if (allowed) {
        QVERIFY2(denials.isEmpty(), qPrintable(denials.join(u'\n')));
    } else {
        QCOMPARE(denials, QStringList{u"quillet: Access Test: file "_s + path
                                      + u" blocked (AllowFileAccessOutsideOfWidget is not set)"_s});
    }
}

void tst_WidgetAccess::keysAreReadFromTheList_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<bool>("network");
    QTest::addColumn<bool>("files");
    QTest::addColumn<bool>("system");
    QTest::newRow("none") << QVariantMap() << false << false << false;
    QTest::newRow("each") << QVariantMap{{u"AllowNetworkAccess"_s, true},
                                         {u"AllowFileAccessOutsideOfWidget"_s, true},
                                         {u"AllowSystem"_s, true}}
                          << true << true << true;
    QTest::newRow("full") << QVariantMap{{u"AllowFullAccess"_s, true}} << true << true << true;
    QTest::newRow("false values") << QVariantMap{{u"AllowNetworkAccess"_s, false},
                                                 {u"AllowFullAccess"_s, false}}
                                  << false << false << false;
}

void tst_WidgetAccess::keysAreReadFromTheList()
{
    QFETCH(QVariantMap, keys);
    QFETCH(bool, network);
    QFETCH(bool, files);
    QFETCH(bool, system);
    const WidgetAccess access(WidgetBundle::read(writeBundle(keys)));
    QCOMPARE(access.widgetName(), u"Access Test"_s);
    QCOMPARE(access.allowsNetwork(), network);
    QCOMPARE(access.allowsFilesOutside(), files);
    QCOMPARE(access.allowsSystem(), system);
}

QUILLET_WEB_ENGINE_TEST_MAIN(tst_WidgetAccess)
#include "tst_WidgetAccess.moc"
