// SPDX-License-Identifier: GPL-2.0-or-later
// The content views that edit one file each: text, image and the Info.plist form.
#include "editors/ColumnBrowser.h"
#include "editors/EntryListModel.h"
#include "editors/ImageCanvas.h"
#include "editors/ImageView.h"
#include "editors/InfoPlistForm.h"
#include "editors/NoticeBar.h"
#include "editors/TextEditorView.h"
#include "platform/PropertyList.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>

#include <sys/stat.h>


namespace {

QByteArray encodedImage(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Pastes a 20×10 image onto the view, as the user replaces one.
void replace(ImageView *view)
{
    QImage replacement(20, 10, QImage::Format_RGB32);
    replacement.fill(Qt::blue);
    QApplication::clipboard()->setImage(replacement);
    QMetaObject::invokeMethod(view->findChild<ImageCanvas *>(), "paste");
}

const QByteArray Sample = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>Zebra</key>
	<real>2.5</real>
	<key>AllowJava</key>
	<false/>
	<key>AllowNetworkAccess</key>
	<true/>
	<key>Width</key>
	<integer>300</integer>
	<key>CloseBoxInsetX</key>
	<integer>4</integer>
	<key>Fonts</key>
	<array><string>One.ttf</string><string>Two,Three.otf</string></array>
	<key>DefaultImage</key>
	<string>Default</string>
	<key>When</key>
	<date>2020-05-17T12:30:00Z</date>
	<key>CFBundleVersion</key>
	<string>1.0</string>
</dict>
</plist>
)";

QVariantMap mapOf(const QString &path)
{
    return PropertyList::read(path).value_or(QVariant()).toMap();
}

} // namespace

class tst_ContentViews : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<DocumentFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void writesOnlyEditsInTheFilesEncoding_data();
    void writesOnlyEditsInTheFilesEncoding();
    void filesNotReadUnasked_data();
    void filesNotReadUnasked();
    void findNextGoesRound_data();
    void findNextGoesRound();
    void lineNumbersFitTheLastLine();
    void rewriteTakesOnlyItsOwnText();
    void completesWhatWidgetsUse_data();
    void completesWhatWidgetsUse();
    void longLinesShownBrokenKeptWhole_data();
    void longLinesShownBrokenKeptWhole();
    void writtenOnlyWhenReplaced_data();
    void writtenOnlyWhenReplaced();
    void showsWhatItCanAndWritesNothingUntouched();
    void editedFields_data();
    void editedFields();
    void otherKeysSurviveAnEdit_data();
    void otherKeysSurviveAnEdit();
    void missingFileIsWrittenAnew();
    void unreadableFileOpensAsText();
    void linksLeadingOutsideAreNeverWritten_data();
    void linksLeadingOutsideAreNeverWritten();

private:
    TextEditorView *openText(const QByteArray &bytes)
    {
        return m_fixture->openView<TextEditorView>(QStringLiteral("main.js"), bytes);
    }
    static void type(TextEditorView *view, const QString &text);
    static bool save(const QWidget *view)
    {
        return DocumentController::shared().documentForWindow(view)->saveDocument();
    }
    QString path() const { return m_fixture->bundle() + QStringLiteral("/main.js"); }

    InfoPlistForm *openPlist(const QByteArray &bytes)
    {
        return m_fixture->openView<InfoPlistForm>(QStringLiteral("Info.plist"), bytes);
    }
    QString plistPath() const { return m_fixture->bundle() + QStringLiteral("/Info.plist"); }
    static void edit(InfoPlistForm *view, const char *field, const QString &text);
    static QLineEdit *field(InfoPlistForm *view, const char *name)
    {
        return view->findChild<QLineEdit *>(QLatin1String(name));
    }
    static QCheckBox *box(InfoPlistForm *view, const char *name)
    {
        return view->findChild<QCheckBox *>(QLatin1String(name));
    }

    std::unique_ptr<DocumentFixture> m_fixture;
};

