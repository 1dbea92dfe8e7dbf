// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyTextFileView.h"
#include "editors/NoticeBar.h"
#include "platform/Settings.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

class tst_MyTextFileView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void untouchedFileIsNeverWritten_data();
    void untouchedFileIsNeverWritten();
    void editsAreWrittenInTheFilesEncoding_data();
    void editsAreWrittenInTheFilesEncoding();
    void unreadableFileOpensEmpty();
    void lexerFollowsTheExtension_data();
    void lexerFollowsTheExtension();

    void searchSelectsTheFirstMatch_data();
    void searchSelectsTheFirstMatch();
    void failedSearchLeavesTheSelection();
    void fontSizeFollowsThePreference();

    void fileChangedElsewhere_data();
    void fileChangedElsewhere();
    void ownSaveIsNoChange();
    void editedFileChangedElsewhereAsks_data();
    void editedFileChangedElsewhereAsks();
    void findNextGoesRound_data();
    void findNextGoesRound();

private:
    void type(MyTextFileView *view, const QString &text);

    std::unique_ptr<DocumentFixture> m_fixture;
    QString m_bundle;
};

void tst_MyTextFileView::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    m_bundle = m_fixture->bundle();
}

void tst_MyTextFileView::cleanup()
{
    m_fixture.reset();
}


void tst_MyTextFileView::type(MyTextFileView *view, const QString &text)
{
    auto *editor = view->findChild<QsciScintilla *>();
    editor->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    editor->insertAt(text, editor->lines() - 1, editor->text(editor->lines() - 1).size());
}

void tst_MyTextFileView::untouchedFileIsNeverWritten_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("iso 8859-1") << QByteArray("caf\xE9 <b>\r\n");
    QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC\n");
    QTest::newRow("utf-16 with mark") << QByteArray("\xFF\xFE" "h\0\xE9\0", 6);
    QTest::newRow("binary") << QByteArray("%PDF-1.4\0\0\xFF\x80 end", 17);
}

void tst_MyTextFileView::untouchedFileIsNeverWritten()
{
    QFETCH(QByteArray, bytes);
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(QStringLiteral("file.txt"), bytes);
    QVERIFY(view);
    QCOMPARE(view->text(), TextFile::decode(bytes).text);
    const QString path = m_bundle + QStringLiteral("/file.txt");
    const QDateTime modified = QFileInfo(path).lastModified();
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QCOMPARE(Tree::read(path), bytes);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QVERIFY(!view->isEdited());
}

void tst_MyTextFileView::editsAreWrittenInTheFilesEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("iso 8859-1 stays") << QByteArray("caf\xE9\r\n") << QStringLiteral("\u00fc")
                                      << QByteArray("caf\xE9\r\n\xFC");
    QTest::newRow("iso 8859-1 becomes utf-8") << QByteArray("caf\xE9") << QStringLiteral("\u20ac")
                                              << QByteArray("caf\xC3\xA9\xE2\x82\xAC");
    QTest::newRow("utf-16 stays") << QByteArray("\xFE\xFF\0h", 4) << QStringLiteral("\u20ac")
                                  << QByteArray("\xFE\xFF\0h\x20\xAC", 6);
    QTest::newRow("utf-8") << QByteArray("\xE2\x82\xAC") << QStringLiteral("!")
                           << QByteArray("\xE2\x82\xAC!");
}

void tst_MyTextFileView::editsAreWrittenInTheFilesEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(QStringLiteral("file.txt"), bytes);
    QVERIFY(view);
    type(view, typed);
    QVERIFY(view->isEdited());
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QCOMPARE(Tree::read(m_bundle + QStringLiteral("/file.txt")), written);
    QVERIFY(!view->isEdited());
    // What save wrote, openTheFile reads back.
    view->openTheFile();
    QCOMPARE(view->text(), TextFile::decode(written).text);
}

