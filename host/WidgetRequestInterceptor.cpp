// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetRequestInterceptor.h"

#include "host/LocalizedResource.h"
#include "host/NetworkBridge.h"
#include "host/RuntimeSchemeHandler.h"
#include "host/WebImage.h"

#include <QFileInfo>
#include <QJsonObject>

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
        redirectLocalFile(info, url.toLocalFile(), info.firstPartyUrl());
    else if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeXhr && info.initiator().isLocalFile())
        redirectToBridge(info); // only the widget's own pages, never a web page inside it
}

// What the bridge sends on comes back here, and must then go out.
void WidgetRequestInterceptor::redirectToBridge(QWebEngineUrlRequestInfo &info) const
{
    NetworkBridge &bridge = NetworkBridge::shared();
    if (bridge.isBridged(info.requestUrl()) || !m_profile)
        return;
    const QUrl bridged = bridge.bridged(info.requestUrl(), bridge.cookieJar(m_profile));
    if (bridged.isValid())
        info.redirect(bridged);
}

void WidgetRequestInterceptor::redirectToShared(QWebEngineUrlRequestInfo &info, const QString &relative) const
{
    const QUrl served = RuntimeSchemeHandler::sharedResourceUrl(relative);
    if (served.isValid()) {
        info.redirect(served);
        return;
    }
    m_access.report(SharedResourcesPath + relative + u" is not available"_s);
    info.block(true);
}

// One redirect at most: the engine does not survive a request it sent on
// being sent on again to a scheme of this program. A file that is nowhere
// is said once, with the page that asked for it, since the page itself
// often takes no notice.
void WidgetRequestInterceptor::redirectLocalFile(QWebEngineUrlRequestInfo &info, const QString &path,
                                                 const QUrl &page) const
{
    const QString found = QFileInfo::exists(path) ? path : localizedFile(path);
    if (found.isEmpty() && !m_missing.contains(path)) {
        m_missing.insert(path);
        const QString relative = m_access.relativePath(path);
        const QString asking = m_access.relativePath(page.toLocalFile());
        m_access.report(u"%1 is missing (asked for by %2)"_s.arg(relative.isEmpty() ? path : relative,
                                                                 asking.isEmpty() ? page.toString() : asking));
    }
    if (WebImage::needsConversion(found))
        info.redirect(RuntimeSchemeHandler::runtimeCall(m_token, u"image"_s, {{u"path"_s, found}}));
    else if (found != path && !found.isEmpty())
        info.redirect(QUrl::fromLocalFile(found));
}

// The file of the bundle's localized folders that stands in for the
// missing `path`; empty when there is none.
QString WidgetRequestInterceptor::localizedFile(const QString &path) const
{
    const QString relative = m_access.relativePath(path);
    return relative.isEmpty() ? QString() : LocalizedResource::find(m_access.folder(), relative);
}