void tst_ContentViews::type(TextEditorView *view, const QString &text)
{
    auto *editor = view->findChild<QsciScintilla *>();
    editor->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    editor->insert(text);
}

// Untouched files keep every byte and their date; edits keep the encoding
// unless the text would then read back as other text, and their undo history.
void tst_ContentViews::writesOnlyEditsInTheFilesEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed"); // empty: left untouched
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("iso 8859-1, untouched")
        << QByteArray("caf\xE9 <b>\r\n") << QString() << QByteArray("caf\xE9 <b>\r\n");
    QTest::newRow("utf-16 with mark, untouched") << QByteArray("\xFF\xFE"
                                                               "h\0\xE9\0",
                                                               6)
                                                 << QString()
                                                 << QByteArray("\xFF\xFE"
                                                               "h\0\xE9\0",
                                                               6);
    // A mark then an odd number of bytes decodes without error, yet would not write back the same.
    QTest::newRow("utf-16 mark, odd length, edited") << QByteArray("\xFF\xFE"
                                                                   "h\0x",
                                                                   5)
                                                     << u"!"_qs << QByteArray("\xC3\xBF\xC3\xBEh\0x!", 8);
    QTest::newRow("binary, untouched") << QByteArray("%PDF-1.4\0\0\xFF\x80 end", 17) << QString()
                                       << QByteArray("%PDF-1.4\0\0\xFF\x80 end", 17);
    QTest::newRow("iso 8859-1 stays") << QByteArray("caf\xE9\r\n") << u"\u00fc"_qs << QByteArray("caf\xE9\r\n\xFC");
    QTest::newRow("iso 8859-1 becomes utf-8")
        << QByteArray("caf\xE9") << u"\u20ac"_qs << QByteArray("caf\xC3\xA9\xE2\x82\xAC");
    // "Â©" in ISO 8859-1 is the UTF-8 of "©": it would read back as one character.
    QTest::newRow("iso 8859-1 that would read as utf-8")
        << QByteArray("\xC2") << u"\u00a9"_qs << QByteArray("\xC3\x82\xC2\xA9");
    QTest::newRow("utf-16 stays") << QByteArray("\xFE\xFF\0h", 4) << u"\u20ac"_qs
                                  << QByteArray("\xFE\xFF\0h\x20\xAC", 6);
    QTest::newRow("utf-8") << QByteArray("\xE2\x82\xAC") << u"!"_qs << QByteArray("\xE2\x82\xAC!");
}

void tst_ContentViews::writesOnlyEditsInTheFilesEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    TextEditorView *view = openText(bytes);
    const QString read = view->text();
    const QDateTime modified = QFileInfo(path()).lastModified();
    if (!typed.isEmpty())
        type(view, typed);
    QCOMPARE(view->isEdited(), !typed.isEmpty());
    QVERIFY(save(view));
    QCOMPARE(Tree::read(path()), written);
    QVERIFY(!view->isEdited());
    if (typed.isEmpty())
        QCOMPARE(QFileInfo(path()).lastModified(), modified);
    // Its own save is no change of the file from elsewhere: the undo history stays.
    view->hide();
    view->show();
    QCOMPARE(view->findChild<QsciScintilla *>()->isUndoAvailable(), !typed.isEmpty());
    // What save wrote, openTheFile reads back as the text that was saved.
    view->openTheFile();
    QCOMPARE(view->text(), read + typed);
}

// What cannot be read (gone, a FIFO) shows a notice and is never written;
// a very large file is read only when the user asks.
void tst_ContentViews::filesNotReadUnasked_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("notice");
    QTest::newRow("removed") << u"removed"_qs << u"“main.js” could not be read: No such file or directory."_qs;
    QTest::newRow("FIFO") << u"fifo"_qs << u"“main.js” could not be read: It is not a regular file."_qs;
    QTest::newRow("33 MiB") << u"large"_qs << u"“main.js” is 33.00 MiB."_qs;
}

