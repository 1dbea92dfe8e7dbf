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
