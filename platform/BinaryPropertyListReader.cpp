// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/BinaryPropertyListReader.h"

#include "platform/PropertyList.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace {

const QByteArray Magic = QByteArrayLiteral("bplist0");
constexpr quint64 TrailerSize = 32;
constexpr quint64 HeaderSize = 8;
// A list may name one object many times (writers share equal strings), but
// sharing that multiplies at every level would expand without end. Each
// value but the top one takes a reference of at least a byte in the file,
// so a list that names no container twice never has more values than bytes.
constexpr quint64 LeastValueLimit = 4096;
// Strings and data may come to this many times the file, or this much, in
// all: a real list shares a few short strings, never a long one thousands
// of times.
constexpr quint64 ExpansionFactor = 8;
constexpr quint64 LeastExpansionLimit = quint64(16) << 20;

} // namespace

bool BinaryPropertyListReader::recognizes(const QByteArray &bytes)
{
    return bytes.startsWith(Magic);
}

std::optional<QVariant> BinaryPropertyListReader::read(const QByteArray &bytes)
{
    BinaryPropertyListReader reader(bytes);
    if (!recognizes(bytes) || !reader.readTrailer())
        return std::nullopt;
    return reader.object(reader.m_topObject, 1);
}

bool BinaryPropertyListReader::readTrailer()
{
    if (quint64(m_bytes.size()) < HeaderSize + TrailerSize + 1)
        return false;
    const quint64 trailer = quint64(m_bytes.size()) - TrailerSize;
    m_end = trailer;
    m_offsetWidth = quint8(m_bytes[qsizetype(trailer + 6)]);
    m_referenceWidth = quint8(m_bytes[qsizetype(trailer + 7)]);
    if (m_offsetWidth < 1 || m_offsetWidth > 8 || m_referenceWidth < 1 || m_referenceWidth > 8)
        return false;
    m_objectCount = *number(trailer + 8, 8);
    m_topObject = *number(trailer + 16, 8);
    m_tableOffset = *number(trailer + 24, 8);
    return m_objectCount > 0 && m_topObject < m_objectCount && m_tableOffset > HeaderSize && m_tableOffset < trailer
        && m_objectCount <= (trailer - m_tableOffset) / quint64(m_offsetWidth);
}

bool BinaryPropertyListReader::fits(quint64 offset, quint64 length) const
{
    return offset <= m_end && length <= m_end - offset;
}

std::optional<quint64> BinaryPropertyListReader::number(quint64 offset, int width) const
{
    if (offset > quint64(m_bytes.size()) || quint64(width) > quint64(m_bytes.size()) - offset)
        return std::nullopt;
    quint64 value = 0;
    for (int i = 0; i < width; ++i)
        value = value << 8 | quint8(m_bytes[qsizetype(offset) + i]);
    return value;
}

std::optional<quint64> BinaryPropertyListReader::objectOffset(quint64 index) const
{
    if (index >= m_objectCount)
        return std::nullopt;
    const std::optional<quint64> offset = number(m_tableOffset + index * quint64(m_offsetWidth), m_offsetWidth);
    if (!offset || *offset < HeaderSize || *offset >= m_end)
        return std::nullopt;
    return offset;
}

std::optional<std::pair<quint64, quint64>> BinaryPropertyListReader::extent(quint64 offset, int info) const
{
    if (info != 0xF)
        return std::pair(quint64(info), offset + 1);
    // A longer count follows as an integer object of 1, 2, 4 or 8 bytes.
    const std::optional<quint64> marker = number(offset + 1, 1);
    if (!marker || (*marker >> 4) != 0x1 || (*marker & 0xF) > 3)
        return std::nullopt;
    const int width = 1 << (*marker & 0xF);
    const std::optional<quint64> count = number(offset + 2, width);
    if (!count || !fits(offset + 2, quint64(width)))
        return std::nullopt;
    return std::pair(*count, offset + 2 + quint64(width));
}

bool BinaryPropertyListReader::spend(quint64 bytes)
{
    const quint64 limit = std::max(quint64(m_bytes.size()) * ExpansionFactor, LeastExpansionLimit);
    if (bytes > limit - m_expanded)
        return false;
    m_expanded += bytes;
    return true;
}

