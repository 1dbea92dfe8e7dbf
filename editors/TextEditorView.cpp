// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/TextEditorView.h"

#include "editors/EditorAccessibility.h"
#include "editors/LongLineBreaks.h"

#include "ui_TextEditorView.h"

#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerxml.h>

#include "editors/NoticeBar.h"
#include "editors/ScriptCompletions.h"
#include "editors/WidgetPart.h"
#include "platform/AsciiSearch.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cstring>

#include <QFileInfo>
#include <QFontDatabase>
#include <QShortcut>

namespace {

constexpr int TabWidth = 4;
constexpr int CompletionThreshold = 3;
// Above this a file is read only when the user asks: reading and laying
// out such a file takes seconds and many times its size in memory.
constexpr qint64 LargeFileBytes = 32 * 1024 * 1024;
constexpr qint64 RoomToSpare = 4096;
// The line number margin is never narrower, so that it stays put while a
// short file grows.
constexpr qsizetype FewestLineNumberDigits = 4;

QFont editorFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(Settings::shared().editorFontSize());
    return font;
}

std::unique_ptr<QsciLexer> lexerForExtension(const QString &extension)
{
    const QString ext = extension.toLower();
    if (ext == u"html" || ext == u"htm" || ext == u"xhtml")
        return std::make_unique<QsciLexerHTML>();
    if (ext == u"css")
        return std::make_unique<QsciLexerCSS>();
    if (ext == u"js" || ext == u"json")
        return std::make_unique<QsciLexerJavaScript>();
    if (ext == u"plist" || ext == u"xml" || ext == u"svg" || ext == u"xsl")
        return std::make_unique<QsciLexerXML>();
    return nullptr;
}

// Most files hold no carriage return, which memchr tells in one pass; Qt's
// search of two bytes is many times slower.
QsciScintilla::EolMode eolModeOf(QByteArrayView text)
{
    if (!text.contains('\r'))
        return QsciScintilla::EolUnix;
    return text.contains("\r\n") ? QsciScintilla::EolWindows : QsciScintilla::EolMac;
}

} // namespace

TextEditorView::TextEditorView(QWidget *parent)
    : ContentView(parent)
    , ui(std::make_unique<Ui::TextEditorView>())
{
    ui->setupUi(this);
    EditorAccessibility::install();
    QsciScintilla *editor = ui->textView;
    editor->setUtf8(true);
    // QScintilla's handler of each change counts the characters from the
    // start of the text up to it, and copies the change for its listeners,
    // once as UTF-16: nothing here listens.
    editor->SendScintilla(QsciScintilla::SCI_SETMODEVENTMASK, 0UL);
    // What lies beyond the window is coloured while the user pauses, so
    // that a jump far down seldom waits for it.
    editor->SendScintilla(QsciScintilla::SCI_SETIDLESTYLING,
                          static_cast<unsigned long>(QsciScintilla::SC_IDLESTYLING_ALL));
    editor->setMarginLineNumbers(0, true);
    editor->setMarginsBackgroundColor(palette().color(QPalette::Window));
    editor->setMarginsForegroundColor(palette().color(QPalette::PlaceholderText));
    editor->setTabWidth(TabWidth);
    editor->setAutoIndent(true);
    editor->setBraceMatching(QsciScintilla::SloppyBraceMatch);
    editor->setCaretLineVisible(true);
    editor->setCaretLineBackgroundColor(palette().color(QPalette::AlternateBase));
    // Names are offered once three letters are typed, or at Ctrl+Space.
    editor->setAutoCompletionSource(QsciScintilla::AcsAll);
    editor->setAutoCompletionThreshold(CompletionThreshold);
    auto *complete =
        new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space), editor, nullptr, nullptr, Qt::WidgetShortcut);
    connect(complete, &QShortcut::activated, editor, &QsciScintilla::autoCompleteFromAll);
    setFocusProxy(editor);
    applyFont();
    connect(&Settings::shared(), &Settings::editorFontSizeChanged, this, &TextEditorView::applyFont);
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & QsciScintilla::SC_UPDATE_CONTENT)
            fitLineNumbers();
    });
}

