// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BridgeConnection.h"

#include <QNetworkReply>
#include <QTcpSocket>

namespace {

const QByteArray HeadEnd = "\r\n\r\n";

// The announced length of the body; -1 when it is not a number.
qint64 contentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length") {
            bool ok = false;
            const qint64 length = line.sliced(colon + 1).trimmed().toLongLong(&ok);
            return ok && length >= 0 ? length : -1;
        }
    }
    return 0;
}

} // namespace

int BridgeConnection::s_waiting = 0;

BridgeConnection::BridgeConnection(QTcpSocket *socket, const QByteArray &prefix, Router route, Answerer answer,
                                   QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_prefix(prefix)
    , m_route(std::move(route))
    , m_answer(std::move(answer))
{
    socket->setParent(this);
    // What a stranger streams is never held beyond what is looked at.
    socket->setReadBufferSize(MostHeadBytes);
    connect(socket, &QTcpSocket::readyRead, this, &BridgeConnection::read);
    connect(socket, &QTcpSocket::disconnected, this, &BridgeConnection::end);
    connect(socket, &QTcpSocket::errorOccurred, this, &BridgeConnection::end);
    read();
}

// The socket goes first and quietly: closing it would tell this half-gone
// connection that it ended.
BridgeConnection::~BridgeConnection()
{
    endReply();
    m_socket->disconnect(this);
    delete m_socket;
}

int BridgeConnection::waitingForServers()
{
    return s_waiting;
}

// Reads no more than the request can hold: its head, then the body it
// announced. A request line that does not name the bridge's secret is
// refused as soon as it shows.
void BridgeConnection::read()
{
    while (!m_routed && m_socket->bytesAvailable() > 0 && take()) {
    }
    if (m_routed)
        m_socket->skip(m_socket->bytesAvailable());
}

bool BridgeConnection::take()
{
    const qint64 wanted = m_headEnd < 0 ? MostHeadBytes + HeadEnd.size() : m_headEnd + HeadEnd.size() + m_bodyLength;
    const qsizetype before = m_received.size();
    m_received += m_socket->read(std::max<qint64>(0, wanted - before));
    if (!namesTheBridge()) {
        refuse("404 Not Found");
        return false;
    }
    if (m_headEnd < 0) {
        m_headEnd = m_received.indexOf(HeadEnd, std::max<qsizetype>(0, before - HeadEnd.size() + 1));
        if (m_headEnd < 0) {
            if (m_received.size() > MostHeadBytes)
                refuse("431 Request Header Fields Too Large");
            return m_received.size() > before;
        }
        m_bodyLength = contentLength(m_received.left(m_headEnd));
        if (m_bodyLength < 0 || m_bodyLength > MostBodyBytes) {
            refuse("413 Content Too Large");
            return false;
        }
    }
    if (m_received.size() < m_headEnd + HeadEnd.size() + m_bodyLength)
        return m_received.size() > before;
    route();
    return false;
}

// "METHOD /<secret>/...", as far as it came.
bool BridgeConnection::namesTheBridge() const
{
    const qsizetype space = m_received.indexOf(' ');
    if (space < 0)
        return m_received.size() <= MostMethodBytes && !m_received.contains('\n');
    return m_prefix.startsWith(m_received.sliced(space + 1).left(m_prefix.size()));
}

void BridgeConnection::route()
{
    m_routed = true;
    const Routing routing =
        m_route(m_received.left(m_headEnd), m_received.sliced(m_headEnd + HeadEnd.size(), m_bodyLength));
    m_received.clear();
    if (!routing.reply)
        return send(routing.answer);
    m_reply = routing.reply;
    m_origin = routing.origin;
    ++s_waiting;
    connect(m_reply, &QNetworkReply::finished, this, &BridgeConnection::replied);
}

QByteArray BridgeConnection::refusal(const QByteArray &status)
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

void BridgeConnection::refuse(const QByteArray &status)
{
    m_routed = true;
    m_received.clear();
    send(refusal(status));
}

void BridgeConnection::send(const QByteArray &answer)
{
    m_socket->write(answer);
    m_socket->disconnectFromHost();
}

// A page still waiting gets the answer; a fetch that failed ends the
// connection without one, so the page sees a network error.
void BridgeConnection::replied()
{
    QNetworkReply *reply = takeReply();
    reply->deleteLater();
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray answer = m_answer(reply, m_origin);
    if (answer.isEmpty())
        m_socket->abort();
    else
        send(answer);
}

void BridgeConnection::end()
{
    endReply();
    deleteLater();
}

QNetworkReply *BridgeConnection::takeReply()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (reply)
        --s_waiting;
    return reply;
}

// The reply's own end says nothing any more: nobody waits for it.
void BridgeConnection::endReply()
{
    QNetworkReply *reply = takeReply();
    if (!reply)
        return;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