std::optional<QVariant> BinaryPropertyListReader::object(quint64 index, int depth)
{
    const std::optional<quint64> offset = objectOffset(index);
    if (!offset || depth > PropertyList::MaximumDepth
        || ++m_produced > std::max(quint64(m_bytes.size()), LeastValueLimit))
        return std::nullopt;
    const quint8 marker = quint8(m_bytes[qsizetype(*offset)]);
    const int info = marker & 0xF;
    switch (marker >> 4) {
    case 0x0:
        if (info == 0x8 || info == 0x9)
            return QVariant(info == 0x9);
        return std::nullopt;
    case 0x1:
        return integer(*offset, info);
    case 0x2:
        return real(*offset, info);
    case 0x3: {
        const std::optional<QVariant> seconds = marker == 0x33 ? real(*offset, 3) : std::nullopt;
        if (!seconds)
            return std::nullopt;
        return QVariant::fromValue(PropertyList::Date{seconds->toDouble()});
    }
    case 0x4:
    case 0x5:
    case 0x6: {
        // A shared string or data is copied at every reference: what they
        // come to in all, not how many they are, is what can grow.
        const auto span = extent(*offset, info);
        const bool wide = marker >> 4 == 0x6;
        if (!span || span->first > m_end || !spend(span->first * (wide ? 2 : 1)))
            return std::nullopt;
        if (marker >> 4 != 0x4)
            return string(*offset, info, wide);
        if (!fits(span->second, span->first))
            return std::nullopt;
        return m_bytes.mid(qsizetype(span->second), qsizetype(span->first));
    }
    case 0x8: {
        const std::optional<quint64> value =
            info < 8 && fits(*offset + 1, quint64(info) + 1) ? number(*offset + 1, info + 1) : std::nullopt;
        if (!value)
            return std::nullopt;
        return QVariant::fromValue(PropertyList::Uid{*value});
    }
    case 0xA:
        return array(*offset, info, depth);
    case 0xD:
        return dictionary(*offset, info, depth);
    default:
        return std::nullopt;
    }
}

std::optional<QVariant> BinaryPropertyListReader::integer(quint64 offset, int info) const
{
    if (info > 4 || !fits(offset + 1, quint64(1) << info))
        return std::nullopt;
    if (info < 3)
        return QVariant(qint64(*number(offset + 1, 1 << info)));
    if (info == 3)
        return QVariant(qint64(*number(offset + 1, 8))); // eight bytes are signed
    // Sixteen bytes: kept when they fit in 64 bits, signed or not.
    const quint64 high = *number(offset + 1, 8);
    const quint64 low = *number(offset + 9, 8);
    if (high == 0)
        return low > quint64(std::numeric_limits<qint64>::max()) ? QVariant(low) : QVariant(qint64(low));
    if (high == ~quint64(0) && qint64(low) < 0)
        return QVariant(qint64(low));
    return std::nullopt;
}

std::optional<QVariant> BinaryPropertyListReader::real(quint64 offset, int info) const
{
    if ((info != 2 && info != 3) || !fits(offset + 1, quint64(1) << info))
        return std::nullopt;
    const quint64 bits = *number(offset + 1, 1 << info);
    if (info == 2)
        return QVariant(double(std::bit_cast<float>(quint32(bits))));
    return QVariant(std::bit_cast<double>(bits));
}

std::optional<QVariant> BinaryPropertyListReader::string(quint64 offset, int info, bool wide) const
{
    const auto span = extent(offset, info);
    if (!span || span->first > m_end || !fits(span->second, span->first * (wide ? 2 : 1)))
        return std::nullopt;
    const char *text = m_bytes.constData() + span->second;
    if (!wide)
        return QVariant(QString::fromLatin1(text, qsizetype(span->first)));
    QString string(qsizetype(span->first), Qt::Uninitialized);
    for (qsizetype i = 0; i < string.size(); ++i)
        string[i] = QChar(qFromBigEndian<quint16>(text + 2 * i));
    return QVariant(string);
}

std::optional<QVariant> BinaryPropertyListReader::array(quint64 offset, int info, int depth)
{
    const auto span = extent(offset, info);
    if (!span || span->first > m_end || !fits(span->second, span->first * quint64(m_referenceWidth)))
        return std::nullopt;
    QVariantList list;
    list.reserve(qsizetype(span->first));
    for (quint64 i = 0; i < span->first; ++i) {
        const std::optional<QVariant> item =
            object(*number(span->second + i * quint64(m_referenceWidth), m_referenceWidth), depth + 1);
        if (!item)
            return std::nullopt;
        list.append(*item);
    }
    return QVariant(list);
}

std::optional<QVariant> BinaryPropertyListReader::dictionary(quint64 offset, int info, int depth)
{
    const auto span = extent(offset, info);
    if (!span || span->first > m_end || !fits(span->second, 2 * span->first * quint64(m_referenceWidth)))
        return std::nullopt;
    const quint64 width = quint64(m_referenceWidth);
    PropertyList::Entries entries;
    for (quint64 i = 0; i < span->first; ++i) {
        const std::optional<QVariant> key = object(*number(span->second + i * width, m_referenceWidth), depth + 1);
        const std::optional<QVariant> value =
            object(*number(span->second + (span->first + i) * width, m_referenceWidth), depth + 1);
        if (!key || !value || key->typeId() != QMetaType::QString)
            return std::nullopt;
        PropertyList::put(entries, key->toString(), *value);
    }
    return QVariant::fromValue(entries);
}
