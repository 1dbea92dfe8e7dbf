// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "host/WidgetAccess.h"

#include <QPointer>
#include <QSet>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

/// Sees every request of one widget page before it leaves:
///
/// - the calls of the page's `widget` object go to the page's own runtime;
/// - requests for /System/Library/WidgetResources go to the resources this
///   program provides, or fail at once (reported) when it has none by the name;
/// - requests the widget's access keys do not allow are blocked (reported);
/// - the fetches of the widget's own pages from the network (XMLHttpRequest,
///   fetch) go through the NetworkBridge, so that the page may read their
///   answers; a web page shown inside the widget keeps the web's rules;
/// - a file of the bundle that is not where the page looks for it is taken
///   from the bundle's localized folders when one has it;
/// - an image the engine cannot decode comes from the runtime as PNG.
class WidgetRequestInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    /// The runtime the page's calls go to.
    void setRuntimeToken(const QString &token) { m_token = token; }
    /// The profile of the page, whose cookies the page's fetches through
    /// the bridge use.
    void setProfile(QWebEngineProfile *profile) { m_profile = profile; }

    /// The rules of the widget whose page loads next.
    void setAccess(const WidgetAccess &access)
    {
        m_access = access;
        m_missing.clear();
    }
    const WidgetAccess &access() const { return m_access; }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    void redirectToShared(QWebEngineUrlRequestInfo &info, const QString &relative) const;
    void redirectToBridge(QWebEngineUrlRequestInfo &info) const;
    void redirectLocalFile(QWebEngineUrlRequestInfo &info, const QString &path, const QUrl &page) const;
    QString localizedFile(const QString &path) const;

    WidgetAccess m_access;
    // The missing files reported since the widget was shown: each once.
    mutable QSet<QString> m_missing;
    QString m_token;
    QPointer<QWebEngineProfile> m_profile;
};
