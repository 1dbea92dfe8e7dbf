// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/TextEditorView.h"

#include <QRegularExpression>

#include <functional>
#include <optional>

/// What Find in Widget looks for, as the panel's field and options say.
struct SearchQuery
{
    QString text;
    bool matchCase = false;
    bool wholeWords = false;
    bool regularExpression = false;
};

/// A query made ready to search with.
struct SearchPattern
{
    QRegularExpression expression;
    /// ASCII bytes that every match holds as they stand in a file of UTF-8
    /// or ISO 8859-1, letter case aside; empty when a match need not.
    QByteArray literal;
    /// Whether the matches are the literal's places and nothing else (no
    /// expression, no whole words), in letter case as typed or in any.
    bool literalOnly = false;
    bool matchCase = false;
    /// Whether a match may hold a character from outside ASCII in place of
    /// one of the literal's letters: "ſ" (U+017F) is an "s" to a search that
    /// ignores case, and the Kelvin sign (U+212A) a "k".
    bool foldsBeyondAscii = false;

    /// The first byte place in a file of these bytes where a match may
    /// start (0 when that cannot be told); -1 when no decoding of them could
    /// hold a match.
    qsizetype firstPossibleMatch(QByteArrayView bytes) const;
};

/// One match in a file's text, with the line it starts on as a list shows it.
struct TextMatch
{
    /// Where the match lies in the file's whole text, in UTF-16 code units.
    qsizetype start = 0;
    qsizetype length = 0;
    /// Counted from 1; "\n", "\r\n" and a lone "\r" each end a line.
    int line = 0;
    /// The line without its leading blanks, or the stretch of a long line
    /// around the match (marked with "…"); tabs shown as spaces.
    QString lineText;
    /// Where the match starts within `lineText`.
    qsizetype column = 0;
};

struct FileMatches
{
    /// The file's path relative to the bundle.
    QString identifier;
    QList<TextMatch> matches;
    /// Whether matches past the most kept were left out.
    bool more = false;
};

/// Searches the text files of a widget bundle: every file below it, in the
/// order the file list shows entries, each once however many links lead to
/// it, never beyond a link that leads outside the widget. Images and files
/// that hold NUL characters are binary and left out.
class WidgetSearch
{
public:
    /// A list of more would not be read; the editor finds the rest.
    static constexpr qsizetype MostMatchesPerFile = 1000;

    /// The text an open editor holds for the file, as UTF-8, when it differs
    /// from the file on disk; nothing sends the search to the disk.
    using EditedText = std::function<std::optional<QByteArray>(const QString &identifier)>;

    struct Results
    {
        QList<FileMatches> files;
        /// Files not searched: binary, unreadable or too large to read.
        QStringList skipped;
    };

    /// The expression the query stands for; nothing for an empty text, and
    /// nothing with the reason in `error` for an invalid regular expression.
    /// `^` and `$` match at every line's ends; with whole words a match has
    /// no letter, digit or underscore on either side.
    static std::optional<SearchPattern> pattern(const SearchQuery &query, QString *error = nullptr);

    /// Hears each file with matches as it is found; false stops the search.
    using FileFound = std::function<bool(const FileMatches &file)>;

    /// How much of each file's matches a search finds.
    enum class Detail { Matches, FilesOnly };

    /// Safe on any thread when `editedText` and `found` are. With FilesOnly
    /// the files listed may hold no match list: only that they hold one.
    static Results find(const QString &bundle, const SearchPattern &pattern, const EditedText &editedText,
                        const FileFound &found = {}, Detail detail = Detail::Matches);

    /// Every match of `pattern` in `utf8`, found in the bytes as they stand;
    /// nothing when telling them needs the decoded text (an expression,
    /// whole words, a character beyond ASCII that folds onto a letter).
    static std::optional<QList<TextEditorView::Span>> literalMatchesIn(QByteArrayView utf8,
                                                                       const SearchPattern &pattern);

    /// The first `most` matches in `text`; `more` tells whether others follow.
    static QList<TextMatch> matchesIn(const QString &text, const QRegularExpression &expression, qsizetype most,
                                      bool *more = nullptr);

    /// Every match in `text` with what takes its place: `replacement` as it
    /// is, or with `withCaptures` as QString::replace takes a regular
    /// expression's: `\1` to `\99` stand for the groups captured, anything
    /// else (`$1`, `\0`) for itself.
    static QList<TextEditorView::Replacement> replacements(const QString &text, const QRegularExpression &expression,
                                                           const QString &replacement, bool withCaptures);
};
