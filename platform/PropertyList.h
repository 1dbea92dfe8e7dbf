// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

/// Property lists, read in XML or binary form and written as XML. Values map
/// onto QVariant: dictionary QVariantMap, array QVariantList, string QString,
/// integer qint64, real double, boolean bool, date QDateTime, data QByteArray.
class PropertyList
{
public:
    /// The whole property list in a file; nothing when it cannot be read or
    /// parsed.
    static std::optional<QVariant> read(const QString &path);
    static std::optional<QVariant> parse(const QByteArray &bytes);

    /// The list as an XML property list document.
    static QByteArray toXml(const QVariant &value);
    /// Writes the list as XML, atomically.
    static bool writeXml(const QString &path, const QVariant &value);

    /// The leading whole number of a value, the way property-list readers
    /// take "intValue": a number's own value, a string's leading digits after
    /// blanks and an optional sign ("300px" gives 300), anything else 0.
    static qint64 intValue(const QVariant &value);
};
