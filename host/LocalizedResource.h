// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// Where a bundle keeps a file that its page asks for at a place that lacks
/// it: at the same path in one of its localized folders ("de.lproj",
/// "German.lproj", ... "English.lproj", "en.lproj"). Widgets name such files
/// as if they lay at the top of the bundle and leave the folder to the host.
class LocalizedResource
{
public:
    /// The file at `relative` in the first localized folder of `bundleFolder`
    /// that has it: the folders of the user's languages in the order of
    /// preference, then English. Empty when none has it, or when `relative`
    /// names a localized folder itself.
    static QString find(const QString &bundleFolder, const QString &relative);

private:
    /// The localized folder names tried, in order. The user's languages
    /// come from the default QLocale, which follows the system's.
    static QStringList folderNames();
};
