// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WebImage.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

using namespace Qt::StringLiterals;

bool WebImage::needsConversion(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"tif"_s || suffix == u"tiff"_s;
}

std::optional<QByteArray> WebImage::png(const QString &path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}
