// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <functional>

class QNetworkReply;
class QTcpSocket;

/// One request through the network bridge: the connection a page opened to
/// the bridge and, once the request was sent on, the server's reply. Either
/// may end first, in any order, and so may the page: a page that gives up
/// (an abort, a time-out, a reload, a closed widget) closes the connection,
/// which ends the reply quietly; a reply that ends answers the connection
/// if it is still open. The connection owns its socket and ends its reply,
/// and deletes itself once both are done.
///
/// What it reads before it knows the request is one of the bridge's own is
/// bounded: the request line must name the bridge's secret, and the head and
/// body have a largest size.
class BridgeConnection : public QObject
{
    Q_OBJECT

public:
    /// What the bridge does with a whole request: answers it at once (the
    /// answer), or sends it on (a reply, and no answer), or refuses it.
    struct Routing
    {
        QByteArray answer;
        QNetworkReply *reply = nullptr;
        QByteArray origin; ///< of the page that asked, for the answer
    };
    using Router = std::function<Routing(const QByteArray &head, const QByteArray &body)>;
    /// The answer to send for a reply that finished; empty when the fetch
    /// failed, which ends the connection without one.
    using Answerer = std::function<QByteArray(QNetworkReply *reply, const QByteArray &origin)>;

    static constexpr qsizetype MostHeadBytes = 64 * 1024;
    static constexpr qint64 MostBodyBytes = 64 * 1024 * 1024;
    static constexpr qsizetype MostMethodBytes = 16;

    /// Takes over `socket`; `prefix` is what the request's target must begin
    /// with ("/<secret>/").
    BridgeConnection(QTcpSocket *socket, const QByteArray &prefix, Router route, Answerer answer, QObject *parent);
    ~BridgeConnection() override;

    /// Connections whose request was sent on and whose reply has not come.
    static int waitingForServers();
    /// The answer that refuses a request with `status` ("404 Not Found").
    static QByteArray refusal(const QByteArray &status);

private:
    void read();
    /// Takes what the request can still hold; false when nothing more is
    /// to be read now.
    bool take();
    bool namesTheBridge() const;
    void route();
    /// Refuses the request with `status` and ends the connection.
    void refuse(const QByteArray &status);
    void send(const QByteArray &answer);
    void replied();
    void end();
    void endReply();
    /// The reply waited for, which the connection no longer waits for.
    QNetworkReply *takeReply();

    QTcpSocket *m_socket;
    QByteArray m_prefix;
    Router m_route;
    Answerer m_answer;
    QByteArray m_received;
    qsizetype m_headEnd = -1;
    qint64 m_bodyLength = 0;
    bool m_routed = false;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_origin;
    static int s_waiting;
};
