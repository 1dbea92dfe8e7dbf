// SPDX-License-Identifier: GPL-2.0-or-later
#include "find/WidgetSearch.h"

#include "editors/ContentView.h"
#include "editors/EntryListModel.h"
#include "platform/AsciiSearch.h"
#include "platform/FileManager.h"
#include "platform/TextFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

// The editor opens files above this size only when asked, as reading one
// takes long enough to hold the window; the search leaves them out.
constexpr qint64 LargestSearchedFile = 32 * 1024 * 1024;
// A line longer than this (a minified script) shows only the stretch
// around its match, which begins this many characters before it.
constexpr qsizetype LongestShownLine = 200;
constexpr qsizetype ShownBeforeMatch = 40;

bool endsLine(QStringView text, qsizetype at)
{
    return text[at] == u'\n' || (text[at] == u'\r' && (at + 1 == text.size() || text[at + 1] != u'\n'));
}

// Whether the bytes from `beyond`, the first that is not ASCII (-1 for
// none), hold "ſ" (U+017F) or the Kelvin sign (U+212A), in UTF-8.
bool holdsFoldingBeyondAscii(QByteArrayView bytes, qsizetype beyond)
{
    if (beyond < 0)
        return false;
    const QByteArrayView rest = bytes.sliced(beyond);
    const auto holds = [rest](QByteArrayView part) {
        return ::memmem(rest.data(), size_t(rest.size()), part.data(), size_t(part.size())) != nullptr;
    };
    return holds("\xc5\xbf") || holds("\xe2\x84\xaa");
}

// Decoded as UTF-16, such bytes hold no ASCII as it stands.
bool markedUtf16(QByteArrayView bytes)
{
    return bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff");
}

// The start of the line `at` is on, when every byte before it and its first
// are ASCII: the file's text up to there is then its bytes, whatever the
// encoding, and what follows decodes as it would in the whole file. 0 when not.
qsizetype asciiLineStart(QByteArrayView bytes, qsizetype at)
{
    if (at <= 0 || AsciiSearch::indexBeyondAscii(bytes.first(at)) >= 0)
        return 0;
    qsizetype start = at;
    while (start > 0 && bytes[start - 1] != '\n' && bytes[start - 1] != '\r')
        --start;
    const bool midLineEnd = start > 0 && start < bytes.size() && bytes[start - 1] == '\r' && bytes[start] == '\n';
    return midLineEnd || start == bytes.size() || bytes[start] < 0 ? 0 : start;
}

// The lines that end in `ascii`, as endsLine counts them.
int lineEndsIn(QByteArrayView ascii)
{
    int lines = 0;
    for (const char *at = ascii.data(), *end = at + ascii.size();
         (at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)))); ++at)
        ++lines;
    if (ascii.contains('\r')) {
        for (qsizetype at = 0; at < ascii.size(); ++at)
            lines += ascii[at] == '\r' && (at + 1 == ascii.size() || ascii[at + 1] != '\n');
    }
    return lines;
}

TextMatch shownMatch(QStringView text, qsizetype start, qsizetype length, int line, qsizetype lineStart)
{
    const bool cut = start - lineStart > LongestShownLine / 2;
    qsizetype from = cut ? start - ShownBeforeMatch : lineStart;
    qsizetype to = from;
    while (to < text.size() && to - from < LongestShownLine && text[to] != u'\n' && text[to] != u'\r')
        ++to;
    const bool cutAtEnd = to - from == LongestShownLine && to < text.size() && text[to] != u'\n' && text[to] != u'\r';
    if (!cut) {
        while (from < start && text[from].isSpace())
            ++from;
    }
    QString shown = text.sliced(from, to - from).toString();
    shown.replace(u'\t', u' ');
    if (cut)
        shown.prepend(u'…');
    if (cutAtEnd)
        shown.append(u'…');
    return {start, length, line, shown, start - from + (cut ? 1 : 0)};
}

// As QString::replace(QRegularExpression, QString) reads its replacement.
QString withCaptures(const QString &replacement, const QRegularExpressionMatch &match)
{
    const int groups = match.regularExpression().captureCount();
    QString result;
    for (qsizetype at = 0; at < replacement.size(); ++at) {
        int group = replacement[at] == u'\\' && at + 1 < replacement.size() ? replacement[at + 1].digitValue() : -1;
        if (group < 1 || group > groups) {
            result.append(replacement[at]);
            continue;
        }
        ++at;
        const int second = at + 1 < replacement.size() ? replacement[at + 1].digitValue() : -1;
        if (second >= 0 && group * 10 + second <= groups) {
            group = group * 10 + second;
            ++at;
        }
        result.append(match.capturedView(group));
    }
    return result;
}