void tst_ContentViews::filesNotReadUnasked()
{
    QFETCH(QString, what);
    QFETCH(QString, notice);
    TextEditorView *view = openText("var x;");
    QVERIFY(QFile::remove(path()));
    if (what == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    QFile large(path());
    if (what == u"large")
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(33 * 1024 * 1024));
    large.close();
    view->openTheFile();
    QCOMPARE(view->text(), QString());
    const auto *bar = view->findChild<NoticeBar *>();
    QVERIFY(bar->isVisibleTo(view));
    QVERIFY2(bar->message().startsWith(notice), qPrintable(bar->message()));
    QVERIFY(view->findChild<QsciScintilla *>()->isReadOnly());
    QVERIFY(save(view));
    QCOMPARE(QFileInfo(path()).size(), what == u"large" ? 33 * 1024 * 1024 : 0);
    QCOMPARE(QFileInfo::exists(path()), what != u"removed");
    if (what == u"large") {
        bar->findChild<QPushButton *>()->click();
        QCOMPARE(view->text().size(), 33 * 1024 * 1024);
        QVERIFY(!view->findChild<QsciScintilla *>()->isReadOnly() && !view->isEdited());
    }
}

// "+" is Find Next, "-" Find Previous, "=" the search field's question, which
// leaves the selection where it was; each step's selection start is listed.
// Case never counts.
void tst_ContentViews::findNextGoesRound_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("the search field moves nothing") << u"+=+=="_qs << QList<int>{4, 4, 12, 12, 12};
    QTest::newRow("forward, then round") << u"++++"_qs << QList<int>{4, 12, 20, 4};
    QTest::newRow("back from the start goes round") << u"-"_qs << QList<int>{20};
    QTest::newRow("back and forth") << u"++-+"_qs << QList<int>{4, 12, 4, 12};
    QTest::newRow("back twice") << u"+--"_qs << QList<int>{4, 20, 12};
}

void tst_ContentViews::findNextGoesRound()
{
    QFETCH(QString, steps);
    QFETCH(QList<int>, starts);
    // Positions count bytes: the accent before the matches takes two.
    TextEditorView *view = openText("\xC3\xA9ne Two one TWO one tWo");
    auto *editor = view->findChild<QsciScintilla *>();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QVERIFY(steps.at(i) == u'=' ? view->searchString(u"two"_qs) : view->findNext(u"two"_qs, steps.at(i) == u'+'));
        QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), long(starts.at(i)) + 1);
        QCOMPARE(view->selectedText().toLower(), u"two"_qs);
    }
    QVERIFY(!view->findNext(u"three"_qs, true));
    QVERIFY(!view->searchString(u"three"_qs));
    QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), long(starts.last()) + 1);
}

// The line number margin follows the file as it is read, and as lines are
// added or removed, by the time the editor is painted. Scintilla keeps 3
// pixels free right of the numbers.
void tst_ContentViews::lineNumbersFitTheLastLine()
{
    TextEditorView *view = openText(QByteArray(241349, '\n'));
    view->window()->show();
    auto *editor = view->findChild<QsciScintilla *>();
    const auto fits = [editor](const char *number) {
        return editor->marginWidth(0)
            >= editor->SendScintilla(QsciScintilla::SCI_TEXTWIDTH, QsciScintilla::STYLE_LINENUMBER, number) + 3;
    };
    QVERIFY(fits("241350"));
    editor->setText(u"one line"_qs);
    editor->viewport()->repaint();
    QCoreApplication::processEvents();
    QVERIFY(fits("9999") && !fits("100000"));
    type(view, QString(99999, u'\n'));
    editor->viewport()->repaint();
    QCoreApplication::processEvents();
    QVERIFY(fits("100000"));
}

void tst_ContentViews::completesWhatWidgetsUse_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("completed");
    QTest::newRow("the widget object") << u"widget.op"_qs << u"widget.openURL"_qs;
    QTest::newRow("a shared class") << u"new AppleHorizontalS"_qs << u"new AppleHorizontalSlider"_qs;
    QTest::newRow("a shared class's method") << u"slider.setV"_qs << u"slider.setValue"_qs;
    QTest::newRow("the widget's own function") << u"drawC"_qs << u"drawClock"_qs;
}

