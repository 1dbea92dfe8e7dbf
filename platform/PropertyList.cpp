// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/PropertyList.h"

#include "platform/BinaryPropertyListReader.h"
#include "platform/FileManager.h"
#include "platform/XmlPropertyListReader.h"
#include "platform/XmlPropertyListWriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimeZone>

#include <bit>
#include <cmath>
#include <limits>

namespace {

const QDateTime ReferenceDate(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());

// What callers see of a stored value.
QVariant shown(const QVariant &stored)
{
    if (stored.metaType() == QMetaType::fromType<PropertyList::Entries>()) {
        QVariantMap map;
        for (const auto &[key, item] : stored.value<PropertyList::Entries>())
            map.insert(key, shown(item));
        return map;
    }
    if (stored.metaType() == QMetaType::fromType<PropertyList::Date>()) {
        // Beyond some 300,000 years a date has no QDateTime; it shows as none.
        const double seconds = stored.value<PropertyList::Date>().seconds;
        if (!std::isfinite(seconds) || std::fabs(seconds) > 1e13)
            return QDateTime();
        return ReferenceDate.addMSecs(qint64(std::floor(seconds * 1000)));
    }
    if (stored.metaType() == QMetaType::fromType<PropertyList::Uid>())
        return {};
    if (stored.typeId() == QMetaType::QVariantList) {
        QVariantList list = stored.toList();
        for (QVariant &item : list)
            item = shown(item);
        return list;
    }
    return stored;
}

// How a caller's value is stored.
QVariant storedFrom(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        PropertyList::Entries entries;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            entries.append({it.key(), storedFrom(it.value())});
        return QVariant::fromValue(entries);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QVariantList list = value.toList();
        for (QVariant &item : list)
            item = storedFrom(item);
        return list;
    }
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QByteArray:
        return value;
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return value.toLongLong();
    case QMetaType::ULongLong:
        return value.toULongLong() > quint64(std::numeric_limits<qint64>::max()) ? value : value.toLongLong();
    case QMetaType::QDateTime:
        return QVariant::fromValue(PropertyList::Date{double(ReferenceDate.msecsTo(value.toDateTime())) / 1000});
    default:
        return value.toString();
    }
}

// The document for a stored value, only when it reads back as the same list.
QByteArray checkedXml(const QVariant &stored, QString *why)
{
    const QByteArray document = XmlPropertyListWriter::write(stored, why);
    if (document.isEmpty())
        return {};
    const std::optional<QVariant> back = XmlPropertyListReader::read(document);
    if (back && PropertyList::same(*back, stored))
        return document;
    *why = QCoreApplication::translate("PropertyList", "It would not read back the same from XML");
    return {};
}

Outcome writeChecked(const QString &path, const QVariant &stored)
{
    QString why;
    const QByteArray document = checkedXml(stored, &why);
    if (document.isEmpty())
        return Outcome::failure(path, why);
    return FileManager::writeFile(path, document);
}

} // namespace

std::optional<QVariant> PropertyList::storedValue(const QByteArray &bytes)
{
    if (BinaryPropertyListReader::recognizes(bytes))
        return BinaryPropertyListReader::read(bytes);
    return XmlPropertyListReader::read(bytes);
}

std::optional<QVariant> PropertyList::parse(const QByteArray &bytes)
{
    const std::optional<QVariant> stored = storedValue(bytes);
    if (!stored)
        return std::nullopt;
    return shown(*stored);
}

std::optional<QVariant> PropertyList::read(const QString &path)
{
    QByteArray bytes;
    if (!FileManager::readFile(path, &bytes, ReadLimit))
        return std::nullopt;
    return parse(bytes);
}

Outcome PropertyList::writeXml(const QString &path, const QVariant &value)
{
    return writeChecked(path, storedFrom(value));
}

Outcome PropertyList::writeStoredXml(const QString &path, const QVariant &stored)
{
    return writeChecked(path, stored);
}

void PropertyList::put(Entries &entries, const QString &key, const QVariant &stored)
{
    for (auto &entry : entries) {
        if (entry.first == key) {
            entry.second = stored;
            return;
        }
    }
    entries.append({key, stored});
}

