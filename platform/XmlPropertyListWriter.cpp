// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/XmlPropertyListWriter.h"

#include "platform/PropertyList.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimeZone>

#include <cmath>

namespace {

// XML 1.0 has no way to write these characters, not even as references.
bool xmlCanHold(const QString &string)
{
    for (qsizetype i = 0; i < string.size(); ++i) {
        const char16_t c = string[i].unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c) && i + 1 < string.size() && QChar::isLowSurrogate(string[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(c))
            return false;
    }
    return true;
}

QByteArray escaped(const QString &string)
{
    QByteArray out;
    out.reserve(string.size());
    for (const char c : string.toUtf8()) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        // A raw carriage return would read back as a line feed.
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray realText(double number)
{
    if (std::isnan(number))
        return "nan";
    if (std::isinf(number))
        return number > 0 ? "+infinity" : "-infinity";
    if (number == 0 && std::signbit(number))
        return "-0.0"; // which the shortest form would write as "0"
    return QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QByteArray XmlPropertyListWriter::write(const QVariant &stored, QString *why)
{
    XmlPropertyListWriter writer;
    writer.m_document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                        "<plist version=\"1.0\">\n";
    if (!writer.value(stored, 0)) {
        if (why)
            *why = writer.m_why;
        return {};
    }
    writer.m_document += "</plist>\n";
    return writer.m_document;
}

void XmlPropertyListWriter::line(int depth, const QByteArray &markup)
{
    m_document += QByteArray(depth, '\t') + markup + '\n';
}

bool XmlPropertyListWriter::refuse(const QString &what)
{
    const QString where = m_keyPath.isEmpty()
        ? QCoreApplication::translate("PropertyList", "The list")
        : QCoreApplication::translate("PropertyList", "The value of “%1”").arg(m_keyPath.join(u'/'));
    m_why = QCoreApplication::translate("PropertyList", "%1 holds %2, which XML cannot store").arg(where, what);
    return false;
}

bool XmlPropertyListWriter::text(const char *element, const QString &string, int depth)
{
    if (!xmlCanHold(string))
        return refuse(QCoreApplication::translate("PropertyList", "a control character"));
    line(depth, '<' + QByteArray(element) + '>' + escaped(string) + "</" + element + '>');
    return true;
}

bool XmlPropertyListWriter::date(double seconds, int depth)
{
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    if (std::isfinite(seconds) && std::floor(seconds) != seconds)
        return refuse(QCoreApplication::translate("PropertyList", "a date with a fraction of a second"));
    // XML dates are whole seconds within years 1 to 9999, from about -6.3e10
    // to 2.5e11 s; the bound only keeps the addition below from overflowing.
    const bool inRange = std::isfinite(seconds) && std::fabs(seconds) < 1e12;
    const QDateTime moment = inRange ? reference.addSecs(qint64(seconds)) : QDateTime();
    if (!inRange || moment.date().year() < 1 || moment.date().year() > 9999)
        return refuse(QCoreApplication::translate("PropertyList", "a date outside the years 1 to 9999"));
    line(depth, "<date>" + moment.toString(u"yyyy-MM-dd'T'HH:mm:ss'Z'").toLatin1() + "</date>");
    return true;
}

bool XmlPropertyListWriter::value(const QVariant &stored, int depth)
{
    if (depth > PropertyList::MaximumDepth)
        return refuse(QCoreApplication::translate("PropertyList", "too many levels"));
    if (stored.metaType() == QMetaType::fromType<PropertyList::Entries>()) {
        const auto entries = stored.value<PropertyList::Entries>();
        if (entries.isEmpty()) {
            line(depth, "<dict/>");
            return true;
        }
        line(depth, "<dict>");
        for (const auto &[key, item] : entries) {
            m_keyPath.append(key);
            if (!text("key", key, depth + 1) || !value(item, depth + 1))
                return false;
            m_keyPath.removeLast();
        }
        line(depth, "</dict>");
        return true;
    }
    if (stored.metaType() == QMetaType::fromType<PropertyList::Date>())
        return date(stored.value<PropertyList::Date>().seconds, depth);
    if (stored.metaType() == QMetaType::fromType<PropertyList::Uid>())
        return refuse(QCoreApplication::translate("PropertyList", "an archive reference (UID)"));
    switch (stored.typeId()) {
    case QMetaType::QVariantList: {
        const QVariantList list = stored.toList();
        if (list.isEmpty()) {
            line(depth, "<array/>");
            return true;
        }
        line(depth, "<array>");
        for (const QVariant &item : list) {
            if (!value(item, depth + 1))
                return false;
        }
        line(depth, "</array>");
        return true;
    }
    case QMetaType::Bool:
        line(depth, stored.toBool() ? "<true/>" : "<false/>");
        return true;
    case QMetaType::LongLong:
        line(depth, "<integer>" + QByteArray::number(stored.toLongLong()) + "</integer>");
        return true;
    case QMetaType::ULongLong:
        line(depth, "<integer>" + QByteArray::number(stored.toULongLong()) + "</integer>");
        return true;
    case QMetaType::Double:
        line(depth, "<real>" + realText(stored.toDouble()) + "</real>");
        return true;
    case QMetaType::QByteArray: {
        const QByteArray base64 = stored.toByteArray().toBase64();
        line(depth, "<data>");
        for (qsizetype at = 0; at < base64.size(); at += 76)
            line(depth, base64.mid(at, 76));
        line(depth, "</data>");
        return true;
    }
    default:
        return text("string", stored.toString(), depth);
    }
}
