// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArrayView>

/// Finds text of ASCII characters in bytes, letter case aside, at the speed
/// the C library finds exact bytes: the filter searches every open file on
/// each pause in typing, and Find in Widget whole widgets.
class AsciiSearch
{
public:
    /// The first place of `needle`, all ASCII, in `text` at or after `from`,
    /// ASCII letters matching in either case; -1 when there is none.
    static qsizetype indexIn(QByteArrayView text, QByteArrayView needle, qsizetype from = 0);
    /// The place of the first byte in `text` that is not ASCII; -1 when all are.
    static qsizetype indexBeyondAscii(QByteArrayView text);
};