// A walk down the bundle in the file list's order. Each file and folder is
// visited once by its canonical path: a folder link back up the tree would
// otherwise never end, and a file reached twice would be replaced twice.
class BundleWalk
{
public:
    BundleWalk(const QString &bundle, const SearchPattern &pattern, const WidgetSearch::EditedText &editedText,
               const WidgetSearch::FileFound &found, WidgetSearch::Detail detail)
        : m_bundle(bundle)
        , m_pattern(pattern)
        , m_editedText(editedText)
        , m_found(found)
        , m_detail(detail)
    { }

    void enter(const QString &folder)
    {
        const QString path = folder.isEmpty() ? m_bundle : m_bundle + u'/' + folder;
        const QString canonicalFolder = QFileInfo(path).canonicalFilePath();
        if (!firstVisit(canonicalFolder))
            return;
        for (const QString &name : EntryListModel::visibleDirectoryContentsAtPath(path)) {
            if (m_stopped)
                return;
            const QString identifier = folder.isEmpty() ? name : folder + u'/' + name;
            const QString entry = m_bundle + u'/' + identifier;
            const QFileInfo info(entry);
            if (info.isSymLink() && FileManager::leadsOutside(m_bundle, entry))
                continue;
            // A file's real path is its real folder's and its name, unless
            // it is a link: no need to ask the system for each.
            if (info.isDir())
                enter(identifier);
            else if (info.isFile() && ContentView::fileKindForPath(entry, folder.isEmpty()) != ContentView::ImageKind
                     && firstVisit(info.isSymLink() ? info.canonicalFilePath() : canonicalFolder + u'/' + name))
                search(identifier, info);
        }
    }

    WidgetSearch::Results results;

private:
    bool firstVisit(const QString &canonical)
    {
        if (m_visited.contains(canonical))
            return false;
        m_visited.insert(canonical);
        return true;
    }

    // Most files hold no match: their bytes tell so without decoding them.
    // Of the others, only the text from the line of the first possible match
    // on is decoded and searched when what comes before is plain ASCII.
    void search(const QString &identifier, const QFileInfo &info)
    {
        const std::optional<QByteArray> edited = m_editedText(identifier);
        QByteArray bytes = edited.value_or(QByteArray());
        if (!edited
            && (info.size() > LargestSearchedFile
                || !FileManager::readFile(info.filePath(), &bytes, LargestSearchedFile))) {
            results.skipped.append(identifier);
            return;
        }
        const bool binary = bytes.contains('\0');
        if (m_detail == WidgetSearch::Detail::FilesOnly && !binary) {
            if (const auto spans = WidgetSearch::literalMatchesIn(bytes, m_pattern)) {
                if (!spans->isEmpty())
                    results.files.append({identifier, {}, false});
                return;
            }
        }
        const qsizetype first = binary ? 0 : m_pattern.firstPossibleMatch(bytes);
        if (first < 0)
            return;
        const qsizetype skipped = asciiLineStart(bytes, first);
        // An editor's text is UTF-8 whatever its file's encoding, and a mark
        // at its start is a character of it.
        const QString text = edited ? QString::fromUtf8(QByteArrayView(bytes).sliced(skipped))
                                    : TextFile::decode(bytes.sliced(skipped)).text;
        if (text.contains(QChar(0))) {
            results.skipped.append(identifier);
            return;
        }
        FileMatches file{identifier, {}, false};
        file.matches =
            WidgetSearch::matchesIn(text, m_pattern.expression, WidgetSearch::MostMatchesPerFile, &file.more);
        const int linesSkipped = lineEndsIn(QByteArrayView(bytes).first(skipped));
        for (TextMatch &match : file.matches) {
            match.start += skipped;
            match.line += linesSkipped;
        }
        if (file.matches.isEmpty())
            return;
        results.files.append(file);
        m_stopped = m_found && !m_found(file);
    }

    const QString &m_bundle;
    const SearchPattern &m_pattern;
    const WidgetSearch::EditedText &m_editedText;
    const WidgetSearch::FileFound &m_found;
    const WidgetSearch::Detail m_detail;
    bool m_stopped = false;
    QSet<QString> m_visited;
};

} // namespace