// Typed in a script, the name is among those the list offers: the
// runtime's, read from its own scripts, and those the widget's define.
void tst_ContentViews::completesWhatWidgetsUse()
{
    QFETCH(QString, typed);
    QFETCH(QString, completed);
    Tree::write(m_fixture->bundle(), QStringLiteral("Scripts/clock.js"), "function drawClock(hands, face) {}\n");
    auto *editor = openText("")->findChild<QsciScintilla *>();
    // The names are indexed on another thread; until then the list is empty.
    const auto offered = [editor, &typed] {
        editor->setText(typed);
        editor->setCursorPosition(0, int(typed.size()));
        editor->autoCompleteFromAPIs();
        return editor->isListActive();
    };
    QTRY_VERIFY(offered());
    const QByteArray name = completed.section(u'.', -1).section(u' ', -1).toUtf8();
    editor->SendScintilla(QsciScintilla::SCI_AUTOCSELECT, name.constData());
    editor->SendScintilla(QsciScintilla::SCI_AUTOCCOMPLETE);
    QCOMPARE(editor->text(), completed);
}

// A rewrite (Replace All's) goes in as one edit, which one Undo takes back,
// and only into the text it was made of: not into one changed meanwhile.
void tst_ContentViews::rewriteTakesOnlyItsOwnText()
{
    TextEditorView *view = openText("one tw\xc3\xa9 one\n");
    auto *editor = view->findChild<QsciScintilla *>();
    const QString before = view->text();
    const auto rewrite = view->rewrite(before, {{0, 3, u"1"_qs}, {8, 11, u"\u00fcn\u00f8"_qs}});
    QVERIFY(rewrite);
    type(view, u"!"_qs);
    QVERIFY(!view->apply(*rewrite));
    QCOMPARE(view->text(), before + u'!');
    editor->undo();
    QVERIFY(view->apply(*rewrite));
    QCOMPARE(view->text(), u"1 tw\u00e9 \u00fcn\u00f8\n"_qs);
    editor->undo();
    QCOMPARE(view->text(), before);
}

// A line too long to type in is shown broken, and whatever the user does,
// the breaks put in reach neither the file nor the clipboard, and places in
// the text others name (a match, a line) are found across them.
void tst_ContentViews::longLinesShownBrokenKeptWhole_data()
{
    QTest::addColumn<QString>("edit");
    for (const char *edit :
         {"type", "delete and undo", "paste", "replace", "copy", "go to line", "own carriage returns"})
        QTest::newRow(edit) << QString::fromLatin1(edit);
}

void tst_ContentViews::longLinesShownBrokenKeptWhole()
{
    QFETCH(QString, edit);
    QString line;
    for (int i = 0; line.size() < 30000; ++i)
        line += u"v%1=\u00e9;"_qs.arg(i);
    const QString newline = edit == u"own carriage returns" ? u"\r\n"_qs : u"\n"_qs;
    const QString original = u"first"_qs + newline + line + newline + u"last"_qs + newline;
    TextEditorView *view = openText(original.toUtf8());
    auto *editor = view->findChild<QsciScintilla *>();
    QCOMPARE(editor->lines() > 4, newline == u"\n");
    QCOMPARE(view->findChild<NoticeBar *>()->isVisibleTo(view), newline == u"\n");
    QCOMPARE(view->text(), original);
    const qsizetype at = original.indexOf(u"v2000=");
    QString expected = original;
    if (edit == u"type") {
        view->selectRange(at, at);
        editor->replaceSelectedText(u"X"_qs);
        expected.insert(at, u'X');
    } else if (edit == u"delete and undo") {
        view->selectRange(at, at + 5000);
        QCOMPARE(view->selectedText(), original.mid(at, 5000));
        editor->removeSelectedText();
        editor->undo();
        type(view, u"Y"_qs);
        expected.append(u'Y');
    } else if (edit == u"paste") {
        QApplication::clipboard()->setText(u"a\r\nb"_qs);
        view->selectRange(at, at);
        editor->paste();
        expected.insert(at, u"a\nb"_qs);
    } else if (edit == u"replace") {
        QList<TextEditorView::Replacement> accents;
        for (qsizetype accent = original.indexOf(u'\u00e9'); accent >= 0;
             accent = original.indexOf(u'\u00e9', accent + 1))
            accents.append({accent, accent + 1, u"e"_qs});
        const auto rewrite = view->rewrite(view->text(), accents);
        QVERIFY(rewrite && view->apply(*rewrite));
        QVERIFY(editor->lines() > 4);
        expected.replace(u'\u00e9', u'e');
    } else if (edit == u"copy") {
        view->selectRange(at, at + 5000);
        editor->copy();
        QCOMPARE(QApplication::clipboard()->text(), original.mid(at, 5000));
    } else {
        view->goToLine(3);
        int caretLine = 0, index = 0;
        editor->getCursorPosition(&caretLine, &index);
        QCOMPARE(editor->text(caretLine), u"last"_qs + newline);
    }
    QVERIFY(save(view));
    QCOMPARE(Tree::read(path()), expected.toUtf8());
}

