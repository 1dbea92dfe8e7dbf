// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QNetworkCookieJar>
#include <QPointer>

class QWebEngineCookieStore;

/// The cookies a widget's servers set through the network bridge, kept
/// with the widget's other web storage: the jar mirrors the cookie store of
/// the widget's profile, and every cookie a server sets goes there too, so
/// each widget has its own, and they outlive the program as the profile's
/// storage does.
class ProfileCookieJar : public QNetworkCookieJar
{
    Q_OBJECT

public:
    ProfileCookieJar(QWebEngineCookieStore *store, QObject *parent);

    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override;

private:
    QPointer<QWebEngineCookieStore> m_store;
};
