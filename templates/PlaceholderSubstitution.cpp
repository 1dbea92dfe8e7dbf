// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/PlaceholderSubstitution.h"

#include "platform/FileManager.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

// Files from this size on are rewritten by streaming instead of in memory.
constexpr qsizetype StreamingThreshold = 1024 * 1024;

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Hands the text with every occurrence of `before` replaced to `sink`, piece
// by piece: left to right, never overlapping, and what `after` brings in is
// not scanned again. Pieces go straight to their destination, so a large file
// is neither copied nor scanned twice.
template <typename Sink>
void replaceAll(const char *data, qsizetype size, const QByteArray &before, const QByteArray &after, Sink sink)
{
    qsizetype start = 0;
    while (start <= size - before.size()) {
        const void *hit = ::memmem(data + start, size_t(size - start), before.constData(), size_t(before.size()));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char *>(hit) - data;
        sink(data + start, at - start);
        sink(after.constData(), after.size());
        start = at + before.size();
    }
    sink(data + start, size - start);
}

// ASCII text means the same bytes in UTF-8 and ISO 8859-1, and never occurs
// inside a UTF-8 sequence: such a placeholder and value can be replaced in
// the bytes themselves, whatever the file's 8-bit encoding. Not an empty
// value: the bytes on either side would meet, and ISO 8859-1 such as "Ã" and
// "©" could meet as valid UTF-8 ("é") or as a byte-order mark.
bool replacesBytes(const char *data, qsizetype size, const QString &placeholder, const QString &value)
{
    const QByteArrayView head(data, std::min<qsizetype>(size, 2));
    return !placeholder.isEmpty() && isAscii(placeholder) && isAscii(value) && !value.isEmpty()
        && head != QByteArrayView("\xFF\xFE") && head != QByteArrayView("\xFE\xFF");
}

} // namespace

QString PlaceholderSubstitution::valueIn(const QString &entry, const QString &value)
{
    if (!entry.endsWith(QLatin1String(".plist"), Qt::CaseInsensitive))
        return value;
    QString escaped = value;
    return escaped.replace(u'&', QLatin1String("&amp;")).replace(u'<', QLatin1String("&lt;")).replace(u'>', QLatin1String("&gt;"));
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
    if (replacesBytes(bytes.constData(), bytes.size(), placeholder, value)) {
        QByteArray result;
        result.reserve(bytes.size());
        replaceAll(bytes.constData(), bytes.size(), placeholder.toLatin1(), value.toLatin1(),
                   [&result](const char *piece, qsizetype length) { result.append(piece, length); });
        return result;
    }
    TextFile::Text text = TextFile::decode(bytes);
    if (!placeholder.isEmpty())
        text.text = text.text.split(placeholder).join(value);
    return TextFile::encode(text);
}

Outcome PlaceholderSubstitution::apply(const QString &widgetPath, const QString &entry,
                                       const QString &placeholder, const QString &value)
{
    return apply(widgetPath, entry, Replacements{{placeholder, value}});
}

Outcome PlaceholderSubstitution::applyToAll(const QString &widgetPath, const QStringList &entries,
                                            const Replacements &replacements)
{
    Outcome first;
    for (const QString &entry : entries) {
        const Outcome applied = apply(widgetPath, entry, replacements);
        if (!applied && first)
            first = applied;
    }
    return first;
}

Outcome PlaceholderSubstitution::apply(const QString &widgetPath, const QString &entry, const Replacements &given)
{
    Replacements replacements = given;
    for (auto &replacement : replacements)
        replacement.second = valueIn(entry, replacement.second);
    // Only regular files are filled in: a folder, a FIFO or a missing entry is skipped.
    const std::optional<QString> path = pathInWidget(widgetPath, entry);
    if (!path || !QFileInfo(*path).isFile())
        return {};
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::failure(entry, file.errorString());
    const qsizetype size = file.size();
    const char *data = size > 0 ? reinterpret_cast<const char *>(file.map(0, size)) : "";
    if (data && replacements.size() == 1 && size >= StreamingThreshold
        && replacesBytes(data, size, replacements.first().first, replacements.first().second)) {
        // A large text streams from the mapped file into the file's
        // replacement without being gathered in memory first.
        const QByteArray before = replacements.first().first.toLatin1();
        const QByteArray after = replacements.first().second.toLatin1();
        return FileManager::writeFileInPieces(*path, [&](const FileManager::PieceSink &sink) {
                   replaceAll(data, size, before, after, sink);
               }).naming(entry);
    }
    QByteArray bytes = data ? QByteArray(data, size) : file.readAll();
    file.close();
    for (const auto &[placeholder, value] : replacements)
        bytes = substitute(bytes, placeholder, value);
    return FileManager::writeFile(*path, bytes).naming(entry);
}
