// SPDX-License-Identifier: GPL-2.0-or-later
// Any file, placeholder and value: a template's file gets what a plain
// left-to-right replacement gives, with the value escaped for XML in
// property-list files, and keeps its encoding as far as the text allows.
#include "fuzz/FuzzCheck.h"
#include "platform/TextFile.h"
#include "templates/PlaceholderSubstitution.h"

using namespace Qt::StringLiterals;

namespace {

// Slow but plainly right: whole matches from the left, and what a value puts
// in is never looked at again.
QString replaced(const QString &text, const QString &placeholder, const QString &value)
{
    if (placeholder.isEmpty())
        return text;
    QString result;
    qsizetype from = 0;
    for (qsizetype at; (at = text.indexOf(placeholder, from)) >= 0; from = at + placeholder.size())
        result += text.sliced(from, at - from) + value;
    return result + text.sliced(from);
}

QString escapedForXml(const QString &value)
{
    QString result;
    for (QChar c : value)
        result += c == u'&' ? u"&amp;"_s : c == u'<' ? u"&lt;"_s : c == u'>' ? u"&gt;"_s : QString(c);
    return result;
}

} // namespace

// The input is the listed file's name, the placeholder and the value, a line
// each, then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzBytes(data, size);
    const qsizetype first = input.indexOf('\n'), second = input.indexOf('\n', first + 1);
    const qsizetype third = second < 0 ? -1 : input.indexOf('\n', second + 1);
    if (first < 0 || second < 0 || third < 0)
        return 0;
    const QString entry = QString::fromUtf8(input.first(first));
    const QString placeholder = QString::fromUtf8(input.sliced(first + 1, second - first - 1));
    const QString value = QString::fromUtf8(input.sliced(second + 1, third - second - 1));
    const QByteArray bytes = input.sliced(third + 1);

    const QString written = PlaceholderSubstitution::valueIn(entry, value);
    const bool plist = entry.endsWith(u".plist"_s, Qt::CaseInsensitive);
    FUZZ_CHECK(written == (plist ? escapedForXml(value) : value), "values are escaped in property lists only");
    const QByteArray result = PlaceholderSubstitution::substitute(bytes, placeholder, written);
    const TextFile::Text before = TextFile::decode(bytes), after = TextFile::decode(result);
    const QString expected = replaced(before.text, placeholder, written);
    FUZZ_CHECK(after.text == expected, "the file reads back with every placeholder replaced");
    if (expected == before.text)
        FUZZ_CHECK(result == bytes, "a file whose text stays the same keeps every byte");
    const QByteArray latin1 = expected.toLatin1();
    const bool fits = QString::fromLatin1(latin1) == expected && TextFile::decode(latin1).text == expected;
    if (before.encoding == TextFile::Encoding::Latin1)
        FUZZ_CHECK(fits ? result == latin1 : after.encoding != TextFile::Encoding::Latin1,
                   "ISO 8859-1 stays while the text reads back from it, else the file becomes UTF-8");
    else if (before.encoding != TextFile::Encoding::Utf8)
        FUZZ_CHECK(after.encoding == before.encoding, "a file marked as Unicode keeps its mark");
    return 0;
}
