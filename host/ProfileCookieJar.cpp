// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/ProfileCookieJar.h"

#include <QDateTime>
#include <QNetworkCookie>
#include <QWebEngineCookieStore>

ProfileCookieJar::ProfileCookieJar(QWebEngineCookieStore *store, QObject *parent)
    : QNetworkCookieJar(parent)
    , m_store(store)
{
    connect(store, &QWebEngineCookieStore::cookieAdded, this,
            [this](const QNetworkCookie &cookie) { insertCookie(cookie); });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this,
            [this](const QNetworkCookie &cookie) { deleteCookie(cookie); });
    store->loadAllCookies();
}

// One at a time, so that only what this jar accepts reaches the store; a
// cookie already expired is the server taking it back.
bool ProfileCookieJar::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    bool any = false;
    for (const QNetworkCookie &cookie : cookies) {
        const bool expired = !cookie.isSessionCookie() && cookie.expirationDate() < QDateTime::currentDateTime();
        if (!QNetworkCookieJar::setCookiesFromUrl({cookie}, url) && !expired)
            continue;
        any = true;
        if (!m_store)
            continue;
        if (expired)
            m_store->deleteCookie(cookie, url);
        else
            m_store->setCookie(cookie, url);
    }
    return any;
}