// Untouched images keep their bytes, whatever Qt makes of them; a replaced
// one is written in the format its name names when Qt can write it.
void tst_ContentViews::writtenOnlyWhenReplaced_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("written"); // the format written; empty: untouched
    const auto sample = [](const char *path) {
        return Tree::read(QStringLiteral(QUILLET_TEST_DATA "/corpus/") + QLatin1String(path));
    };
    QTest::newRow("animated gif") << u"a.gif"_qs << sample("RiverLevels.wdgt/images/rot_refresh.gif") << QByteArray();
    QTest::newRow("png") << u"Default.png"_qs << sample("RiverLevels.wdgt/Default.png") << QByteArray();
    QTest::newRow("tiff") << u"knob.tiff"_qs << sample("To Do.wdgt/Images/NoteScrollerKnobTop.tiff") << QByteArray();
    QTest::newRow("not an image") << u"broken.png"_qs << QByteArray("not an image") << QByteArray();
    QTest::newRow("png replaced") << u"a.png"_qs << encodedImage(QSize(8, 8), "png") << QByteArray("png");
    QTest::newRow("jpeg replaced keeps jpeg")
        << u"photo.jpg"_qs << encodedImage(QSize(8, 8), "jpeg") << QByteArray("jpeg");
    QTest::newRow("gif, which Qt cannot write, gets png")
        << u"anim.gif"_qs << encodedImage(QSize(8, 8), "png") << QByteArray("png");
}

void tst_ContentViews::writtenOnlyWhenReplaced()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, written);
    QVERIFY(bytes.size() > 8);
    ImageView *view = m_fixture->openView<ImageView>(name, bytes);
    if (!written.isEmpty())
        replace(view);
    QCOMPARE(view->isEdited(), !written.isEmpty());
    QVERIFY(save(view));
    QVERIFY(!view->isEdited());
    const QString path = m_fixture->bundle() + u'/' + name;
    if (written.isEmpty()) {
        QCOMPARE(Tree::read(path), bytes);
        return;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), written);
    QCOMPARE(reader.read().size(), QSize(20, 10));
}

void tst_ContentViews::edit(InfoPlistForm *view, const char *name, const QString &text)
{
    QLineEdit *line = field(view, name);
    QTest::keyClicks(line, QStringLiteral("x")); // so that clearing an empty field is an edit too
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    for (const QChar c : text) // as a keyboard of any language types
        QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A value of a type its field cannot show is read-only there; access keys
// stored as strings mean what the widget runtime takes them for.
void tst_ContentViews::showsWhatItCanAndWritesNothingUntouched()
{
    const QByteArray odd = R"(<plist version="1.0"><dict>
        <key>CFBundleName</key><dict><key>x</key><string>y</string></dict>
        <key>Height</key><true/>
        <key>AllowSystem</key><string>YES</string>
        <key>AllowJava</key><string>NO</string>
        </dict></plist>)";
    InfoPlistForm *view = openPlist(Sample);
    QVERIFY(!box(view, "allowJavaBox")->isChecked());
    QVERIFY(box(view, "allowNetworkAccessBox")->isChecked());
    QCOMPARE(field(view, "widthField")->text(), QStringLiteral("300"));
    QCOMPARE(field(view, "fontsField")->text(), QStringLiteral("One.ttf, Two,Three.otf"));
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), Sample);
    QVERIFY(Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"), odd));
    view->openTheFile();
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), odd);
    QVERIFY(field(view, "bundleNameField")->isReadOnly());
    QVERIFY(field(view, "heightField")->isReadOnly());
    QVERIFY(box(view, "allowSystemBox")->isChecked());
    QVERIFY(!box(view, "allowJavaBox")->isChecked());
}