void tst_MyTextFileView::unreadableFileOpensEmpty()
{
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(QStringLiteral("gone.js"), "var x;");
    QVERIFY(view);
    QVERIFY(QFile::remove(m_bundle + QStringLiteral("/gone.js")));
    view->openTheFile();
    QCOMPARE(view->text(), QString());
    const NoticeBar *notice = view->findChild<NoticeBar *>();
    QVERIFY(notice->isVisibleTo(view));
    QVERIFY(notice->message().contains(u"“gone.js” could not be read: No such file or directory."_qs));
    QVERIFY(view->findChild<QsciScintilla *>()->isReadOnly());
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QVERIFY(!QFile::exists(m_bundle + QStringLiteral("/gone.js")));
}

void tst_MyTextFileView::lexerFollowsTheExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language");
    QTest::newRow("html") << QStringLiteral("main.html") << QStringLiteral("HTML");
    QTest::newRow("css") << QStringLiteral("style.CSS") << QStringLiteral("CSS");
    QTest::newRow("javascript") << QStringLiteral("main.js") << QStringLiteral("JavaScript");
    QTest::newRow("plist") << QStringLiteral("template.plist") << QStringLiteral("XML");
    QTest::newRow("plain") << QStringLiteral("README") << QString();
}

void tst_MyTextFileView::lexerFollowsTheExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, language);
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(name, "x");
    QVERIFY(view);
    QsciLexer *lexer = view->findChild<QsciScintilla *>()->lexer();
    QCOMPARE(lexer ? QString::fromLatin1(lexer->language()) : QString(), language);
}

void tst_MyTextFileView::searchSelectsTheFirstMatch_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("selected");
    QTest::newRow("other case") << QStringLiteral("TITLE") << QStringLiteral("title");
    QTest::newRow("after non-ascii text") << QStringLiteral("Title") << QStringLiteral("title");
    QTest::newRow("non-ascii needle") << QStringLiteral("\u00c9T\u00c9") << QStringLiteral("\u00e9t\u00e9");
}

void tst_MyTextFileView::searchSelectsTheFirstMatch()
{
    QFETCH(QString, needle);
    QFETCH(QString, selected);
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(QStringLiteral("main.html"),
                                    "<p>\xC3\xA9t\xC3\xA9</p><h1>title</h1><h2>title</h2>");
    QVERIFY(view);
    auto *editor = view->findChild<QsciScintilla *>();
    for (int i = 0; i < 3; ++i) {
        QVERIFY(view->searchString(needle));
        QCOMPARE(view->selectedText(), selected);
        int line = 0, index = 0, endLine = 0, endIndex = 0;
        editor->getSelection(&line, &index, &endLine, &endIndex);
        // Always the first occurrence, never the next one.
        QCOMPARE(index, int(QStringLiteral("<p>\u00e9t\u00e9</p><h1>title</h1>").indexOf(selected)));
    }
}

void tst_MyTextFileView::failedSearchLeavesTheSelection()
{
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(QStringLiteral("main.html"), "<h1>title</h1>");
    QVERIFY(view);
    QVERIFY(view->searchString(QStringLiteral("h1")));
    QVERIFY(!view->searchString(QStringLiteral("zebra")));
    QCOMPARE(view->selectedText(), QStringLiteral("h1"));
}

void tst_MyTextFileView::fontSizeFollowsThePreference()
{
    MyTextFileView *view = m_fixture->openView<MyTextFileView>(QStringLiteral("main.js"), "var x;");
    QVERIFY(view);
    auto *editor = view->findChild<QsciScintilla *>();
    QCOMPARE(editor->lexer()->defaultFont().pointSize(), Settings::DefaultEditorFontSize);
    Settings::shared().setEditorFontSize(17);
    QCOMPARE(editor->lexer()->defaultFont().pointSize(), 17);
    QCOMPARE(Settings::shared().editorFontSize(), 17);
}

// How the user comes back to a view: by selecting its file again, or by
// returning to the window from another program's.
enum class Return { Reselect, ActivateWindow };

void tst_MyTextFileView::fileChangedElsewhere_data()
{
    QTest::addColumn<Return>("comeBack");
    QTest::newRow("reselected") << Return::Reselect;
    QTest::newRow("window activated") << Return::ActivateWindow;
}

