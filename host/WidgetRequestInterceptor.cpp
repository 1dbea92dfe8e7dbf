// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetRequestInterceptor.h"

#include "host/LocalizedResource.h"
#include "host/NetworkBridge.h"
#include "host/RuntimeSchemeHandler.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString SharedResourcesPath = u"/System/Library/WidgetResources/"_s;

// The path below WidgetResources that `url` asks for; empty for any other URL.
QString sharedResourcePath(const QUrl &url)
{
    if (!url.isLocalFile() || !url.path().startsWith(SharedResourcesPath))
        return {};
    return url.path().sliced(SharedResourcesPath.size());
}

} // namespace

void WidgetRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    const QUrl call = RuntimeSchemeHandler::routedCall(url, m_token);
    const QString shared = sharedResourcePath(url);
    if (call.isValid())
        info.redirect(call);
    else if (!shared.isEmpty())
        redirectToShared(info, shared);
    else if (!m_access.permits(url))
        info.block(true);
    else if (url.isLocalFile())
        redirectToLocalized(info, url.toLocalFile());
    else if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeXhr)
        redirectToBridge(info);
}

// What the bridge sends on comes back here, and must then go out.
void WidgetRequestInterceptor::redirectToBridge(QWebEngineUrlRequestInfo &info) const
{
    const NetworkBridge &bridge = NetworkBridge::shared();
    if (bridge.isBridged(info.requestUrl()))
        return;
    const QUrl bridged = bridge.bridged(info.requestUrl());
    if (bridged.isValid())
        info.redirect(bridged);
}

void WidgetRequestInterceptor::redirectToShared(QWebEngineUrlRequestInfo &info,
                                                const QString &relative) const
{
    const QUrl served = RuntimeSchemeHandler::sharedResourceUrl(relative);
    if (served.isValid()) {
        info.redirect(served);
        return;
    }
    m_access.report(SharedResourcesPath + relative + u" is not available"_s);
    info.block(true);
}

void WidgetRequestInterceptor::redirectToLocalized(QWebEngineUrlRequestInfo &info,
                                                   const QString &path) const
{
    if (QFileInfo::exists(path))
        return;
    const QString relative = m_access.relativePath(path);
    if (relative.isEmpty())
        return;
    const QString localized = LocalizedResource::find(m_access.folder(), relative);
    if (!localized.isEmpty())
        info.redirect(QUrl::fromLocalFile(localized));
}