void tst_ContentViews::editedFields_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("saved"); // invalid: the key is removed
    QTest::newRow("width as a string") << QByteArray("widthField") << u"320"_qs << u"Width"_qs << QVariant(u"320"_qs);
    QTest::newRow("inset 12px") << QByteArray("closeBoxInsetXField") << u"12px"_qs << u"CloseBoxInsetX"_qs
                                << QVariant(qint64(12));
    // Only ASCII digits can be typed into a number's field.
    QTest::newRow("inset abc") << QByteArray("closeBoxInsetXField") << u"abc"_qs << u"CloseBoxInsetX"_qs << QVariant();
    QTest::newRow("inset in full-width digits")
        << QByteArray("closeBoxInsetXField") << u"３００"_qs << u"CloseBoxInsetX"_qs << QVariant();
    QTest::newRow("negative inset") << QByteArray("closeBoxInsetYField") << u"-3"_qs << u"CloseBoxInsetY"_qs
                                    << QVariant(qint64(-3));
    QTest::newRow("inset cleared") << QByteArray("closeBoxInsetXField") << QString() << u"CloseBoxInsetX"_qs
                                   << QVariant();
    QTest::newRow("height cleared") << QByteArray("heightField") << QString() << u"Height"_qs << QVariant();
    QTest::newRow("empty version still written")
        << QByteArray("bundleVersionField") << QString() << u"CFBundleVersion"_qs << QVariant(QString());
    QTest::newRow("fonts split at comma and blank") << QByteArray("fontsField") << u"A.ttf, B,C.ttf"_qs << u"Fonts"_qs
                                                    << QVariant(QVariantList{u"A.ttf"_qs, u"B,C.ttf"_qs});
    // Keys the user did not change are never rewritten.
    QTest::newRow("untouched false flag kept")
        << QByteArray("pluginField") << u"x.plugin"_qs << u"AllowJava"_qs << QVariant(false);
    QTest::newRow("untouched main page not added")
        << QByteArray("pluginField") << QString() << u"MainHTML"_qs << QVariant();
}

void tst_ContentViews::editedFields()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, typed);
    QFETCH(QString, key);
    QFETCH(QVariant, saved);
    InfoPlistForm *view = openPlist(Sample);
    edit(view, field.constData(), typed);
    QVERIFY(view->isEdited());
    QVERIFY(save(view));
    const QVariantMap map = mapOf(plistPath());
    QCOMPARE(map.contains(key), saved.isValid());
    if (saved.isValid())
        QCOMPARE(map.value(key), saved);
    QVERIFY(Tree::read(plistPath()).startsWith("<?xml"));
    QVERIFY(!view->isEdited());
}

// Every key the user did not change keeps its type, value and place: those
// the form does not show and values it cannot show. Binary files come back
// as XML. What another program changed meanwhile, tst_CommandSequences keeps.
void tst_ContentViews::otherKeysSurviveAnEdit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("keys the form does not show") << Sample;
    QTest::newRow("binary") << Tree::read(QStringLiteral(QUILLET_TEST_DATA "/binary.plist"));
    QTest::newRow("a real widget") << Tree::read(QStringLiteral(QUILLET_TEST_DATA "/corpus/To Do.wdgt/Info.plist"));
    QTest::newRow("values the form cannot show")
        << QByteArray("<plist><dict><key>CFBundleName</key><dict/><key>Height</key><true/>"
                      "<key>AllowJava</key><string>YES</string></dict></plist>");
}

