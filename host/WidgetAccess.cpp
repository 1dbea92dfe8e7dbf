// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetAccess.h"

#include "host/WidgetBundle.h"
#include "platform/PropertyList.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Named after the program alone: with the default message pattern the lines
// read "quillet: <widget>: ...".
Q_LOGGING_CATEGORY(lcWidget, "quillet")

const QStringList NetworkSchemes = {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ws"),
                                    QStringLiteral("wss"), QStringLiteral("ftp")};

bool key(const QVariantMap &info, const QString &name)
{
    return PropertyList::boolValue(info.value(name))
        || PropertyList::boolValue(info.value(QStringLiteral("AllowFullAccess")));
}

QString relativeTo(const QString &folder, const QString &path)
{
    if (folder.isEmpty() || !path.startsWith(folder + u'/'))
        return {};
    return path.sliced(folder.size() + 1);
}

} // namespace

WidgetAccess::WidgetAccess(const WidgetBundle &bundle)
    : m_name(bundle.displayName())
    , m_folder(QDir::cleanPath(QFileInfo(bundle.bundlePath()).absoluteFilePath()))
    , m_canonicalFolder(QFileInfo(bundle.bundlePath()).canonicalFilePath())
    , m_network(key(bundle.info(), QStringLiteral("AllowNetworkAccess")))
    , m_files(key(bundle.info(), QStringLiteral("AllowFileAccessOutsideOfWidget")))
    , m_system(key(bundle.info(), QStringLiteral("AllowSystem")))
{ }

bool WidgetAccess::contains(const QString &path) const
{
    return !relativePath(path).isEmpty();
}

// A file that exists is judged by where it really is; one that does not may
// still be asked for under either spelling of the folder, and is then not
// found rather than refused.
QString WidgetAccess::relativePath(const QString &path) const
{
    const QFileInfo file(path);
    if (file.exists())
        return relativeTo(m_canonicalFolder, file.canonicalFilePath());
    const QString clean = QDir::cleanPath(path);
    const QString relative = relativeTo(m_folder, clean);
    return relative.isEmpty() ? relativeTo(m_canonicalFolder, clean) : relative;
}

bool WidgetAccess::permits(const QUrl &url) const
{
    if (NetworkSchemes.contains(url.scheme()) && !m_network) {
        reportDenial(u"network request to "_s + url.toDisplayString(), u"AllowNetworkAccess"_s);
        return false;
    }
    if (url.isLocalFile() && !m_files && !contains(url.toLocalFile())) {
        reportDenial(u"file "_s + url.toLocalFile(), u"AllowFileAccessOutsideOfWidget"_s);
        return false;
    }
    return true;
}

void WidgetAccess::reportDenial(const QString &what, const QString &key) const
{
    report(what + u" blocked ("_s + key + u" is not set)"_s);
}

void WidgetAccess::report(const QString &message) const
{
    qCWarning(lcWidget).noquote() << m_name + u": "_s + message;
    if (m_listener)
        m_listener(message);
}