qsizetype SearchPattern::firstPossibleMatch(QByteArrayView bytes) const
{
    if (literal.isEmpty() || markedUtf16(bytes))
        return 0;
    const qsizetype found = AsciiSearch(literal).indexIn(bytes);
    // Scripts are mostly ASCII throughout, which is quickly told.
    const qsizetype beyond = foldsBeyondAscii ? AsciiSearch::indexBeyondAscii(bytes) : -1;
    if (beyond < 0 || (found >= 0 && found < beyond))
        return found;
    return holdsFoldingBeyondAscii(bytes, beyond) ? beyond : found;
}

std::optional<QList<TextEditorView::Span>> WidgetSearch::literalMatchesIn(QByteArrayView utf8,
                                                                          const SearchPattern &pattern)
{
    const QByteArrayView literal = pattern.literal;
    if (!pattern.literalOnly || literal.isEmpty() || markedUtf16(utf8)
        || (pattern.foldsBeyondAscii && holdsFoldingBeyondAscii(utf8, AsciiSearch::indexBeyondAscii(utf8))))
        return std::nullopt;
    QList<TextEditorView::Span> spans;
    const AsciiSearch search(literal);
    for (qsizetype at = search.indexIn(utf8); at >= 0;) {
        const bool matches = !pattern.matchCase || utf8.sliced(at, literal.size()) == literal;
        if (matches)
            spans.append({long(at), long(at + literal.size())});
        at = search.indexIn(utf8, matches ? at + literal.size() : at + 1);
    }
    return spans;
}

std::optional<SearchPattern> WidgetSearch::pattern(const SearchQuery &query, QString *error)
{
    if (error)
        error->clear();
    if (query.text.isEmpty())
        return std::nullopt;
    QString pattern = query.regularExpression ? query.text : QRegularExpression::escape(query.text);
    // The typed pattern alone, so that the error's place is the one typed.
    const QRegularExpression typed(pattern);
    if (!typed.isValid()) {
        if (error)
            *error = QCoreApplication::translate("WidgetSearch", "%1, at character %2")
                         .arg(typed.errorString())
                         .arg(typed.patternErrorOffset() + 1);
        return std::nullopt;
    }
    if (query.wholeWords)
        pattern = QStringLiteral("(?<!\\w)(?:%1)(?!\\w)").arg(pattern);
    // Files keep the line ends they came with, "\r\n" and "\r" among them.
    pattern.prepend(QStringLiteral("(*ANYCRLF)"));
    QRegularExpression::PatternOptions options =
        QRegularExpression::MultilineOption | QRegularExpression::UseUnicodePropertiesOption;
    if (!query.matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression expression(pattern, options);
    if (!expression.isValid()) {
        if (error)
            *error = expression.errorString();
        return std::nullopt;
    }
    const QByteArray text = query.text.toUtf8();
    const bool literal = !query.regularExpression && text.size() == query.text.size();
    const QByteArray lower = text.toLower();
    return SearchPattern{expression, literal ? text : QByteArray(), literal && !query.wholeWords, query.matchCase,
                         !query.matchCase && (lower.contains('s') || lower.contains('k'))};
}

WidgetSearch::Results WidgetSearch::find(const QString &bundle, const SearchPattern &pattern,
                                         const EditedText &editedText, const FileFound &found, Detail detail)
{
    BundleWalk walk(bundle, pattern, editedText, found, detail);
    if (!bundle.isEmpty())
        walk.enter(QString());
    return walk.results;
}

QList<TextMatch> WidgetSearch::matchesIn(const QString &text, const QRegularExpression &expression, qsizetype most,
                                         bool *more)
{
    QList<TextMatch> matches;
    if (more)
        *more = false;
    int line = 1;
    qsizetype lineStart = 0, counted = 0;
    for (QRegularExpressionMatchIterator it = expression.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (matches.size() == most) {
            if (more)
                *more = true;
            break;
        }
        const qsizetype start = match.capturedStart();
        for (; counted < start; ++counted) {
            if (endsLine(text, counted)) {
                ++line;
                lineStart = counted + 1;
            }
        }
        matches.append(shownMatch(text, start, match.capturedLength(), line, lineStart));
    }
    return matches;
}

QList<TextEditorView::Replacement> WidgetSearch::replacements(const QString &text, const QRegularExpression &expression,
                                                              const QString &replacement, bool withCaptures)
{
    QList<TextEditorView::Replacement> all;
    for (QRegularExpressionMatchIterator it = expression.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        all.append({match.capturedStart(), match.capturedEnd(),
                    withCaptures ? ::withCaptures(replacement, match) : replacement});
    }
    return all;
}
