// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/EntryIcons.h"

#include <QFileIconProvider>
#include <QFileInfo>

QVariant EntryIcons::cell(const QString &name, const QString &path, bool nameColumn, int role)
{
    if (nameColumn)
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? QVariant(name) : QVariant();
    if (role != Qt::DecorationRole)
        return {};
    auto icon = m_icons.constFind(path);
    if (icon == m_icons.cend()) {
        static const QFileIconProvider provider;
        icon = m_icons.insert(path, provider.icon(QFileInfo(path)));
    }
    return *icon;
}
