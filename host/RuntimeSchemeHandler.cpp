// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/RuntimeSchemeHandler.h"

#include "host/WidgetRuntime.h"

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeDatabase>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <optional>

using namespace Qt::StringLiterals;

const QByteArray RuntimeSchemeHandler::Scheme = QByteArrayLiteral("quillet");

namespace {

const QString SharedResourcesHost = u"widget-resources"_s;
const QString PageCallHost = u"runtime"_s;
const QString SharedResourcesFolder = u":/quillet/WidgetResources/"_s;

QHash<QString, WidgetRuntime *> &runtimes()
{
    static QHash<QString, WidgetRuntime *> byToken;
    return byToken;
}

// The path of a shared resource in this program's resources; empty when it
// has none there.
QString sharedResourceFile(const QString &relative)
{
    const QString clean = QDir::cleanPath(relative);
    if (clean.isEmpty() || clean.startsWith(u"..") || clean.startsWith(u'/'))
        return {};
    const QString path = SharedResourcesFolder + clean;
    return QFile::exists(path) ? path : QString();
}

// The images the shared classes' widgets name under AppleClasses/Images/
// are drawn here, as the look the classes draw by themselves: a thumb part
// darker than a track part, every part a plain piece the classes stretch or
// tile. Nothing of the originals is copied; only their place is kept.
std::optional<QByteArray> drawnClassImage(const QString &relative)
{
    const QString clean = QDir::cleanPath(relative);
    if (!clean.startsWith(u"AppleClasses/Images/"_s) || !clean.endsWith(u".png"_s) || clean.count(u'/') != 2)
        return std::nullopt;
    QImage piece(8, 8, QImage::Format_ARGB32);
    piece.fill(clean.contains(u"thumb"_s, Qt::CaseInsensitive) ? QColor(0, 0, 0, 115) : QColor(0, 0, 0, 25));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    piece.save(&buffer, "PNG");
    return png;
}

void serveSharedResource(QWebEngineUrlRequestJob *job)
{
    const QString relative = job->requestUrl().path().mid(1);
    const QString path = sharedResourceFile(relative);
    if (const std::optional<QByteArray> drawn = path.isEmpty() ? drawnClassImage(relative) : std::nullopt) {
        auto *buffer = new QBuffer(job);
        buffer->setData(*drawn);
        job->reply(QByteArrayLiteral("image/png"), buffer);
        return;
    }
    auto *file = new QFile(path, job);
    if (path.isEmpty() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    job->reply(type.name().toUtf8(), file);
}

void registerRuntimeScheme()
{
    RuntimeSchemeHandler::registerScheme();
}

} // namespace

// Before the application object exists nothing of the web engine can, and
// this runs as the object is made, before any of its users could start one.
Q_COREAPP_STARTUP_FUNCTION(registerRuntimeScheme)

RuntimeSchemeHandler::RuntimeSchemeHandler(QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
{ }

void RuntimeSchemeHandler::registerScheme()
{
    QWebEngineUrlScheme scheme(Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme
                    | QWebEngineUrlScheme::CorsEnabled | QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void RuntimeSchemeHandler::installOn(QWebEngineProfile *profile)
{
    if (!profile->urlSchemeHandler(Scheme))
        profile->installUrlSchemeHandler(Scheme, new RuntimeSchemeHandler(profile));
}

QUrl RuntimeSchemeHandler::sharedResourceUrl(const QString &relative)
{
    if (sharedResourceFile(relative).isEmpty() && !drawnClassImage(relative))
        return {};
    QUrl url;
    url.setScheme(QString::fromLatin1(Scheme));
    url.setHost(SharedResourcesHost);
    url.setPath(u'/' + QDir::cleanPath(relative));
    return url;
}

void RuntimeSchemeHandler::addRuntime(const QString &token, WidgetRuntime *runtime)
{
    runtimes().insert(token, runtime);
}

void RuntimeSchemeHandler::removeRuntime(const QString &token)
{
    runtimes().remove(token);
}

QString RuntimeSchemeHandler::pageCallUrl()
{
    return QString::fromLatin1(Scheme) + u"://"_s + PageCallHost + u'/';
}

QUrl RuntimeSchemeHandler::runtimeCall(const QString &token, const QString &name, const QJsonObject &arguments)
{
    const QByteArray text = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
    return QUrl(QString::fromLatin1(Scheme) + u"://"_s + token + u'/' + name + u'?'
                    + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(text))),
                QUrl::StrictMode);
}

QUrl RuntimeSchemeHandler::routedCall(const QUrl &url, const QString &token)
{
    if (url.scheme() != QLatin1String(Scheme) || url.host() != PageCallHost)
        return {};
    QUrl routed = url;
    routed.setHost(token);
    return routed;
}

void RuntimeSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString host = job->requestUrl().host();
    if (host == SharedResourcesHost) {
        serveSharedResource(job);
        return;
    }
    if (WidgetRuntime *runtime = runtimes().value(host))
        runtime->answer(job);
    else
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
}