void TextEditorView::applyFont()
{
    const QFont font = editorFont();
    QsciScintilla *editor = ui->textView;
    editor->setFont(font);
    editor->setMarginsFont(font);
    fitLineNumbers();
    if (m_lexer) {
        m_lexer->setDefaultFont(font);
        m_lexer->setFont(font, -1);
    }
}

// One digit more than the numbers have: Scintilla keeps a few pixels free
// right of them, which would cut off their first digit.
void TextEditorView::fitLineNumbers()
{
    const qsizetype digits = QString::number(ui->textView->lines()).size();
    ui->textView->setMarginWidth(0, QString(std::max(digits, FewestLineNumberDigits) + 1, u'0'));
}

TextEditorView::~TextEditorView()
{
    // The editor refers to the lexer until it goes.
    ui->textView->setLexer(nullptr);
    ScriptCompletions::detach(m_lexer.get());
}

void TextEditorView::setViewIdentifier(const QString &identifier)
{
    ui->identifierField->setText(identifier);
    chooseLexer();
}

QString TextEditorView::viewIdentifier() const
{
    return ui->identifierField->text();
}

void TextEditorView::chooseLexer()
{
    ui->textView->setLexer(nullptr);
    // Colouring the end of such a file means colouring all of it first:
    // over a second for 50 MB, at Ctrl+End and after each edit near the top.
    ScriptCompletions::detach(m_lexer.get());
    m_lexer = m_largeFileAllowed ? nullptr : lexerForExtension(QFileInfo(viewIdentifier()).suffix());
    applyFont();
    fitColoursToPalette();
    ui->textView->setLexer(m_lexer.get());
    if (!bundlePath().isEmpty())
        offerCompletions();
}

void TextEditorView::insertPart(const WidgetPart &part)
{
    CodeEditor *editor = ui->textView;
    const auto caret = qsizetype(editor->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS));
    const WidgetPart::Insertion insertion = part.insertionInto(editorBytes().toByteArray(), caret);
    editor->beginUndoAction();
    // The later place first, so that the earlier one's offset holds.
    editor->SendScintilla(QsciScintilla::SCI_INSERTTEXT, static_cast<unsigned long>(insertion.markupAt),
                          insertion.markup.constData());
    editor->SendScintilla(QsciScintilla::SCI_INSERTTEXT, static_cast<unsigned long>(insertion.headAt),
                          insertion.head.constData());
    editor->SendScintilla(
        QsciScintilla::SCI_GOTOPOS,
        static_cast<unsigned long>(insertion.markupAt + insertion.head.size() + insertion.markup.size()));
    editor->endUndoAction();
    editor->setFocus();
}

// Scripts are written in script files and in pages; the widget's own names
// are read again with the file, as other files may have changed meanwhile.
void TextEditorView::offerCompletions()
{
    if (m_lexer && (qobject_cast<QsciLexerJavaScript *>(m_lexer.get()) || qobject_cast<QsciLexerHTML *>(m_lexer.get())))
        ScriptCompletions::attach(m_lexer.get(), bundlePath());
}

// The lexers' colours are made for dark text on white. On a dark palette
// each colour keeps its hue with its lightness turned over, so that dark
// blue keywords become light blue ones, and the paper is the palette's.
void TextEditorView::fitColoursToPalette()
{
    if (!m_lexer)
        return;
    const QColor paper = palette().color(QPalette::Base);
    m_lexer->setPaper(paper, -1);
    m_lexer->setDefaultPaper(paper);
    if (paper.lightness() >= 128)
        return;
    constexpr int StyleCount = 128;
    for (int style = 0; style < StyleCount; ++style) {
        const QColor colour = m_lexer->color(style).toHsl();
        if (colour.lightness() < 128)
            m_lexer->setColor(QColor::fromHsl(colour.hslHue(), colour.hslSaturation(), 255 - colour.lightness()),
                              style);
    }
}

void TextEditorView::openTheFile()
{
    notice()->hide();
    // Scintilla refuses even the program's own changes to a read-only text.
    ui->textView->setReadOnly(false);
    const bool loaded = load();
    const bool outside = loaded && leadsOutside();
    if (outside)
        showLeadsOutside();
    ui->textView->setReadOnly(!loaded || outside);
    rememberFileOnDisk();
    offerCompletions();
}

