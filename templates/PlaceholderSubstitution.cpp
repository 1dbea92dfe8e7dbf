// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/PlaceholderSubstitution.h"

#include "platform/BinaryPropertyListReader.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

qsizetype find(QByteArrayView text, QByteArrayView what, qsizetype from)
{
    if (from > text.size() - what.size())
        return -1;
    const void *hit = ::memmem(text.data() + from, size_t(text.size() - from), what.data(), size_t(what.size()));
    return hit ? static_cast<const char *>(hit) - text.data() : -1;
}

qsizetype find(QStringView text, QStringView what, qsizetype from)
{
    return text.indexOf(what, from);
}

// Hands the text with every placeholder replaced by its value to `sink`,
// piece by piece, in a single scan whatever the number of placeholders: a
// date's twenty-two would otherwise each read the whole file. Matches are
// taken from the left and never overlap, the first listed winning where
// several start at one place; what a value brings in is not scanned again,
// so a value next to the text around it can never be read as a placeholder.
// Pieces go straight to their destination, so a large file is not copied.
template <typename View, typename Pairs, typename Sink> void replaceAll(View text, const Pairs &replacements, Sink sink)
{
    if (replacements.isEmpty())
        return sink(text);
    // Placeholders of one variable share a long stem ("Template_Day_"): a
    // search for it finds every candidate, and most places are passed fast.
    View stem = replacements.first().first;
    for (const auto &replacement : replacements) {
        const View placeholder = replacement.first;
        const qsizetype shared = std::min(stem.size(), placeholder.size());
        stem = stem.first(std::mismatch(stem.begin(), stem.begin() + shared, placeholder.begin()).first - stem.begin());
    }
    qsizetype start = 0;
    for (qsizetype at = find(text, stem, 0); at >= 0;) {
        const View rest = text.sliced(at);
        const auto hit = std::find_if(replacements.cbegin(), replacements.cend(), [rest](const auto &replacement) {
            return rest.startsWith(View(replacement.first));
        });
        if (hit == replacements.cend()) {
            at = find(text, stem, at + 1);
            continue;
        }
        sink(text.sliced(start, at - start));
        sink(View(hit->second));
        start = at + hit->first.size();
        at = find(text, stem, start);
    }
    sink(text.sliced(start));
}

// ASCII text means the same bytes in UTF-8 and ISO 8859-1, and never occurs
// inside a UTF-8 sequence: such placeholders and values can be replaced in
// the bytes themselves, whatever the file's 8-bit encoding. Not an empty
// value: the bytes on either side would meet, and ISO 8859-1 such as "Ã" and
// "©" could meet as valid UTF-8 ("é") or as a byte-order mark.
bool replacesBytes(QByteArrayView bytes, const PlaceholderSubstitution::Replacements &replacements)
{
    const QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 2));
    return std::all_of(replacements.cbegin(), replacements.cend(),
                       [](const auto &replacement) {
                           return isAscii(replacement.first) && isAscii(replacement.second)
                               && !replacement.second.isEmpty();
                       })
        && head != QByteArrayView("\xFF\xFE") && head != QByteArrayView("\xFE\xFF");
}

// The placeholders and values as the bytes a file `replacesBytes` accepted holds them in.
QList<std::pair<QByteArray, QByteArray>> inBytes(const PlaceholderSubstitution::Replacements &replacements)
{
    QList<std::pair<QByteArray, QByteArray>> pairs;
    for (const auto &[placeholder, value] : replacements)
        pairs.append({placeholder.toLatin1(), value.toLatin1()});
    return pairs;
}

// An empty placeholder occurs nowhere.
PlaceholderSubstitution::Replacements withoutEmpty(PlaceholderSubstitution::Replacements replacements)
{
    replacements.removeIf([](const auto &replacement) { return replacement.first.isEmpty(); });
    return replacements;
}

QByteArray substituted(const QByteArray &bytes, const PlaceholderSubstitution::Replacements &replacements)
{
    QByteArray result;
    if (replacesBytes(bytes, replacements)) {
        result.reserve(bytes.size());
        replaceAll(QByteArrayView(bytes), inBytes(replacements),
                   [&result](QByteArrayView piece) { result.append(piece); });
        return result;
    }
    TextFile::Text text = TextFile::decode(bytes);
    QString replaced;
    replaced.reserve(text.text.size());
    replaceAll(QStringView(text.text), replacements, [&replaced](QStringView piece) { replaced.append(piece); });
    text.text = replaced;
    return TextFile::encode(text);
}

// Every string of a stored property list, keys too, filled in.
QVariant filledIn(const QVariant &stored, const PlaceholderSubstitution::Replacements &replacements)
{
    const auto text = [&replacements](const QString &string) {
        return QString::fromUtf8(substituted(string.toUtf8(), replacements));
    };
    if (stored.metaType() == QMetaType::fromType<PropertyList::Entries>()) {
        auto entries = stored.value<PropertyList::Entries>();
        for (auto &[key, value] : entries)
            std::tie(key, value) = std::pair(text(key), filledIn(value, replacements));
        return QVariant::fromValue(entries);
    }
    if (stored.typeId() == QMetaType::QVariantList) {
        QVariantList list = stored.toList();
        for (QVariant &item : list)
            item = filledIn(item, replacements);
        return list;
    }
    return stored.typeId() == QMetaType::QString ? QVariant(text(stored.toString())) : stored;
}

