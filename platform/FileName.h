// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

/// File names are bytes; QString holds text. A name that is not UTF-8 (a
/// "café.txt" from an old Latin-1 archive) would lose its bytes in Qt's own
/// conversion and then name no file. Here each byte that is no part of a
/// UTF-8 character becomes a lone low surrogate (U+DC80 to U+DCFF), which no
/// UTF-8 name can hold, so every name comes back to exactly its bytes.
class FileName
{
public:
    /// The bytes the system knows `path` by.
    static QByteArray encode(QStringView path);
    /// The path `bytes` name, for encode() to give back.
    static QString decode(QByteArrayView bytes);
    /// `path` as people read it: each byte that is no character is shown
    /// as the replacement character.
    static QString shown(const QString &path);
};
