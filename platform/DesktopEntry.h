// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QString>

/// Applications as the desktop lists them, in desktop entries (".desktop"
/// files), read and started through GIO as the desktop's own launchers do:
/// the Exec line's quoting and field codes, Terminal, the working folder.
class DesktopEntry
{
public:
    /// What a list of applications shows of one.
    struct Description
    {
        /// In the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) where
        /// the entry has it.
        QString name;
        /// A theme's icon name, or an image file's path.
        QString icon;
    };
    /// Describes the application of the entry at `entryPath`; empty when
    /// it is no entry of an application.
    static Description describe(const QString &entryPath);

    /// Starts the application of the entry at `entryPath` on the file at
    /// `path`, or on none when `path` is empty. A failure names the entry and
    /// gives the system's reason.
    static Outcome launch(const QString &entryPath, const QString &path = {});

    /// The entry of the installed application whose desktop file name is
    /// `identifier` (".desktop" left out), or, failing that, the last part of
    /// a reversed domain name in lower case ("com.apple.Calculator" finds
    /// "calculator"); empty when there is none.
    static QString locate(const QString &identifier);
};
