// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "editors/ContentView.h"
#include "platform/TextFile.h"

#include <memory>
#include <optional>
#include <utility>

class QsciLexer;
struct WidgetPart;
namespace Ui {
class TextEditorView;
}

/// A code editor for one text file of the bundle, with highlighting chosen
/// by the file's extension. It writes its file only when the text was edited,
/// in the encoding the file was read in.
class TextEditorView : public ContentView
{
    Q_OBJECT

public:
    explicit TextEditorView(QWidget *parent = nullptr);
    ~TextEditorView() override;

    void setViewIdentifier(const QString &identifier) override;
    QString viewIdentifier() const override;
    void openTheFile() override;
    bool searchString(const QString &text) const override;
    bool findNext(const QString &text, bool forward) override;
    bool isEdited() const override;
    void reload() override;

    /// The editor's whole text, NUL characters included.
    QString text() const;
    /// The same as UTF-8, which the editor holds: no decoding.
    QByteArray utf8() const;
    /// The editor's text as it holds it, line breaks put in included (see
    /// LongLineBreaks); valid until it changes.
    /// Puts `part` into the page at the caret, with the shared scripts it
    /// needs into the page's head, as one edit that one Undo takes back.
    void insertPart(const WidgetPart &part);
    QByteArrayView editorBytes() const;
    /// Whether long lines are shown broken at line breaks put in.
    bool showsLinesBroken() const;
    /// The selected text, for the search's caller and tests.
    QString selectedText() const;
    /// Puts the caret at the start of `line` (counted from 1), in view, and
    /// gives the editor the keyboard.
    void goToLine(int line);

    /// A stretch of `text()`, in UTF-16 code units (`end` left out), and
    /// the text that takes its place.
    struct Replacement
    {
        qsizetype start = 0;
        qsizetype end = 0;
        QString text;
    };
    /// Selects `text()` from `start` to `end` (UTF-16 code units; places
    /// past the end mean the end), in view, and gives the editor the keyboard.
    void selectRange(qsizetype start, qsizetype end);
    /// The stretch of the text from the first replacement to the last, in
    /// bytes, and what it becomes.
    struct Rewrite
    {
        long start = 0;
        long end = 0;
        QByteArray utf8;
        size_t madeOf = 0; // the hash of the text it was made of
    };
    /// What the replacements, in order and none overlapping, make of
    /// `current`, which is `text()`: built apart from the editor, so that
    /// work on many files can stop before any is changed. Nothing when the
    /// text is read-only.
    std::optional<Rewrite> rewrite(const QString &current, const QList<Replacement> &replacements) const;
    /// A stretch of the editor's bytes, `end` left out.
    struct Span
    {
        long start = 0;
        long end = 0;
    };
    /// What putting `replacement` in place of each span, in order and none
    /// overlapping, makes of `editorBytes()`; nothing when the text is
    /// read-only.
    std::optional<Rewrite> rewrite(const QList<Span> &spans, QByteArrayView replacement) const;
    /// Puts in the rewrite as one edit, which one Undo takes back; the
    /// caret keeps its place around it. False, with nothing changed, when
    /// the text is no longer the one the rewrite was made of.
    bool apply(const Rewrite &rewrite);

protected:
    Outcome writeEdits() override;

private:
    void fitColoursToPalette();
    /// Gives a script's or a page's editor the names to complete.
    void offerCompletions();
    void chooseLexer();
    void applyFont();
    /// Makes the line number margin wide enough for the last line's number.
    void fitLineNumbers();
    size_t textHash() const;
    /// Shows the text's lines broken, with a notice, when they are too long to
    /// type in.
    void breakLongLines();
    /// The editor's line, from 0, where the text's line `line` (from 1) starts.
    int shownLine(int line) const;
    /// The byte places of the first match of `needle`, letter case aside,
    /// from `from` to `to` (backwards when `to` lies before `from`); none
    /// when there is none. Finds without selecting.
    std::optional<std::pair<long, long>> findMatch(const QString &needle, long from, long to) const;
    bool selectMatch(const QString &needle, long from, long to);
    void selectBytes(long start, long end);
    /// The byte place `units` UTF-16 code units on from the byte place `from`.
    long bytesOn(long from, qsizetype units) const;
    /// Replaces the editor's text with the file's, as unedited; false, and
    /// empty, when it could not be read.
    bool load();
    /// Appends the file's text to the editor; false (with a notice) when it
    /// could not be read, or is too large to read unasked.
    bool readFile();

    std::unique_ptr<Ui::TextEditorView> ui;
    std::unique_ptr<QsciLexer> m_lexer;
    // Set once the user chose to open a file above the size asked about.
    bool m_largeFileAllowed = false;
    // How the file was encoded, so a save writes it back the same way.
    TextFile::Encoding m_encoding = TextFile::Encoding::Utf8;
};