// A binary property list's offsets would no longer match once a value of
// another length took a placeholder's place: its strings are filled in one
// by one, and it is written back as XML, which every reader takes. One
// that cannot be read is left as it is, and said to be.
Outcome fillInBinaryList(const QString &path, QByteArrayView bytes,
                         const PlaceholderSubstitution::Replacements &replacements)
{
    const std::optional<QVariant> stored = PropertyList::storedValue(bytes.toByteArray());
    if (!stored)
        return Outcome::failure(
            path,
            QCoreApplication::translate(
                "PlaceholderSubstitution",
                "It is a binary property list that cannot be read; its placeholders were left as they are"));
    const QVariant filled = filledIn(*stored, replacements);
    return PropertyList::same(filled, *stored) ? Outcome() : PropertyList::writeStoredXml(path, filled);
}

// Writes the file `text` was read from with every replacement made.
Outcome rewrite(const QString &path, QByteArrayView text, const PlaceholderSubstitution::Replacements &replacements,
                FileManager::Writing writing)
{
    // The file belongs to a widget being made from its template's copy, so
    // no flush is forced: it would only slow the making of a large widget.
    if (replacesBytes(text, replacements)) {
        const auto pairs = inBytes(replacements);
        return FileManager::writeFileInPieces(
            path,
            [&](const FileManager::PieceSink &sink) {
                replaceAll(text, pairs, [&sink](QByteArrayView piece) { sink(piece.data(), piece.size()); });
            },
            writing);
    }
    const QByteArray bytes = substituted(QByteArray::fromRawData(text.data(), text.size()), replacements);
    return FileManager::writeFileInPieces(
        path, [&bytes](const FileManager::PieceSink &sink) { sink(bytes.constData(), bytes.size()); }, writing);
}

} // namespace

QString PlaceholderSubstitution::valueIn(const QString &entry, const QString &value)
{
    if (!entry.endsWith(QLatin1String(".plist"), Qt::CaseInsensitive))
        return value;
    QString escaped = value;
    return escaped.replace(u'&', QLatin1String("&amp;"))
        .replace(u'<', QLatin1String("&lt;"))
        .replace(u'>', QLatin1String("&gt;"));
}

QString PlaceholderSubstitution::placeholderFor(const QString &name)
{
    return QStringLiteral("Template_") + name;
}

std::optional<QString> PlaceholderSubstitution::pathInWidget(const QString &widgetPath, const QString &entry)
{
    return FileManager::pathInside(widgetPath, entry);
}

QByteArray PlaceholderSubstitution::substitute(const QByteArray &bytes, const QString &placeholder,
                                               const QString &value)
{
    return substituted(bytes, withoutEmpty({{placeholder, value}}));
}

Outcome PlaceholderSubstitution::apply(const QString &widgetPath, const QString &entry, const QString &placeholder,
                                       const QString &value, Writing writing)
{
    return apply(widgetPath, entry, Replacements{{placeholder, value}}, writing);
}

Outcome PlaceholderSubstitution::applyToAll(const QString &widgetPath, const QStringList &entries,
                                            const Replacements &replacements, Writing writing)
{
    Outcome first;
    for (const QString &entry : entries) {
        const Outcome applied = apply(widgetPath, entry, replacements, writing);
        if (!applied && first)
            first = applied;
    }
    return first;
}

Outcome PlaceholderSubstitution::apply(const QString &widgetPath, const QString &entry, const Replacements &given,
                                       Writing writing)
{
    Replacements replacements = withoutEmpty(given);
    for (auto &replacement : replacements)
        replacement.second = valueIn(entry, replacement.second);
    // Only regular files are filled in: a folder, a FIFO or a missing entry is skipped.
    const std::optional<QString> path = pathInWidget(widgetPath, entry);
    if (!path || !QFileInfo(*path).isFile())
        return {};
    // A file written over where it stands cannot stream from a map of
    // itself: it is read whole first. Where it is replaced, the map saves
    // gathering a large file in memory.
    QFile file(*path);
    const qsizetype size = writing == Writing::Replacing && file.open(QIODevice::ReadOnly) ? file.size() : -1;
    const char *mapped = size > 0 ? reinterpret_cast<const char *>(file.map(0, size)) : size == 0 ? "" : nullptr;
    QByteArray bytes;
    if (!mapped) {
        if (const Outcome read = FileManager::readFile(*path, &bytes); !read)
            return read.naming(entry);
    }
    const QByteArrayView text = mapped ? QByteArrayView(mapped, size) : QByteArrayView(bytes);
    if (BinaryPropertyListReader::recognizes(QByteArray::fromRawData(text.data(), text.size())))
        return fillInBinaryList(*path, text, withoutEmpty(given)).naming(entry);
    return rewrite(*path, text, replacements, writing).naming(entry);
}
