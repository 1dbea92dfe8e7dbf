// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/PropertyList.h"
#include "tests/common/Tree.h"

#include <QDir>
#include <QImage>
#include <QSize>
#include <QVariantMap>

/// Writes the parts of small widget bundles for the host's tests.
namespace TestBundle {

inline bool writeInfo(const QString &bundle, const QVariantMap &info,
                      const QString &name = QStringLiteral("Info.plist"))
{
    return QDir().mkpath(bundle) && PropertyList::writeXml(bundle + u'/' + name, info);
}

/// A real PNG "Default.png" of the given pixel size.
inline bool writeDefaultImage(const QString &bundle, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return QDir().mkpath(bundle) && image.save(bundle + QStringLiteral("/Default.png"), "PNG");
}

/// An HTML page whose document title is `title`, with `body` as its body.
inline bool writePage(const QString &bundle, const QString &name, const QString &title,
                      const QString &body = QString())
{
    const QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                        "<title>%1</title></head><body>%2</body></html>")
                             .arg(title, body);
    return Tree::write(bundle, name, html.toUtf8());
}

/// A complete bundle: Info.plist naming "main.html" and giving the size,
/// and that page titled `title`.
inline QString write(const QString &bundle, const QSize &size, const QString &title,
                     const QVariantMap &moreInfo = QVariantMap())
{
    QVariantMap info = moreInfo;
    info.insert(QStringLiteral("MainHTML"), QStringLiteral("main.html"));
    info.insert(QStringLiteral("Width"), qint64(size.width()));
    info.insert(QStringLiteral("Height"), qint64(size.height()));
    writeInfo(bundle, info);
    writePage(bundle, QStringLiteral("main.html"), title);
    return bundle;
}

} // namespace TestBundle
