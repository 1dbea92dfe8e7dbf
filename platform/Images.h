// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

/// The program's own images, looked up by name ("run", "stop", ...): an SVG
/// or PNG of that name in the images folder of the program's resources.
class Images
{
public:
    /// The image; a null icon when the program has none of that name.
    static QIcon named(const QString &name);

    /// The image encoded for a file at `path`: in the format the file's name
    /// asks for when Qt can write it, PNG otherwise. Empty when it cannot be
    /// encoded.
    static QByteArray encodedForPath(const QImage &image, const QString &path);

    /// Makes the desktop's icon theme, or else Adwaita, the one file icons
    /// come from. Without a desktop (a bare X server, a remote display) no
    /// theme is set and every file would look alike.
    static void chooseIconTheme();
};
