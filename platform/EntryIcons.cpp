// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/EntryIcons.h"

#include "platform/FileName.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>

namespace {

// The icon of the file's type from the icon theme; a null icon when the
// theme has none.
QIcon typeIcon(const QFileInfo &file)
{
    static const QMimeDatabase types;
    const QMimeType type = types.mimeTypeForFile(file);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
}

QIcon entryIcon(const QString &path)
{
    static const QFileIconProvider provider;
    const QFileInfo file(path);
    const QIcon themed = file.isDir() ? QIcon() : typeIcon(file);
    return themed.isNull() ? provider.icon(file) : themed;
}

// The icon with the theme's link emblem in its lower left quarter, at the
// sizes lists draw.
QIcon badged(const QIcon &icon)
{
    static const QIcon badge = QIcon::fromTheme(QStringLiteral("emblem-symbolic-link"));
    if (badge.isNull())
        return icon;
    QIcon result;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pixmap = icon.pixmap(size);
        if (pixmap.isNull())
            continue;
        QPainter painter(&pixmap);
        badge.paint(&painter, QRect(0, size / 2, size / 2, size / 2));
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

} // namespace

QVariant EntryIcons::cell(const QString &name, const QString &path, bool nameColumn, int role, bool linkBadge)
{
    if (nameColumn)
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? QVariant(FileName::shown(name)) : QVariant();
    if (role != Qt::DecorationRole)
        return {};
    auto icon = m_icons.constFind(path);
    if (icon == m_icons.cend())
        icon = m_icons.insert(path, linkBadge ? badged(entryIcon(path)) : entryIcon(path));
    return *icon;
}