bool PropertyList::same(const QVariant &left, const QVariant &right)
{
    if (left.metaType() != right.metaType())
        return false;
    if (left.metaType() == QMetaType::fromType<Entries>()) {
        const auto a = left.value<Entries>(), b = right.value<Entries>();
        return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                          [](const auto &x, const auto &y) { return x.first == y.first && same(x.second, y.second); });
    }
    if (left.metaType() == QMetaType::fromType<Date>()) {
        const double a = left.value<Date>().seconds, b = right.value<Date>().seconds;
        return a == b || (std::isnan(a) && std::isnan(b));
    }
    if (left.metaType() == QMetaType::fromType<Uid>())
        return left.value<Uid>().value == right.value<Uid>().value;
    if (left.typeId() == QMetaType::QVariantList) {
        const QVariantList a = left.toList(), b = right.toList();
        return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), &PropertyList::same);
    }
    if (left.typeId() == QMetaType::Double) {
        const double a = left.toDouble(), b = right.toDouble();
        // Bitwise, so that 0.0 and -0.0 differ and every NaN equals itself.
        return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b) || (std::isnan(a) && std::isnan(b));
    }
    return left == right;
}

std::optional<PropertyList::Dictionary> PropertyList::Dictionary::read(const QString &path, Outcome *why)
{
    QByteArray bytes;
    Outcome outcome = FileManager::readFile(path, &bytes, ReadLimit);
    const std::optional<QVariant> stored = outcome ? storedValue(bytes) : std::nullopt;
    if (stored && stored->metaType() == QMetaType::fromType<Entries>())
        return Dictionary(stored->value<Entries>());
    if (why) {
        *why = outcome ? Outcome::failure(
                   path, QCoreApplication::translate("PropertyList", "It is not a property list holding a dictionary"))
                       : outcome;
    }
    return std::nullopt;
}

PropertyList::Dictionary PropertyList::Dictionary::empty()
{
    return Dictionary(Entries());
}

bool PropertyList::Dictionary::contains(const QString &key) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(), [&](const auto &entry) { return entry.first == key; });
}

QVariant PropertyList::Dictionary::value(const QString &key) const
{
    for (const auto &[name, stored] : m_entries) {
        if (name == key)
            return shown(stored);
    }
    return {};
}

void PropertyList::Dictionary::set(const QString &key, const QVariant &stored)
{
    put(m_entries, key, stored);
}

void PropertyList::Dictionary::setString(const QString &key, const QString &value)
{
    set(key, value);
}

void PropertyList::Dictionary::setInteger(const QString &key, qint64 value)
{
    set(key, value);
}

void PropertyList::Dictionary::setTrue(const QString &key)
{
    set(key, true);
}

void PropertyList::Dictionary::setStringList(const QString &key, const QStringList &value)
{
    set(key, storedFrom(value));
}

void PropertyList::Dictionary::remove(const QString &key)
{
    m_entries.removeIf([&](const auto &entry) { return entry.first == key; });
}

Outcome PropertyList::Dictionary::writeXml(const QString &path) const
{
    return writeChecked(path, QVariant::fromValue(m_entries));
}

qint64 PropertyList::intValue(const QVariant &value)
{
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    constexpr qint64 least = std::numeric_limits<qint64>::min();
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return value.toLongLong();
    case QMetaType::ULongLong:
        return value.toULongLong() > quint64(most) ? most : value.toLongLong();
    case QMetaType::Double: {
        const double number = value.toDouble(); // truncated, not rounded
        if (std::isnan(number))
            return 0;
        if (number >= 0x1p63)
            return most;
        return number < -0x1p63 ? least : qint64(number);
    }
    case QMetaType::QString:
        break;
    default:
        return 0;
    }
    const QString text = value.toString().trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'+' || text[end] == u'-'))
        ++end;
    const qsizetype digits = end;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') // ASCII only: no other digits make a number
        ++end;
    if (end == digits)
        return 0;
    bool ok = false;
    const qint64 number = text.left(end).toLongLong(&ok);
    if (ok)
        return number;
    return text.startsWith(u'-') ? least : most; // too many digits: saturated
}

bool PropertyList::boolValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        // A NaN compares unequal to 0, yet says nothing like "yes".
        return std::isfinite(value.toDouble()) && value.toDouble() != 0;
    case QMetaType::QString: {
        static const QStringList yes{QStringLiteral("true"), QStringLiteral("YES"), QStringLiteral("yes"),
                                     QStringLiteral("Yes"), QStringLiteral("1")};
        return yes.contains(value.toString());
    }
    default:
        return false;
    }
}