void tst_MyTextFileView::fileChangedElsewhere()
{
    QFETCH(Return, comeBack);
    auto *view = m_fixture->openView<MyTextFileView>(u"main.js"_qs, "line one\nline two\n");
    QVERIFY(view);
    auto *editor = view->findChild<QsciScintilla *>();
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 12UL);
    QWidget elsewhere;
    if (comeBack == Return::ActivateWindow) {
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    }

    QVERIFY(Tree::write(m_bundle, u"main.js"_qs, "line one\nline two changed\n"));
    if (comeBack == Return::Reselect) {
        view->hide();
        view->show();
    } else {
        view->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view->window()));
    }

    QCOMPARE(view->text(), u"line one\nline two changed\n"_qs);
    QVERIFY(!view->isEdited());
    QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 12L);
}

// Saving changes the file on disk too; that must not cost the undo history.
void tst_MyTextFileView::ownSaveIsNoChange()
{
    auto *view = m_fixture->openView<MyTextFileView>(u"main.js"_qs, "var x;");
    QVERIFY(view);
    type(view, u" var y;"_qs);
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());

    view->hide();
    view->show();

    QVERIFY(view->findChild<QsciScintilla *>()->isUndoAvailable());
    QCOMPARE(view->text(), u"var x; var y;"_qs);
}

// "+" is Find Next, "-" Find Previous; each step's selection start is listed.
void tst_MyTextFileView::findNextGoesRound_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("forward, then round") << u"++++"_qs << QList<int>{4, 12, 20, 4};
    QTest::newRow("back from the start goes round") << u"-"_qs << QList<int>{20};
    QTest::newRow("back and forth") << u"++-+"_qs << QList<int>{4, 12, 4, 12};
    QTest::newRow("back twice") << u"+--"_qs << QList<int>{4, 20, 12};
}

void tst_MyTextFileView::findNextGoesRound()
{
    QFETCH(QString, steps);
    QFETCH(QList<int>, starts);
    auto *view = m_fixture->openView<MyTextFileView>(u"main.js"_qs, "one Two one TWO one tWo");
    QVERIFY(view);
    auto *editor = view->findChild<QsciScintilla *>();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QVERIFY(view->findNext(u"two"_qs, steps.at(i) == u'+'));
        QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), long(starts.at(i)));
        QCOMPARE(view->selectedText().toLower(), u"two"_qs);
    }
    QVERIFY(!view->findNext(u"three"_qs, true));
    QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART), long(starts.last()));
}

void tst_MyTextFileView::editedFileChangedElsewhereAsks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("savedFile");
    QTest::newRow("reload") << u"Reload"_qs << u"changed\n"_qs << QByteArray("changed\n");
    QTest::newRow("keep the edits") << u"Keep Your Edits"_qs << u"line one\n!"_qs << QByteArray("line one\n!");
}

void tst_MyTextFileView::editedFileChangedElsewhereAsks()
{
    QFETCH(QString, button);
    QFETCH(QString, shown);
    QFETCH(QByteArray, savedFile);
    auto *view = m_fixture->openView<MyTextFileView>(u"main.js"_qs, "line one\n");
    QVERIFY(view);
    auto *bar = view->findChild<NoticeBar *>();
    QVERIFY(bar && !bar->isVisibleTo(view));
    type(view, u"!"_qs);
    QVERIFY(Tree::write(m_bundle, u"main.js"_qs, "changed\n"));

    view->hide();
    view->show();
    QVERIFY(bar->isVisibleTo(view));
    QCOMPARE(view->text(), u"line one\n!"_qs);

    const QList<QPushButton *> buttons = bar->findChildren<QPushButton *>();
    const auto chosen = std::find_if(buttons.cbegin(), buttons.cend(), [&button](QPushButton *b) { return b->text() == button; });
    QVERIFY(chosen != buttons.cend());
    (*chosen)->click();
    QVERIFY(!bar->isVisibleTo(view));
    QCOMPARE(view->text(), shown);
    view->hide();
    view->show();
    QVERIFY(!bar->isVisibleTo(view));
    QVERIFY(DocumentController::shared().documentForWindow(view)->saveDocument());
    QCOMPARE(Tree::read(m_bundle + u"/main.js"_qs), savedFile);
}

QTEST_MAIN(tst_MyTextFileView)
#include "tst_MyTextFileView.moc"
