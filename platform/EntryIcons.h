// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QIcon>
#include <QVariant>

/// What a file list's cell shows for one entry: its name in the name column,
/// its file icon in the icon column, with a link badge when asked. Icons are kept until cleared, so a list
/// asks the file system once per entry and refresh, not once per paint.
class EntryIcons
{
public:
    QVariant cell(const QString &name, const QString &path, bool nameColumn, int role, bool linkBadge = false);
    void clear() { m_icons.clear(); }

private:
    QHash<QString, QIcon> m_icons;
};
