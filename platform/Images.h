// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QIcon>
#include <QString>

/// The program's own images, looked up by name ("run", "stop", ...): an SVG
/// or PNG of that name in the images folder of the program's resources.
class Images
{
public:
    /// The image; a null icon when the program has none of that name.
    static QIcon named(const QString &name);
};
