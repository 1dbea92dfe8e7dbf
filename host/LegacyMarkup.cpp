// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/LegacyMarkup.h"

#include "platform/FileManager.h"

#include <QFileInfo>

#include <cctype>

namespace {

const QByteArrayList RawTextElements = {"script", "style", "title", "textarea", "iframe"};

// The engine takes a page given as text through a URL of at most 2 MB, and
// encoding makes the page larger on the way.
constexpr qint64 LargestRepairedPage = 1024 * 1024;

bool isNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == ':' || c == '_';
}

// The raw-text element whose start tag begins at `at`, empty for any other
// tag. `lower` is the page in lower case.
QByteArray rawTextElementAt(const QByteArray &lower, qsizetype at)
{
    for (const QByteArray &name : RawTextElements) {
        const qsizetype after = at + 1 + name.size();
        if (after < lower.size() && lower.sliced(at + 1, name.size()) == name && !isNameCharacter(lower.at(after)))
            return name;
    }
    return {};
}

// The '>' that ends the tag begun at `at`, skipping quoted attribute values;
// -1 when the tag never ends.
qsizetype tagEnd(const QByteArray &html, qsizetype at)
{
    char quote = 0;
    for (qsizetype i = at; i < html.size(); ++i) {
        const char c = html.at(i);
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            return i;
    }
    return -1;
}

// Where scanning goes on after `from`: past the end of what `marker` closes,
// or the page's end when nothing closes it.
qsizetype past(const QByteArray &lower, qsizetype from, const QByteArray &marker)
{
    const qsizetype found = lower.indexOf(marker, from);
    return found < 0 ? lower.size() : found + marker.size();
}

} // namespace

QByteArray LegacyMarkup::closeEmptyTags(const QByteArray &html)
{
    const QByteArray lower = html.toLower();
    QByteArray repaired;
    qsizetype copied = 0;
    qsizetype at = 0;
    while ((at = lower.indexOf('<', at)) >= 0) {
        if (lower.sliced(at).startsWith("<!--")) {
            at = past(lower, at + 4, "-->");
            continue;
        }
        const QByteArray name = rawTextElementAt(lower, at);
        const qsizetype end = name.isEmpty() ? -1 : tagEnd(html, at);
        if (end < 0) {
            ++at;
            continue;
        }
        if (html.at(end - 1) == '/') {
            repaired += html.sliced(copied, end - 1 - copied) + "></" + name + '>';
            copied = at = end + 1;
        } else {
            at = past(lower, end + 1, "</" + name);
        }
    }
    if (copied == 0)
        return html;
    return repaired + html.sliced(copied);
}

std::optional<QByteArray> LegacyMarkup::repairedPage(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"html" && suffix != u"htm")
        return std::nullopt;
    QByteArray html;
    if (!FileManager::readFile(path, &html, LargestRepairedPage))
        return std::nullopt;
    QByteArray repaired = closeEmptyTags(html);
    if (repaired == html)
        return std::nullopt;
    return repaired;
}
