// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/PropertyList.h"

#include "platform/FileManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimeZone>

#include <plist/plist.h>

#include <memory>
#include <utility>

namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime ReferenceDate(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistDeleter>;

QString takeString(char *text)
{
    const QString string = QString::fromUtf8(text);
    free(text);
    return string;
}

QVariant toVariant(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        char *key = nullptr;
        plist_t item = nullptr;
        for (plist_dict_next_item(node, it, &key, &item); item;
             plist_dict_next_item(node, it, &key, &item)) {
            map.insert(takeString(key), toVariant(item));
            key = nullptr;
        }
        free(it);
        return map;
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i)
            list.append(toVariant(plist_array_get_item(node, i)));
        return list;
    }
    case PLIST_STRING: {
        char *text = nullptr;
        plist_get_string_val(node, &text);
        return takeString(text);
    }
    case PLIST_UINT: {
        uint64_t number = 0;
        plist_get_uint_val(node, &number);
        return qint64(number);
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return number;
    }
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return flag != 0;
    }
    case PLIST_DATE: {
        int32_t seconds = 0, microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return ReferenceDate.addMSecs(qint64(seconds) * 1000 + microseconds / 1000);
    }
    case PLIST_DATA: {
        char *bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        const QByteArray data(bytes, qsizetype(length));
        free(bytes);
        return data;
    }
    default:
        return {};
    }
}

plist_t fromVariant(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            plist_dict_set_item(dict, it.key().toUtf8().constData(), fromVariant(it.value()));
        return dict;
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant &item : value.toList())
            plist_array_append_item(array, fromVariant(item));
        return array;
    }
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QDateTime: {
        const qint64 msecs = ReferenceDate.msecsTo(value.toDateTime());
        return plist_new_date(int32_t(msecs / 1000), int32_t((msecs % 1000) * 1000));
    }
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return plist_new_data(data.constData(), uint64_t(data.size()));
    }
    default:
        return plist_new_string(value.toString().toUtf8().constData());
    }
}

} // namespace

std::optional<QVariant> PropertyList::parse(const QByteArray &bytes)
{
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    const PlistPointer owner(root);
    return toVariant(root);
}

std::optional<QVariant> PropertyList::read(const QString &path)
{
    QByteArray bytes;
    if (!FileManager::readFile(path, &bytes))
        return std::nullopt;
    return parse(bytes);
}

QByteArray PropertyList::toXml(const QVariant &value)
{
    const PlistPointer root(fromVariant(value));
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const QByteArray document(xml, qsizetype(length));
    free(xml);
    return document;
}

Outcome PropertyList::writeXml(const QString &path, const QVariant &value)
{
    return FileManager::writeFile(path, toXml(value));
}

PropertyList::Dictionary::Dictionary(Dictionary &&other) noexcept
    : m_node(std::exchange(other.m_node, nullptr))
{
}

PropertyList::Dictionary::~Dictionary()
{
    if (m_node)
        plist_free(static_cast<plist_t>(m_node));
}

std::optional<PropertyList::Dictionary> PropertyList::Dictionary::read(const QString &path, Outcome *why)
{
    QByteArray bytes;
    Outcome outcome = FileManager::readFile(path, &bytes);
    plist_t root = nullptr;
    if (outcome)
        plist_from_memory(bytes.constData(), uint32_t(bytes.size()), &root);
    if (root && plist_get_node_type(root) == PLIST_DICT)
        return Dictionary(root);
    if (root)
        plist_free(root);
    if (why) {
        *why = outcome ? Outcome::failure(path, QCoreApplication::translate(
                                                    "PropertyList", "It is not a property list holding a dictionary"))
                       : outcome;
    }
    return std::nullopt;
}

PropertyList::Dictionary PropertyList::Dictionary::empty()
{
    return Dictionary(plist_new_dict());
}

bool PropertyList::Dictionary::contains(const QString &key) const
{
    return plist_dict_get_item(static_cast<plist_t>(m_node), key.toUtf8().constData()) != nullptr;
}

QVariant PropertyList::Dictionary::value(const QString &key) const
{
    const plist_t item = plist_dict_get_item(static_cast<plist_t>(m_node), key.toUtf8().constData());
    return item ? toVariant(item) : QVariant();
}

void PropertyList::Dictionary::set(const QString &key, void *node)
{
    // Replacing an item in place keeps the key where it stood in the file.
    plist_dict_set_item(static_cast<plist_t>(m_node), key.toUtf8().constData(), static_cast<plist_t>(node));
}

void PropertyList::Dictionary::setString(const QString &key, const QString &value)
{
    set(key, plist_new_string(value.toUtf8().constData()));
}

void PropertyList::Dictionary::setInteger(const QString &key, qint64 value)
{
    set(key, plist_new_uint(uint64_t(value)));
}

void PropertyList::Dictionary::setTrue(const QString &key)
{
    set(key, plist_new_bool(1));
}

void PropertyList::Dictionary::setStringList(const QString &key, const QStringList &value)
{
    set(key, fromVariant(value));
}

void PropertyList::Dictionary::remove(const QString &key)
{
    if (contains(key))
        plist_dict_remove_item(static_cast<plist_t>(m_node), key.toUtf8().constData());
}

Outcome PropertyList::Dictionary::writeXml(const QString &path) const
{
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(m_node), &xml, &length);
    const QByteArray document(xml, qsizetype(length));
    free(xml);
    if (document.isEmpty())
        return Outcome::failure(path, QCoreApplication::translate("PropertyList", "It could not be put into XML"));
    return FileManager::writeFile(path, document);
}

qint64 PropertyList::intValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return qint64(value.toDouble()); // truncated, not rounded
    case QMetaType::QString:
        break;
    default:
        return 0;
    }
    const QString text = value.toString().trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'+' || text[end] == u'-'))
        ++end;
    while (end < text.size() && text[end].isDigit())
        ++end;
    bool ok = false;
    const qint64 number = text.left(end).toLongLong(&ok);
    return ok ? number : 0;
}

bool PropertyList::boolValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble() != 0;
    case QMetaType::QString: {
        static const QStringList yes{QStringLiteral("true"), QStringLiteral("YES"), QStringLiteral("yes"),
                                     QStringLiteral("Yes"), QStringLiteral("1")};
        return yes.contains(value.toString());
    }
    default:
        return false;
    }
}
