// SPDX-License-Identifier: GPL-2.0-or-later
// Any bytes as a property list: reading fails cleanly or gives a value; a
// dictionary given a key the way the Info.plist form sets one writes XML that
// reads back the same and writes again byte for byte.
#include "fuzz/FuzzCheck.h"
#include "platform/PropertyList.h"
#include "platform/XmlPropertyListReader.h"
#include "platform/XmlPropertyListWriter.h"

using namespace Qt::StringLiterals;

namespace {

// The numbers the widget's size and access keys are read as, on every value.
void checkNumbers(const QVariant &value)
{
    const qint64 number = PropertyList::intValue(value);
    const bool yes = PropertyList::boolValue(value);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
        FUZZ_CHECK(number == value.toLongLong(), "a whole number's intValue is itself");
        FUZZ_CHECK(yes == (number != 0), "a whole number means yes unless it is 0");
        break;
    case QMetaType::QString:
        FUZZ_CHECK(PropertyList::intValue(QString::number(number)) == number, "a string's intValue reads back");
        break;
    case QMetaType::QVariantList:
        for (const QVariant &item : value.toList())
            checkNumbers(item);
        break;
    case QMetaType::QVariantMap:
        for (const QVariant &item : value.toMap())
            checkNumbers(item);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    std::optional<QVariant> stored = PropertyList::storedValue(bytes);
    const std::optional<QVariant> shown = PropertyList::parse(bytes);
    FUZZ_CHECK(stored.has_value() == shown.has_value(), "parse reads exactly what storedValue reads");
    if (!stored)
        return 0;
    checkNumbers(*shown);
    const bool dictionary = stored->metaType() == QMetaType::fromType<PropertyList::Entries>();
    if (dictionary) {
        auto entries = stored->value<PropertyList::Entries>();
        PropertyList::put(entries, u"Width"_s, u"250"_s);
        stored = QVariant::fromValue(entries);
    }
    QString why;
    const QByteArray document = XmlPropertyListWriter::write(*stored, &why);
    if (document.isEmpty()) {
        FUZZ_CHECK(!why.isEmpty(), "a refused list says why");
        return 0;
    }
    const std::optional<QVariant> back = XmlPropertyListReader::read(document);
    FUZZ_CHECK(back && PropertyList::same(*back, *stored), "the written XML reads back as the same list");
    FUZZ_CHECK(XmlPropertyListWriter::write(*back, &why) == document, "the list read back writes the same bytes");
    if (dictionary)
        FUZZ_CHECK(PropertyList::parse(document)->toMap().value(u"Width"_s) == u"250"_s, "the key set is written");
    return 0;
}
