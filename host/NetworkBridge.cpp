// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/NetworkBridge.h"

#include "host/BridgeConnection.h"
#include "host/ProfileCookieJar.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QUuid>
#include <QWebEngineProfile>

using namespace Qt::StringLiterals;

namespace {

// Headers that describe one connection or one encoding of the body rather
// than the request or answer itself, which the bridge makes its own, and
// cookies, which are the widget's jar's and never the page's to see or
// send.
const QByteArrayList ConnectionHeaders = {"connection",
                                          "keep-alive",
                                          "proxy-connection",
                                          "transfer-encoding",
                                          "content-length",
                                          "content-encoding",
                                          "host",
                                          "origin",
                                          "accept-encoding",
                                          "te",
                                          "upgrade",
                                          "set-cookie",
                                          "cookie"};

struct Head
{
    QByteArray method;
    QByteArray target;
    QHash<QByteArray, QByteArray> headers;
    QList<std::pair<QByteArray, QByteArray>> fields;
};

Head parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
    Head parsed{request.value(0), request.value(1), {}, {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines.at(i).left(colon).trimmed();
        const QByteArray value = lines.at(i).sliced(colon + 1).trimmed();
        parsed.headers.insert(name.toLower(), value);
        parsed.fields.append({name, value});
    }
    return parsed;
}

bool isConnectionHeader(const QByteArray &name)
{
    return ConnectionHeaders.contains(name.toLower()) || name.toLower().startsWith("access-control-")
        || name.toLower().startsWith("sec-");
}

// Only a widget's own page may read the answer: its origin is "null" (a
// file), as is any page's after a redirect. A web page that reached the
// bridge anyhow gets no header that lets it read.
QByteArray allowing(const QByteArray &origin)
{
    if (!origin.isEmpty() && origin != "null" && origin != "file://")
        return {};
    return "Access-Control-Allow-Origin: " + (origin.isEmpty() ? QByteArray("*") : origin)
        + "\r\nAccess-Control-Allow-Credentials: true\r\n";
}

} // namespace

NetworkBridge &NetworkBridge::shared()
{
    static NetworkBridge *bridge = new NetworkBridge;
    return *bridge;
}

NetworkBridge::NetworkBridge()
    : QObject(QCoreApplication::instance())
    , m_prefix('/' + QUuid::createUuid().toString(QUuid::Id128).toLatin1() + '/')
{
    connect(&m_server, &QTcpServer::newConnection, this, &NetworkBridge::accept);
    m_server.listen(QHostAddress::LocalHost);
}

QByteArray NetworkBridge::cookieJar(QWebEngineProfile *profile)
{
    QByteArray &jar = m_jars[profile];
    if (jar.isEmpty()) {
        jar = QUuid::createUuid().toString(QUuid::Id128).toLatin1();
        auto *network = new QNetworkAccessManager(this);
        network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        network->setCookieJar(new ProfileCookieJar(profile->cookieStore(), network));
        m_networks.insert(jar, network);
        // Its requests' jar stays, as connections may still use it.
        connect(profile, &QObject::destroyed, this, [this, profile] { m_jars.remove(profile); });
    }
    return jar;
}

QUrl NetworkBridge::bridged(const QUrl &url, const QByteArray &jar) const
{
    if (!m_server.isListening() || !m_networks.contains(jar) || (url.scheme() != u"http" && url.scheme() != u"https"))
        return {};
    QUrl bridge;
    bridge.setScheme(u"http"_s);
    bridge.setHost(u"127.0.0.1"_s);
    bridge.setPort(m_server.serverPort());
    bridge.setPath(
        QString::fromLatin1(m_prefix + jar + '/' + QUrl::toPercentEncoding(url.toString(QUrl::FullyEncoded))),
        QUrl::StrictMode);
    return bridge;
}

bool NetworkBridge::isBridged(const QUrl &url) const
{
    return m_server.isListening() && url.host() == u"127.0.0.1" && url.port() == m_server.serverPort()
        && url.path(QUrl::FullyEncoded).startsWith(QString::fromLatin1(m_prefix));
}

NetworkBridge::~NetworkBridge()
{
    // Before the network layer goes: each connection ends its reply.
    qDeleteAll(findChildren<BridgeConnection *>(QString(), Qt::FindDirectChildrenOnly));
}

void NetworkBridge::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        new BridgeConnection(
            socket, m_prefix, [this](const QByteArray &head, const QByteArray &body) { return route(head, body); },
            [](QNetworkReply *reply, const QByteArray &origin) { return answer(reply, origin); }, this);
    }
}

BridgeConnection::Routing NetworkBridge::route(const QByteArray &head, const QByteArray &body)
{
    const Head request = parseHead(head);
    const QByteArray rest = request.target.startsWith(m_prefix) ? request.target.sliced(m_prefix.size()) : QByteArray();
    const qsizetype slash = rest.indexOf('/');
    const QByteArray jar = rest.left(slash);
    const QUrl target = slash > 0 ? QUrl(QUrl::fromPercentEncoding(rest.sliced(slash + 1))) : QUrl();
    if (!bridged(target, jar).isValid())
        return {BridgeConnection::refusal("404 Not Found"), nullptr, {}};
    if (request.method == "OPTIONS" && request.headers.contains("access-control-request-method"))
        return {preflightAnswer(request.headers), nullptr, {}};
    QNetworkRequest outgoing(target);
    for (const auto &[name, value] : request.fields) {
        if (!isConnectionHeader(name))
            outgoing.setRawHeader(name, value);
    }
    return {
        {}, m_networks.value(jar)->sendCustomRequest(outgoing, request.method, body), request.headers.value("origin")};
}

QByteArray NetworkBridge::preflightAnswer(const QHash<QByteArray, QByteArray> &headers)
{
    return "HTTP/1.1 204 No Content\r\n" + allowing(headers.value("origin"))
        + "Access-Control-Allow-Methods: " + headers.value("access-control-request-method")
        + "\r\nAccess-Control-Allow-Headers: " + headers.value("access-control-request-headers")
        + "\r\nAccess-Control-Max-Age: 600\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

// The answer is sent whole: the body as the network layer decoded it, with
// every header of the server the page may read. None for a failed fetch.
QByteArray NetworkBridge::answer(QNetworkReply *reply, const QByteArray &origin)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return {};
    const QByteArray body = reply->readAll();
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status.toInt()) + ' '
        + reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray() + "\r\n";
    QByteArrayList exposed;
    for (const auto &[name, value] : reply->rawHeaderPairs()) {
        if (isConnectionHeader(name))
            continue;
        // Repeated headers arrive joined by line breaks.
        answer += name + ": " + QByteArray(value).replace('\n', ", ") + "\r\n";
        exposed.append(name);
    }
    return answer + allowing(origin) + "Access-Control-Expose-Headers: " + exposed.join(", ")
        + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

bool NetworkBridge::isWaitingForServers()
{
    return BridgeConnection::waitingForServers() > 0;
}