void tst_ContentViews::otherKeysSurviveAnEdit()
{
    QFETCH(QByteArray, bytes);
    InfoPlistForm *view = openPlist(bytes);
    edit(view, "widthField", QStringLiteral("250"));
    box(view, "allowSystemBox")->click();
    QVariantMap expected = mapOf(plistPath());
    QVERIFY(save(view));
    // The form shows the file as saved, keys the user left alone too.
    QCOMPARE(field(view, "bundleVersionField")->text(), expected.value(QStringLiteral("CFBundleVersion")).toString());
    expected.insert(QStringLiteral("Width"), QStringLiteral("250"));
    if (PropertyList::boolValue(expected.value(QStringLiteral("AllowSystem"))))
        expected.remove(QStringLiteral("AllowSystem"));
    else
        expected.insert(QStringLiteral("AllowSystem"), true);
    QCOMPARE(mapOf(plistPath()), expected);
    const QByteArray xml = Tree::read(plistPath());
    QVERIFY(xml.startsWith("<?xml"));
    QVERIFY(xml.indexOf("Zebra") <= xml.indexOf("AllowNetworkAccess"));
}

// A deleted Info.plist is written anew from the whole form. The form sees
// the file go as it happens, through the watch on the open files.
void tst_ContentViews::missingFileIsWrittenAnew()
{
    InfoPlistForm *view = openPlist(Sample);
    QVERIFY(QFile::remove(plistPath()));
    QTRY_VERIFY(view->findChild<NoticeBar *>()->message().contains(QStringLiteral("is missing")));
    edit(view, "widthField", QStringLiteral("10"));
    QVERIFY(save(view));
    const QVariantMap map = mapOf(plistPath());
    QCOMPARE(map.value(QStringLiteral("Width")), QVariant(QStringLiteral("10")));
    QCOMPARE(map.value(QStringLiteral("CFBundleVersion")), QVariant(QStringLiteral("1.0")));
    QCOMPARE(map.value(QStringLiteral("AllowNetworkAccess")), QVariant(true));
}

// A file that is not a property list is never written; it can be repaired as text.
void tst_ContentViews::unreadableFileOpensAsText()
{
    const QByteArray broken = "<plist><dict><key>Width</key>";
    InfoPlistForm *view = openPlist(broken);
    const auto *notice = view->findChild<NoticeBar *>();
    QVERIFY(notice->isVisibleTo(view));
    QVERIFY(notice->message().contains(QStringLiteral("can’t be read as a property list")));
    QVERIFY(save(view));
    QCOMPARE(Tree::read(plistPath()), broken);
    auto *document = qobject_cast<WidgetDocument *>(DocumentController::shared().documentForWindow(view));
    notice->findChild<QPushButton *>()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto *text = qobject_cast<TextEditorView *>(document->contentView()->viewFor(QStringLiteral("Info.plist")));
    QVERIFY(text);
    QCOMPARE(text->text(), QString::fromLatin1(broken));
    // Repaired and saved, it is a form again when next selected.
    type(text, QStringLiteral("<integer>5</integer></dict></plist>"));
    QVERIFY(save(text));
    QVERIFY(DocumentFixture::select(document, QStringLiteral("Info.plist")));
    document->fileListController()->openFileAtPath(plistPath());
    view = qobject_cast<InfoPlistForm *>(document->contentView()->viewFor(QStringLiteral("Info.plist")));
    QVERIFY(view);
    QCOMPARE(field(view, "widthField")->text(), QStringLiteral("5"));
}

