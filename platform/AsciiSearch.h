// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArrayView>

/// Finds text of ASCII characters in bytes, letter case aside, at the speed
/// the C library finds exact bytes: the filter searches every open file on
/// each pause in typing, and Find in Widget whole widgets.
class AsciiSearch
{
public:
    /// A search for `needle`, all ASCII, which must outlive it.
    explicit AsciiSearch(QByteArrayView needle);

    /// The first place of the needle in `text` at or after `from`, ASCII
    /// letters matching in either case; -1 when there is none.
    qsizetype indexIn(QByteArrayView text, qsizetype from = 0) const;
    /// The place of the first byte in `text` that is not ASCII; -1 when all are.
    static qsizetype indexBeyondAscii(QByteArrayView text);

private:
    QByteArrayView m_needle;
    // The places in the needle of its two least common bytes, in order.
    qsizetype m_one = 0;
    qsizetype m_two = 0;
};
