// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "host/BridgeConnection.h"

#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QWebEngineProfile;

/// Lets widget pages read what they fetch from any server, as the platform
/// they were written for did. The web engine shows a page loaded from a file
/// only the answers of servers that allow it by name (cross-origin resource
/// sharing), which the servers widgets talk to never do. The requests of a
/// widget allowed on the network are therefore sent here, to a small server
/// of this program's own on 127.0.0.1: it fetches the real address itself,
/// with the page's method, headers and body, and answers with the server's
/// answer plus the headers that let the page read it. A fetch that fails
/// ends the connection without an answer, so the page sees a network error,
/// as it would have without the bridge.
///
/// The bridge's addresses carry a secret made at start, so no other program
/// on the machine can use it as a proxy, and the name of the cookie jar the
/// request uses: each widget's profile has its own (a ProfileCookieJar), its
/// name as hard to guess as the secret, so that no widget reads another's.
/// Each request is a BridgeConnection of its own, which the bridge owns.
class NetworkBridge : public QObject
{
    Q_OBJECT

public:
    /// The bridge of this program, started at the first use.
    static NetworkBridge &shared();

    /// The name of the cookie jar for the pages of `profile`, made at the
    /// first ask.
    QByteArray cookieJar(QWebEngineProfile *profile);
    /// The address that fetches `url` through the bridge with the cookies of
    /// `jar`; invalid when the bridge could not start, or for an address
    /// that is not http or https.
    QUrl bridged(const QUrl &url, const QByteArray &jar) const;
    /// Whether `url` is one of the bridge's own addresses.
    bool isBridged(const QUrl &url) const;

    /// Whether a page waits for a server's answer through the bridge, as a
    /// synchronous request keeps its renderer from answering anything else.
    static bool isWaitingForServers();

private:
    NetworkBridge();
    ~NetworkBridge() override;

    void accept();
    /// What to do with a whole request: a refusal or a preflight's answer
    /// at once, or the request sent on to its server.
    BridgeConnection::Routing route(const QByteArray &head, const QByteArray &body);
    static QByteArray preflightAnswer(const QHash<QByteArray, QByteArray> &headers);
    static QByteArray answer(QNetworkReply *reply, const QByteArray &origin);

    QTcpServer m_server;
    // By the cookie jar's name: what sends on requests with that jar.
    QHash<QByteArray, QNetworkAccessManager *> m_networks;
    QHash<QWebEngineProfile *, QByteArray> m_jars;
    // "/<secret>/", made at start: how every bridge address's path begins.
    QByteArray m_prefix;
};