// While a file is read in, Scintilla keeps no undo of it.
bool TextEditorView::load()
{
    CodeEditor *editor = ui->textView;
    editor->SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 0UL);
    editor->SendScintilla(QsciScintilla::SCI_CLEARALL);
    const bool loaded = readFile();
    // What could not be read is shown empty and can never be written.
    if (!loaded)
        editor->SendScintilla(QsciScintilla::SCI_CLEARALL);
    editor->setEolMode(eolModeOf(editorBytes()));
    breakLongLines();
    editor->SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 1UL);
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0UL);
    editor->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
    editor->setModified(false);
    // Scintilla told of no lines while reading.
    fitLineNumbers();
    return loaded;
}

void TextEditorView::breakLongLines()
{
    CodeEditor *editor = ui->textView;
    const QByteArrayView text = editorBytes();
    editor->setShowsLinesBroken(LongLineBreaks::needed(text));
    if (!editor->showsLinesBroken())
        return;
    const QByteArray broken = LongLineBreaks::broken(text);
    editor->SendScintilla(QsciScintilla::SCI_CLEARALL);
    editor->SendScintilla(QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(broken.size()), broken.constData());
    notice()->showNotice(tr("“%1” has lines too long to type in quickly. They are shown broken into shorter lines; "
                            "the file keeps them whole.")
                             .arg(viewIdentifier()),
                         {tr("OK")});
}

QByteArrayView TextEditorView::editorBytes() const
{
    QsciScintilla *editor = ui->textView;
    const auto *bytes = reinterpret_cast<const char *>(editor->SendScintilla(QsciScintilla::SCI_GETCHARACTERPOINTER));
    return {bytes, bytes ? qsizetype(editor->SendScintilla(QsciScintilla::SCI_GETLENGTH)) : 0};
}

// Scintilla counts in UTF-8 bytes and stops at NUL in its plain text calls,
// so the text goes in by explicit byte lengths, a UTF-8 file's as read.
bool TextEditorView::readFile()
{
    const QString path = fullPath();
    const qint64 size = QFileInfo(path).size();
    if (size > LargeFileBytes && !m_largeFileAllowed) {
        notice()->showNotice(tr("“%1” is %2. Opening it can take a while and much memory, and it is shown "
                                "without colours.")
                                 .arg(viewIdentifier(), locale().formattedDataSize(size)),
                             {tr("Open Anyway")}, [this](int) {
                                 m_largeFileAllowed = true;
                                 chooseLexer();
                                 openTheFile();
                             });
        return false;
    }
    QsciScintilla *editor = ui->textView;
    // Room for the whole text at once: grown piece by piece, Scintilla's
    // buffers would be copied over and over, old and new held together. It
    // grows a buffer that would be full, also by the end mark it puts behind
    // the text when handing out the characters, so some more room is left.
    editor->SendScintilla(QsciScintilla::SCI_ALLOCATE,
                          static_cast<unsigned long>(std::max<qint64>(size, 0) + RoomToSpare));
    TextFile::Encoding encoding = m_encoding;
    const Outcome read = TextFile::readUtf8(
        path,
        [editor](QByteArrayView utf8, bool startsOver) {
            if (startsOver)
                editor->SendScintilla(QsciScintilla::SCI_CLEARALL);
            editor->SendScintilla(QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
        },
        &encoding);
    if (!read) {
        showUnreadable(read);
        return false;
    }
    m_encoding = encoding;
    return true;
}

// The user keeps their place in a file read again.
void TextEditorView::reload()
{
    QsciScintilla *editor = ui->textView;
    const long caret = editor->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    const int firstLine = editor->firstVisibleLine();
    openTheFile();
    // Scintilla keeps a position past the new end at the end.
    editor->SendScintilla(QsciScintilla::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret));
    editor->setFirstVisibleLine(firstLine);
}

Outcome TextEditorView::writeEdits()
{
    if (!isEdited())
        return {};
    const TextFile::Text file{text(), m_encoding};
    const Outcome written = TextFile::write(fullPath(), file);
    if (!written)
        return written.naming(viewIdentifier());
    m_encoding = TextFile::encodingFor(file);
    ui->textView->setModified(false);
    rememberFileOnDisk();
    notice()->hide();
    return written;
}

