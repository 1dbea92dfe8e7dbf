// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWebEngineUrlSchemeHandler>

class QJsonObject;
class QWebEngineProfile;
class WidgetRuntime;

/// Answers the "quillet:" URLs of widget pages:
///
/// - `quillet://widget-resources/<path>`: the shared resources widgets ask
///   for under /System/Library/WidgetResources, which this program provides
///   itself (the page's requests for them are redirected here);
/// - `quillet://<token>/<call>?<arguments>`: the calls of a page's `widget`
///   object, answered by the runtime that owns the token. Pages address
///   their calls to `quillet://runtime/`, and only a widget page's own
///   request interceptor sends them on to its runtime's token, so no page
///   can call in another widget's name.
///
/// The scheme counts as local: pages from the network cannot load from it.
class RuntimeSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    static const QByteArray Scheme;

    /// Makes the scheme known to the web engine. This must happen before
    /// the engine starts, and happens by itself as the application object
    /// is made.
    static void registerScheme();
    /// Installs a handler on `profile` unless it has one; the profile owns it.
    static void installOn(QWebEngineProfile *profile);

    /// Where the shared resource at `relative` (below WidgetResources) is
    /// served; an invalid URL when this program has no such resource.
    static QUrl sharedResourceUrl(const QString &relative);

    /// Lets `runtime` answer the calls addressed to `token`, which must be
    /// too long and random to guess, until it is removed.
    static void addRuntime(const QString &token, WidgetRuntime *runtime);
    static void removeRuntime(const QString &token);
    /// The URL every widget page's calls start with.
    static QString pageCallUrl();
    /// The call `name` with `arguments` to the runtime of `token`.
    static QUrl runtimeCall(const QString &token, const QString &name, const QJsonObject &arguments);
    /// Where the page call `url` goes for the runtime of `token`; an
    /// invalid URL when `url` is no page call.
    static QUrl routedCall(const QUrl &url, const QString &token);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    explicit RuntimeSchemeHandler(QObject *parent);
};
