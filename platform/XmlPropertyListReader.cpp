// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/XmlPropertyListReader.h"

#include "platform/PropertyList.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <limits>

namespace {

std::optional<QVariant> integer(const QString &text)
{
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (ok)
        return QVariant(number);
    const quint64 large = text.startsWith(u'+') ? text.mid(1).toULongLong(&ok) : text.toULongLong(&ok);
    return ok ? std::optional(QVariant(large)) : std::nullopt;
}

std::optional<QVariant> real(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == u"nan")
        return QVariant(std::numeric_limits<double>::quiet_NaN());
    if (lower == u"inf" || lower == u"+inf" || lower == u"infinity" || lower == u"+infinity")
        return QVariant(std::numeric_limits<double>::infinity());
    if (lower == u"-inf" || lower == u"-infinity")
        return QVariant(-std::numeric_limits<double>::infinity());
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? std::optional(QVariant(number)) : std::nullopt;
}

std::optional<QVariant> date(const QString &text)
{
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!moment.isValid())
        return std::nullopt;
    if (moment.timeSpec() == Qt::LocalTime) // a date without a zone is in UTC, not the reader's zone
        moment.setTimeZone(QTimeZone::utc());
    return QVariant::fromValue(PropertyList::Date{double(reference.msecsTo(moment)) / 1000});
}

} // namespace

std::optional<QVariant> XmlPropertyListReader::read(const QByteArray &bytes)
{
    XmlPropertyListReader reader(bytes);
    if (!reader.readToRoot())
        return std::nullopt;
    std::optional<QVariant> result;
    if (reader.m_xml.name() == u"plist") {
        if (!reader.m_xml.readNextStartElement())
            return std::nullopt;
        result = reader.value(1);
        // Nothing but the end of `plist` may follow the one value.
        if (result && reader.m_xml.readNextStartElement())
            return std::nullopt;
    } else {
        result = reader.value(1);
    }
    if (!result || !reader.finished())
        return std::nullopt;
    return result;
}

// A property list has no use for a document type's entities, and each
// reference to one is expanded in full, so that a small file can stand for
// gigabytes: a list that declares any is refused, as other readers do.
bool XmlPropertyListReader::readToRoot()
{
    while (m_xml.readNext() != QXmlStreamReader::StartElement) {
        if (m_xml.atEnd() || (m_xml.isDTD() && !m_xml.entityDeclarations().isEmpty()))
            return false;
    }
    return true;
}

bool XmlPropertyListReader::finished()
{
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isStartElement())
            return false;
    }
    return !m_xml.hasError();
}

std::optional<QVariant> XmlPropertyListReader::value(int depth)
{
    if (depth > PropertyList::MaximumDepth)
        return std::nullopt;
    const QString name = m_xml.name().toString();
    if (name == u"array")
        return array(depth);
    if (name == u"dict")
        return dictionary(depth);
    const QString text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    if (m_xml.hasError())
        return std::nullopt;
    return leaf(name, text);
}

std::optional<QVariant> XmlPropertyListReader::leaf(QStringView name, const QString &text) const
{
    if (name == u"string")
        return QVariant(text);
    if (name == u"true" || name == u"false")
        return QVariant(name == u"true");
    if (name == u"integer")
        return integer(text.trimmed());
    if (name == u"real")
        return real(text.trimmed());
    if (name == u"date")
        return date(text.trimmed());
    if (name == u"data") {
        QByteArray base64 = text.toLatin1();
        base64.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
        return QVariant(QByteArray::fromBase64(base64));
    }
    return std::nullopt;
}

std::optional<QVariant> XmlPropertyListReader::array(int depth)
{
    QVariantList list;
    while (m_xml.readNextStartElement()) {
        const std::optional<QVariant> item = value(depth + 1);
        if (!item)
            return std::nullopt;
        list.append(*item);
    }
    if (m_xml.hasError())
        return std::nullopt;
    return QVariant(list);
}

std::optional<QVariant> XmlPropertyListReader::dictionary(int depth)
{
    PropertyList::Entries entries;
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() != u"key")
            return std::nullopt;
        const QString key = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (m_xml.hasError() || !m_xml.readNextStartElement())
            return std::nullopt;
        const std::optional<QVariant> item = value(depth + 1);
        if (!item)
            return std::nullopt;
        PropertyList::put(entries, key, *item);
    }
    if (m_xml.hasError())
        return std::nullopt;
    return QVariant::fromValue(entries);
}