bool TextEditorView::isEdited() const
{
    return ui->textView->isModified();
}

// Runs for every open file on each pause in typing, so it reads Scintilla's
// buffer in place. An ASCII needle is found by a search many times faster
// than Scintilla's own; others take Scintilla's, which folds the case of any
// character.
bool TextEditorView::searchString(const QString &needle) const
{
    const QByteArrayView text = editorBytes();
    const QByteArray bytes = needle.toUtf8();
    if (bytes.size() != needle.size())
        return findMatch(needle, 0, long(text.size())).has_value();
    return !bytes.isEmpty() && AsciiSearch(bytes).indexIn(text) >= 0;
}

// Case is ignored, as the search field's first match ignores it. Backwards,
// a match that ends where the selection starts, at the latest.
bool TextEditorView::findNext(const QString &needle, bool forward)
{
    if (needle.isEmpty())
        return false;
    QsciScintilla *editor = ui->textView;
    const long end = editor->SendScintilla(QsciScintilla::SCI_GETLENGTH);
    if (forward)
        return selectMatch(needle, editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONEND), end)
            || selectMatch(needle, 0, end);
    return selectMatch(needle, editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), 0)
        || selectMatch(needle, end, 0);
}

// Scintilla searches its own buffer, without a copy of the text: from `from`
// to `to` in bytes, backwards when `to` lies before `from`.
std::optional<std::pair<long, long>> TextEditorView::findMatch(const QString &needle, long from, long to) const
{
    const QsciScintilla *editor = ui->textView;
    const QByteArray bytes = needle.toUtf8();
    editor->SendScintilla(QsciScintilla::SCI_SETSEARCHFLAGS, 0UL);
    editor->SendScintilla(QsciScintilla::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
    editor->SendScintilla(QsciScintilla::SCI_SETTARGETEND, static_cast<unsigned long>(to));
    const long start = editor->SendScintilla(QsciScintilla::SCI_SEARCHINTARGET,
                                             static_cast<unsigned long>(bytes.size()), bytes.constData());
    if (start < 0)
        return std::nullopt;
    return std::pair(start, editor->SendScintilla(QsciScintilla::SCI_GETTARGETEND));
}

bool TextEditorView::selectMatch(const QString &needle, long from, long to)
{
    const std::optional<std::pair<long, long>> match = findMatch(needle, from, to);
    if (match)
        selectBytes(match->first, match->second);
    return match.has_value();
}

void TextEditorView::selectBytes(long start, long end)
{
    ui->textView->SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(start), end);
    ui->textView->SendScintilla(QsciScintilla::SCI_SCROLLRANGE, static_cast<unsigned long>(end), start);
}

QString TextEditorView::text() const
{
    return QString::fromUtf8(ui->textView->showsLinesBroken() ? utf8() : editorBytes());
}

QByteArray TextEditorView::utf8() const
{
    return ui->textView->showsLinesBroken() ? LongLineBreaks::whole(editorBytes()) : editorBytes().toByteArray();
}

void TextEditorView::goToLine(int line)
{
    const int shown = shownLine(std::max(line, 1));
    ui->textView->setCursorPosition(shown, 0);
    ui->textView->ensureLineVisible(shown);
    ui->textView->setFocus();
}

// Lines broken for showing are found by the line feeds before them.
int TextEditorView::shownLine(int line) const
{
    if (!ui->textView->showsLinesBroken())
        return line - 1;
    const QByteArrayView text = editorBytes();
    const char *at = text.data();
    const char *end = at + text.size();
    for (int feeds = line - 1; feeds > 0 && at < end; --feeds) {
        const auto *feed = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
        at = feed ? feed + 1 : end;
    }
    return int(
        ui->textView->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(at - text.data())));
}

