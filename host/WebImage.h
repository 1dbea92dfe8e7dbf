// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// Images a widget's page shows that the web engine cannot decode. Widgets
/// made on the Mac often draw with TIFF files, which browsers leave blank;
/// the page gets such a file as PNG instead, decoded by Qt's image plugins.
class WebImage
{
public:
    /// Whether the page needs the file at `path` converted to be shown.
    static bool needsConversion(const QString &path);

    /// The image at `path` as PNG; nothing when it cannot be read.
    static std::optional<QByteArray> png(const QString &path);
};
