// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Images.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QStandardPaths>

QIcon Images::named(const QString &name)
{
    for (const char *extension : {".svg", ".png"}) {
        const QString path = QStringLiteral(":/images/") + name + QLatin1String(extension);
        if (QFile::exists(path))
            return QIcon(path);
    }
    return {};
}

QByteArray Images::encodedForPath(const QImage &image, const QString &path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    const QByteArray format = QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray("png");
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    return !image.isNull() && QImageWriter(&buffer, format).write(image) ? data : QByteArray();
}

void Images::chooseIconTheme()
{
    // A desktop session names its theme. A bare one falls back to
    // "hicolor", which has no icons of file kinds: asking it for one walks
    // each of its folders, a good part of the editor's start.
    const QString session = QIcon::themeName();
    if (!session.isEmpty() && session != u"hicolor" && QIcon::hasThemeIcon(QStringLiteral("text-x-generic")))
        return;
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList installed = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                            QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString &folder : installed) {
        if (!paths.contains(folder))
            paths.append(folder);
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(QStringLiteral("Adwaita"));
}