// Scintilla counts UTF-16 code units on from a place, and answers 0 for a
// place past the end. The line breaks put in are not the text's, so each
// one passed adds a unit more to go.
long TextEditorView::bytesOn(long from, qsizetype units) const
{
    QsciScintilla *editor = ui->textView;
    const auto unitsOn = [editor](long from, qsizetype units) {
        const long at = editor->SendScintilla(QsciScintilla::SCI_POSITIONRELATIVECODEUNITS,
                                              static_cast<unsigned long>(from), long(units));
        return units > 0 && at <= from ? editor->SendScintilla(QsciScintilla::SCI_GETLENGTH) : at;
    };
    long at = unitsOn(from, units);
    if (!ui->textView->showsLinesBroken())
        return at;
    const QByteArrayView text = editorBytes();
    for (auto passed = std::count(text.begin() + from, text.begin() + at, '\r'); passed > 0;) {
        const long next = unitsOn(at, passed);
        passed = std::count(text.begin() + at, text.begin() + next, '\r');
        at = next;
    }
    return at;
}

void TextEditorView::selectRange(qsizetype start, qsizetype end)
{
    const long from = bytesOn(0, start);
    selectBytes(from, bytesOn(from, end - start));
    ui->textView->setFocus();
}

// The stretch from the first replacement to the last is built anew in one
// pass and put in as one edit: one change per match cost Scintilla a move
// of its text each, and Undo a step each.
std::optional<TextEditorView::Rewrite> TextEditorView::rewrite(const QString &current,
                                                               const QList<Replacement> &replacements) const
{
    if (ui->textView->isReadOnly())
        return std::nullopt;
    if (replacements.isEmpty())
        return Rewrite{0, 0, {}, textHash()};
    const qsizetype first = replacements.first().start;
    QString stretch;
    stretch.reserve(replacements.last().end - first);
    qsizetype at = first;
    for (const Replacement &replacement : replacements) {
        stretch += QStringView(current).sliced(at, replacement.start - at);
        stretch += replacement.text;
        at = replacement.end;
    }
    const long start = bytesOn(0, first);
    const QByteArray utf8 = stretch.toUtf8();
    return Rewrite{start, bytesOn(start, at - first),
                   ui->textView->showsLinesBroken() ? LongLineBreaks::broken(utf8) : utf8, textHash()};
}

std::optional<TextEditorView::Rewrite> TextEditorView::rewrite(const QList<Span> &spans,
                                                               QByteArrayView replacement) const
{
    if (ui->textView->isReadOnly())
        return std::nullopt;
    if (spans.isEmpty())
        return Rewrite{0, 0, {}, textHash()};
    const QByteArrayView text = editorBytes();
    QByteArray stretch;
    stretch.reserve(spans.last().end - spans.first().start + spans.size() * replacement.size());
    long at = spans.first().start;
    for (const Span &span : spans) {
        stretch.append(text.sliced(at, span.start - at)).append(replacement);
        at = span.end;
    }
    return Rewrite{spans.first().start, at, stretch, textHash()};
}

bool TextEditorView::showsLinesBroken() const
{
    return ui->textView->showsLinesBroken();
}

size_t TextEditorView::textHash() const
{
    return qHash(editorBytes());
}

bool TextEditorView::apply(const Rewrite &rewrite)
{
    QsciScintilla *editor = ui->textView;
    if (editor->isReadOnly() || textHash() != rewrite.madeOf)
        return false;
    if (rewrite.start == rewrite.end && rewrite.utf8.isEmpty())
        return true;
    const long caret = editor->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS);
    const int firstLine = editor->firstVisibleLine();
    editor->beginUndoAction();
    editor->SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, static_cast<unsigned long>(rewrite.start), rewrite.end);
    editor->SendScintilla(QsciScintilla::SCI_REPLACETARGET, static_cast<unsigned long>(rewrite.utf8.size()),
                          rewrite.utf8.constData());
    editor->endUndoAction();
    const long grown = long(rewrite.utf8.size()) - (rewrite.end - rewrite.start);
    const long moved = caret <= rewrite.start ? caret : caret >= rewrite.end ? caret + grown : rewrite.start;
    editor->SendScintilla(QsciScintilla::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(moved));
    editor->setFirstVisibleLine(firstLine);
    return true;
}

QString TextEditorView::selectedText() const
{
    const QString selected = ui->textView->selectedText();
    return ui->textView->showsLinesBroken() ? QString(selected).remove(u'\r') : selected;
}
