// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QString>

#include <functional>

/// Widgets travel as zips holding the bundle folder ("Clock.wdgt.zip" holds
/// "Clock.wdgt/"). Both ways change nothing until the result is whole: the
/// zip is written beside its place and renamed into it; a widget is unpacked
/// into a hidden folder beside the zip and moved out only when complete.
class ZipArchive
{
public:
    /// Whether Quillet opens `path` as a zipped widget: a name ending in
    /// ".zip" that is no folder.
    static bool isArchive(const QString &path);

    /// Zips the bundle folder `bundle` into `zipPath`, replacing what is
    /// there. Folders, regular files (with their permissions) and links that
    /// stay inside the widget go in; links leading outside it, FIFOs,
    /// sockets and devices are left out and listed in the outcome.
    static Outcome exportBundle(const QString &bundle, const QString &zipPath);

    /// Unpacks the one widget `zipPath` holds beside it, under a free name
    /// ("Clock 2.wdgt" when "Clock.wdgt" is taken), and sets `bundle` to its
    /// path. A zip with anything that would land outside the widget (".."
    /// names, absolute ones, links leading out, entries beside the widget
    /// other than a "__MACOSX" folder and ".DS_Store" files), more than one
    /// widget, more entries or bytes than a widget plausibly holds, or more
    /// bytes than the disk has free is refused before anything is written.
    /// `progress` hears how many of the bytes are unpacked as they are and
    /// stops the work by returning false. A failure or a stop leaves
    /// nothing behind.
    using Progress = std::function<bool(quint64 done, quint64 total)>;
    static Outcome extractWidget(const QString &zipPath, QString *bundle, const Progress &progress = {});
};
