// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

/// Reads the binary property-list format ("bplist00") into the stored form
/// of `PropertyList`. Every offset, count and reference is checked against
/// the file before use; cycles, nesting past `PropertyList::MaximumDepth` and
/// lists that share objects so often, or share such long strings, that they
/// would expand beyond reason are refused.
class BinaryPropertyListReader
{
public:
    static bool recognizes(const QByteArray &bytes);
    static std::optional<QVariant> read(const QByteArray &bytes);

private:
    explicit BinaryPropertyListReader(const QByteArray &bytes)
        : m_bytes(bytes)
    { }
    bool readTrailer();
    std::optional<quint64> number(quint64 offset, int width) const;
    std::optional<quint64> objectOffset(quint64 index) const;
    /// The length of a data, string or container object and where its
    /// payload starts.
    std::optional<std::pair<quint64, quint64>> extent(quint64 offset, int info) const;
    std::optional<QVariant> object(quint64 index, int depth);
    std::optional<QVariant> integer(quint64 offset, int info) const;
    std::optional<QVariant> real(quint64 offset, int info) const;
    std::optional<QVariant> string(quint64 offset, int info, bool wide) const;
    std::optional<QVariant> array(quint64 offset, int info, int depth);
    std::optional<QVariant> dictionary(quint64 offset, int info, int depth);
    bool fits(quint64 offset, quint64 length) const;
    /// Counts `bytes` more of strings and data produced; false once they
    /// would come to more than the file can stand for.
    bool spend(quint64 bytes);

    const QByteArray &m_bytes;
    int m_offsetWidth = 0;
    int m_referenceWidth = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    quint64 m_tableOffset = 0;
    quint64 m_end = 0;
    quint64 m_produced = 0;
    quint64 m_expanded = 0;
};
