// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetBundle.h"

#include "platform/PropertyList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QWidget>

#include <algorithm>

namespace {

QString propertyListPath(const QDir &bundle)
{
    const QString upper = bundle.filePath(QStringLiteral("Info.plist"));
    return QFileInfo::exists(upper) ? upper : bundle.filePath(QStringLiteral("info.plist"));
}

QVariantMap readInfo(const QDir &bundle)
{
    const std::optional<QVariant> list = PropertyList::read(propertyListPath(bundle));
    return list ? list->toMap() : QVariantMap();
}

qint64 integer(const QVariantMap &info, const QString &key)
{
    return PropertyList::intValue(info.value(key));
}

// A window cannot be negative or larger than a widget may be, whatever the
// property list claims.
int pixels(qint64 value)
{
    return int(std::clamp<qint64>(value, 0, QWIDGETSIZE_MAX));
}

QSize sizeOf(const QVariantMap &info, const QDir &bundle)
{
    const QSize fallback = QImageReader(bundle.filePath(QStringLiteral("Default.png"))).size();
    const qint64 width = integer(info, QStringLiteral("Width"));
    const qint64 height = integer(info, QStringLiteral("Height"));
    return QSize(pixels(width ? width : fallback.width()), pixels(height ? height : fallback.height()));
}

QUrl mainPageOf(const QVariantMap &info, const QDir &bundle)
{
    const QString mainHTML = info.value(QStringLiteral("MainHTML")).toString();
    if (mainHTML.isEmpty())
        return QUrl();
    // The trailing slash makes the folder itself the base, not its parent.
    return QUrl::fromLocalFile(bundle.absolutePath() + u'/').resolved(QUrl(mainHTML));
}

} // namespace

WidgetBundle WidgetBundle::read(const QString &bundlePath)
{
    const QDir bundle(bundlePath);
    WidgetBundle result;
    result.m_bundlePath = bundlePath;
    result.m_info = readInfo(bundle);
    result.m_size = sizeOf(result.m_info, bundle);
    result.m_mainPage = mainPageOf(result.m_info, bundle);
    return result;
}

QPoint WidgetBundle::closeBoxInset() const
{
    return QPoint(pixels(integer(m_info, QStringLiteral("CloseBoxInsetX"))),
                  pixels(integer(m_info, QStringLiteral("CloseBoxInsetY"))));
}

QString WidgetBundle::displayName() const
{
    for (const QString &key : {QStringLiteral("CFBundleDisplayName"), QStringLiteral("CFBundleName")}) {
        const QString name = m_info.value(key).toString();
        if (!name.isEmpty())
            return name;
    }
    return QFileInfo(QDir(m_bundlePath).dirName()).completeBaseName();
}

// A folder that does not exist (yet) still gets a name, from its absolute path.
QString WidgetBundle::folderIdentifier() const
{
    const QFileInfo folder(m_bundlePath);
    const QString path = folder.exists() ? folder.canonicalFilePath() : folder.absoluteFilePath();
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1);
    return QString::fromLatin1(digest.toHex().left(16));
}