// An entry that is a link out of the widget (to /etc/passwd, say) is shown
// with a badge and opens read-only with a notice, whatever its kind; a link
// within the widget is its target.
void tst_ContentViews::linksLeadingOutsideAreNeverWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("outside");
    QTest::newRow("text file") << u"passwd"_qs << u"../passwd"_qs << true;
    QTest::newRow("Info.plist") << u"Info.plist"_qs << u"../Info.plist"_qs << true;
    QTest::newRow("image") << u"sun.png"_qs << u"../sun.png"_qs << true;
    QTest::newRow("folder") << u"Images"_qs << u"../Images"_qs << true;
    QTest::newRow("beyond a folder link") << u"Out/passwd"_qs << u".."_qs << true;
    QTest::newRow("text file within") << u"alias.js"_qs << u"main.js"_qs << false;
}

void tst_ContentViews::linksLeadingOutsideAreNeverWritten()
{
    QFETCH(QString, name);
    QFETCH(QString, target);
    QFETCH(bool, outside);
    const QString bundle = m_fixture->bundle();
    QImage sun(4, 4, QImage::Format_RGB32);
    sun.fill(Qt::yellow);
    QVERIFY(sun.save(m_fixture->folder() + u"/sun.png"_qs));
    for (const auto &[folder, file, bytes] : {std::tuple(m_fixture->folder(), u"passwd"_qs, QByteArray("root:x:0:0")),
                                              {m_fixture->folder(), u"Info.plist"_qs, Sample},
                                              {m_fixture->folder(), u"Images/a.png"_qs, "a"},
                                              {bundle, u"main.js"_qs, "var x;"}})
        Tree::write(folder, file, bytes);
    // The link is the entry itself, or the folder holding it.
    const QString top = name.section(u'/', 0, 0);
    QVERIFY(QFile::link(target, bundle + u'/' + top));
    WidgetDocument *document = m_fixture->open(bundle);
    const int row = int(document->fileListController()->rowList().indexOf(top));
    QCOMPARE(DocumentFixture::table(document)
                 ->model()
                 ->index(row, EntryListModel::NameColumn)
                 .data(Qt::ToolTipRole)
                 .toString()
                 .contains(u"leads outside"_qs),
             outside);
    document->fileListController()->openFileAtPath(bundle + u'/' + name);
    auto *view = qobject_cast<ContentView *>(document->fileListController()->contentViewWithIdentifier(name));
    QVERIFY(view);
    const auto *bar = view->findChild<NoticeBar *>();
    QCOMPARE(bar && bar->isVisibleTo(view) && bar->message().contains(u"leads outside the widget"_qs), outside);

    // Whatever the kind, the view takes no edits...
    if (auto *text = view->findChild<QsciScintilla *>())
        QCOMPARE(text->isReadOnly(), outside);
    else if (auto *canvas = view->findChild<ImageCanvas *>())
        QCOMPARE(canvas->isEnabled(), !outside);
    else if (auto *browser = view->findChild<ColumnBrowser *>()) {
        QMimeData drop;
        drop.setUrls({QUrl::fromLocalFile(u"/tmp"_qs)});
        QCOMPARE(browser->findChild<QTableView *>()->model()->canDropMimeData(&drop, Qt::MoveAction, -1, -1, {}),
                 !outside);
    } else
        QCOMPARE(view->findChild<QWidget *>(u"formPage"_qs)->isEnabled(), !outside);
    // ...and nothing outside the widget changes, even edits made by the
    // program itself, which a read-only editor still takes.
    m_fixture->answerAlerts(Alert::DefaultButton);
    auto *text = view->findChild<QsciScintilla *>();
    if (text)
        text->insert(u"// typed"_qs);
    QCOMPARE(save(view), !(text && outside));
    QCOMPARE(m_fixture->alerts.size(), text && outside ? 1 : 0);
    QCOMPARE(Tree::read(m_fixture->folder() + u"/passwd"_qs), QByteArray("root:x:0:0"));
    QCOMPARE(Tree::read(m_fixture->folder() + u"/Info.plist"_qs), Sample);
    if (!outside)
        QCOMPARE(Tree::read(bundle + u"/main.js"_qs), QByteArray("// typedvar x;"));
}

QTEST_MAIN(tst_ContentViews)
#include "tst_ContentViews.moc"
