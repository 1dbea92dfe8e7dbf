// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/MyTextFileView.h"
#include "editors/NoticeBar.h"

#include "tests/common/DocumentFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QPushButton>

#include <sys/stat.h>

class tst_MyTextFileView : public QObject
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
    void fileChangedElsewhere_data();
    void fileChangedElsewhere();
    void ownSaveIsNoChange();

private:
    MyTextFileView *open(const QByteArray &bytes)
    {
        return m_fixture->openView<MyTextFileView>(QStringLiteral("main.js"), bytes);
    }
    static void type(MyTextFileView *view, const QString &text);
    static bool save(MyTextFileView *view) { return DocumentController::shared().documentForWindow(view)->saveDocument(); }
    QString path() const { return m_fixture->bundle() + QStringLiteral("/main.js"); }

    std::unique_ptr<DocumentFixture> m_fixture;
};

void tst_MyTextFileView::type(MyTextFileView *view, const QString &text)
{
    auto *editor = view->findChild<QsciScintilla *>();
    editor->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
    editor->insert(text);
}

// Untouched files keep every byte and their date; edits keep the encoding
// unless the text would then read back as other text.
void tst_MyTextFileView::writesOnlyEditsInTheFilesEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed"); // empty: left untouched
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("iso 8859-1, untouched") << QByteArray("caf\xE9 <b>\r\n") << QString() << QByteArray("caf\xE9 <b>\r\n");
    QTest::newRow("utf-16 with mark, untouched") << QByteArray("\xFF\xFE" "h\0\xE9\0", 6) << QString() << QByteArray("\xFF\xFE" "h\0\xE9\0", 6);
    // A mark then an odd number of bytes decodes without error, yet would not write back the same.
    QTest::newRow("utf-16 mark, odd length, edited") << QByteArray("\xFF\xFE" "h\0x", 5) << u"!"_qs << QByteArray("\xC3\xBF\xC3\xBEh\0x!", 8);
    QTest::newRow("binary, untouched") << QByteArray("%PDF-1.4\0\0\xFF\x80 end", 17) << QString() << QByteArray("%PDF-1.4\0\0\xFF\x80 end", 17);
    QTest::newRow("iso 8859-1 stays") << QByteArray("caf\xE9\r\n") << u"\u00fc"_qs << QByteArray("caf\xE9\r\n\xFC");
    QTest::newRow("iso 8859-1 becomes utf-8") << QByteArray("caf\xE9") << u"\u20ac"_qs << QByteArray("caf\xC3\xA9\xE2\x82\xAC");
    // "Â©" in ISO 8859-1 is the UTF-8 of "©": it would read back as one character.
    QTest::newRow("iso 8859-1 that would read as utf-8") << QByteArray("\xC2") << u"\u00a9"_qs << QByteArray("\xC3\x82\xC2\xA9");
    QTest::newRow("utf-16 stays") << QByteArray("\xFE\xFF\0h", 4) << u"\u20ac"_qs << QByteArray("\xFE\xFF\0h\x20\xAC", 6);
    QTest::newRow("utf-8") << QByteArray("\xE2\x82\xAC") << u"!"_qs << QByteArray("\xE2\x82\xAC!");
}

void tst_MyTextFileView::writesOnlyEditsInTheFilesEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    MyTextFileView *view = open(bytes);
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
    // What save wrote, openTheFile reads back as the text that was saved.
    view->openTheFile();
    QCOMPARE(view->text(), read + typed);
}

// What cannot be read (gone, a FIFO) shows a notice and is never written;
// a very large file is read only when the user asks.
void tst_MyTextFileView::filesNotReadUnasked_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("notice");
    QTest::newRow("removed") << u"removed"_qs << u"“main.js” could not be read: No such file or directory."_qs;
    QTest::newRow("FIFO") << u"fifo"_qs << u"“main.js” could not be read: It is not a regular file."_qs;
    QTest::newRow("33 MiB") << u"large"_qs << u"“main.js” is 33.00 MiB."_qs;
}

void tst_MyTextFileView::filesNotReadUnasked()
{
    QFETCH(QString, what);
    QFETCH(QString, notice);
    MyTextFileView *view = open("var x;");
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

// "+" is Find Next, "-" Find Previous, "=" the search field's first match,
// whatever is selected; each step's selection start is listed. Case never counts.
void tst_MyTextFileView::findNextGoesRound_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("starts");
    QTest::newRow("first match, again and again") << u"+=+=="_qs << QList<int>{4, 4, 12, 4, 4};
    QTest::newRow("forward, then round") << u"++++"_qs << QList<int>{4, 12, 20, 4};
    QTest::newRow("back from the start goes round") << u"-"_qs << QList<int>{20};
    QTest::newRow("back and forth") << u"++-+"_qs << QList<int>{4, 12, 4, 12};
    QTest::newRow("back twice") << u"+--"_qs << QList<int>{4, 20, 12};
}

void tst_MyTextFileView::findNextGoesRound()
{
    QFETCH(QString, steps);
    QFETCH(QList<int>, starts);
    // Positions count bytes: the accent before the matches takes two.
    MyTextFileView *view = open("\xC3\xA9ne Two one TWO one tWo");
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

// Another program changed the file. Without edits the view follows it,
// keeping the caret, whether the file is selected again or the window
// becomes active; with edits the view asks, and keeps them until told.
void tst_MyTextFileView::fileChangedElsewhere_data()
{
    QTest::addColumn<bool>("byActivation");
    QTest::addColumn<QString>("button"); // empty: no edits
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("reselected") << false << QString() << QByteArray("line one\nline two changed\n");
    QTest::newRow("window activated") << true << QString() << QByteArray("line one\nline two changed\n");
    QTest::newRow("edited, reload") << false << u"Reload"_qs << QByteArray("line one\nline two changed\n");
    QTest::newRow("edited, keep the edits") << false << u"Keep Your Edits"_qs << QByteArray("line one\nline two\n!");
}

void tst_MyTextFileView::fileChangedElsewhere()
{
    QFETCH(bool, byActivation);
    QFETCH(QString, button);
    QFETCH(QByteArray, saved);
    MyTextFileView *view = open("line one\nline two\n");
    auto *editor = view->findChild<QsciScintilla *>();
    if (!button.isEmpty())
        type(view, u"!"_qs);
    editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 12UL);
    QWidget elsewhere;
    if (byActivation) {
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    }
    QVERIFY(Tree::write(m_fixture->bundle(), u"main.js"_qs, "line one\nline two changed\n"));
    if (byActivation) {
        view->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view->window()));
    } else {
        view->hide();
        view->show();
    }
    const auto *bar = view->findChild<NoticeBar *>();
    QCOMPARE(bar->isVisibleTo(view), !button.isEmpty());
    if (!button.isEmpty()) {
        QCOMPARE(view->text(), u"line one\nline two\n!"_qs);
        for (QPushButton *choice : bar->findChildren<QPushButton *>()) {
            if (choice->text() == button)
                choice->click();
        }
        QVERIFY(!bar->isVisibleTo(view));
        view->hide();
        view->show();
        QVERIFY(!bar->isVisibleTo(view));
    }
    QCOMPARE(view->text(), QString::fromUtf8(saved));
    QCOMPARE(editor->SendScintilla(QsciScintilla::SCI_GETCURRENTPOS), 12L);
    QVERIFY(save(view));
    QCOMPARE(Tree::read(path()), saved);
}

// Saving changes the file on disk too; that must not cost the undo history.
void tst_MyTextFileView::ownSaveIsNoChange()
{
    MyTextFileView *view = open("var x;");
    type(view, u" var y;"_qs);
    QVERIFY(save(view));
    view->hide();
    view->show();
    QVERIFY(view->findChild<QsciScintilla *>()->isUndoAvailable());
    QCOMPARE(view->text(), u"var x; var y;"_qs);
}

QTEST_MAIN(tst_MyTextFileView)
#include "tst_MyTextFileView.moc"
