// SPDX-License-Identifier: GPL-2.0-or-later
// The three-column browser, alone and as the content view of a folder.
#include "chrome/SelectionTableView.h"
#include "editors/ColumnBrowser.h"
#include "editors/EntryListModel.h"
#include "editors/FolderView.h"
#include "editors/TextEditorView.h"

#include "tests/common/DocumentFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QMimeData>
#include <QScopeGuard>
#include <QSignalSpy>

class tst_FolderBrowser : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void walking_data();
    void walking();
    void listedAsFileManagersDo_data();
    void listedAsFileManagersDo();
    void linkLoopNeverHangs();
    void takesItsColoursFromThePalette();
    void folderViewOpensFilesAndKeepsTheirEdits();
    void searchLooksOnlyAtItsOwnEntries();

private:
    static EntryListModel *model(ColumnBrowser *browser, int column)
    {
        return qobject_cast<EntryListModel *>(browser->fileList(column)->model());
    }
    static void select(ColumnBrowser *browser, int column, const QString &name)
    {
        const int row = int(model(browser, column)->items().indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        browser->fileList(column)->selectRow(row);
    }
    QString selected(int column) const;
    void drop(const QString &name) const
    {
        QVERIFY(Tree::write(m_dir->path(), u"Downloads/"_qs + name, "dropped"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(m_dir->filePath(u"Downloads/"_qs + name))});
        QVERIFY(model(m_browser.get(), 0)->dropMimeData(&data, Qt::MoveAction, -1, 0, {}));
    }
    FolderView *openImagesInADocument();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ColumnBrowser> m_browser;
    std::unique_ptr<DocumentFixture> m_fixture;
    QString m_root;
};

void tst_FolderBrowser::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_root = m_dir->filePath(QStringLiteral("Images"));
    Tree::write(m_root, {{u"A/B/c.txt"_qs, "c"}, {u"A/B/D/e.txt"_qs, "e"}, {u"f.txt"_qs, "f"}});
    m_browser = std::make_unique<ColumnBrowser>();
    for (int column = 0; column < ColumnBrowser::ColumnCount; ++column)
        m_browser->addWidget(new SelectionTableView);
    m_browser->initBrowserWithPath(m_root);
}

void tst_FolderBrowser::cleanup()
{
    m_browser.reset();
    m_fixture.reset();
    m_dir.reset();
}

QString tst_FolderBrowser::selected(int column) const
{
    const QModelIndexList rows =
        m_browser->fileList(column)->selectionModel()->selectedRows(EntryListModel::NameColumn);
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

// Steps: "N:name" selects in column N, "<" and ">" are the arrow keys, "r"
// binds the browser to its root again, "d:name" drops a file of that name
// from elsewhere on column 0.
void tst_FolderBrowser::walking_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("at"); // the folder column 0 lists, below the root
    QTest::addColumn<QStringList>("selection");
    QTest::addColumn<QStringList>("column1");
    QTest::newRow("a file leaves the other columns empty")
        << u"0:A 0:f.txt"_qs << QString() << QStringList{u"f.txt"_qs, {}, {}} << QStringList();
    QTest::newRow("a folder is listed to its right")
        << u"0:A"_qs << QString() << QStringList{u"A"_qs, {}, {}} << QStringList{u"B"_qs};
    QTest::newRow("column 2 steps down") << u"0:A 1:B 2:D"_qs << u"A"_qs << QStringList{u"B"_qs, u"D"_qs, {}}
                                         << QStringList{u"c.txt"_qs, u"D"_qs};
    QTest::newRow("left clears from the right")
        << u"0:A 1:B 2:D 2:e.txt <"_qs << u"A/B"_qs << QStringList{u"D"_qs, {}, {}} << QStringList{u"e.txt"_qs};
    QTest::newRow("left climbs, never above the root")
        << u"0:A 1:B 2:D 2:e.txt < < < <"_qs << QString() << QStringList{u"A"_qs, {}, {}} << QStringList{u"B"_qs};
    QTest::newRow("right selects the first entry")
        << u"0:A >"_qs << QString() << QStringList{u"A"_qs, u"B"_qs, {}} << QStringList{u"B"_qs};
    QTest::newRow("right again steps down")
        << u"0:A > >"_qs << u"A"_qs << QStringList{u"B"_qs, u"c.txt"_qs, {}} << QStringList{u"c.txt"_qs, u"D"_qs};
    // The entry the drop put above it leaves the selection on its entry.
    QTest::newRow("a drop keeps the selected entry")
        << u"0:f.txt d:0.txt"_qs << QString() << QStringList{u"f.txt"_qs, {}, {}} << QStringList();
    QTest::newRow("binding again returns to the root")
        << u"0:A 1:B 2:D r"_qs << QString() << QStringList{{}, {}, {}} << QStringList();
}

void tst_FolderBrowser::walking()
{
    QFETCH(QString, steps);
    QFETCH(QString, at);
    QFETCH(QStringList, selection);
    QFETCH(QStringList, column1);
    for (const QString &step : steps.split(u' ')) {
        if (step == u"<" || step == u">")
            m_browser->keyDown(step == u"<" ? Qt::Key_Left : Qt::Key_Right);
        else if (step == u"r")
            m_browser->initBrowserWithPath(m_root);
        else if (step.startsWith(u"d:"))
            drop(step.mid(2));
        else
            select(m_browser.get(), step.left(1).toInt(), step.mid(2));
    }
    QCOMPARE(m_browser->browserPath(), at.isEmpty() ? m_root : m_root + u'/' + at);
    for (int column = 0; column < ColumnBrowser::ColumnCount; ++column)
        QCOMPARE(selected(column), selection.at(column));
    QCOMPARE(model(m_browser.get(), 1)->items(), column1);
    // Return opens the deepest selected entry, nothing without one.
    QSignalSpy opened(m_browser.get(), &ColumnBrowser::openFileRequested);
    QTest::keyClick(m_browser->fileList(0), Qt::Key_Return);
    int deepest = ColumnBrowser::ColumnCount - 1;
    while (deepest >= 0 && selected(deepest).isEmpty())
        --deepest;
    QCOMPARE(opened.size(), deepest < 0 ? 0 : 1);
    if (deepest >= 0)
        QCOMPARE(opened.first().first().toString(),
                 model(m_browser.get(), deepest)->folder() + u'/' + selected(deepest));
}

// Each row names entries in the order expected; they are made in reverse.
void tst_FolderBrowser::listedAsFileManagersDo_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::newRow("numbers by value") << QStringList{u"a longer start, then 9"_qs,
                                                     u"a longer start, then 10"_qs,
                                                     u"file2"_qs,
                                                     u"file10"_qs,
                                                     u"file10b"_qs,
                                                     u"file100"_qs};
    QTest::newRow("case ignored, then told apart") << QStringList{u"a"_qs, u"B"_qs, u"File"_qs, u"file"_qs, u"g"_qs};
    QTest::newRow("leading zeros ignored, then told apart") << QStringList{u"x0"_qs, u"x01"_qs, u"x1"_qs, u"x2"_qs};
    QTest::newRow("accents beside their letter") << QStringList{u"e"_qs, u"\u00c9"_qs, u"\u00e9a"_qs, u"f"_qs};
    QTest::newRow("shorter first, dots before digits") << QStringList{u"a"_qs, u"a.txt"_qs, u"a1.txt"_qs, u"ab"_qs};
}

void tst_FolderBrowser::listedAsFileManagersDo()
{
    QFETCH(QStringList, names);
    const QString folder = m_dir->filePath(u"order"_qs);
    for (auto name = names.crbegin(); name != names.crend(); ++name)
        Tree::write(folder, *name, {});
    m_browser->initBrowserWithPath(folder);
    QCOMPARE(model(m_browser.get(), 0)->items(), names);
}

void tst_FolderBrowser::linkLoopNeverHangs()
{
    QVERIFY(QFile::link(m_root, m_root + QStringLiteral("/A/up")));
    select(m_browser.get(), 0, QStringLiteral("A"));
    select(m_browser.get(), 1, QStringLiteral("up"));
    select(m_browser.get(), 2, QStringLiteral("A"));
    for (int step = 0; step < 6; ++step) {
        select(m_browser.get(), 2, QStringLiteral("up"));
        select(m_browser.get(), 2, QStringLiteral("A"));
    }
    QVERIFY(m_browser->browserPath().endsWith(QStringLiteral("/up/A")));
    for (int key = 0; key < 40 && m_browser->browserPath() != m_root; ++key)
        m_browser->keyDown(Qt::Key_Left);
    QCOMPARE(m_browser->browserPath(), m_root);
}

// Under a dark theme the header and the dividers are dark; the dividers'
// grip takes the text colour.
void tst_FolderBrowser::takesItsColoursFromThePalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, Qt::red);
    const auto restore = qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
    QApplication::setPalette(dark);
    FolderView view;
    view.resize(400, 200);
    const QImage shot = view.grab().toImage();
    const QSplitterHandle *divider = view.browser()->handle(1);
    const QPoint middle = divider->mapTo(&view, QRectF(divider->rect()).center().toPoint());
    QVERIFY(shot.pixelColor(2, 2).lightness() < 0x40);
    QVERIFY(shot.pixelColor(middle + QPoint(0, 12)).lightness() < 0x40);
    QCOMPARE(shot.pixelColor(middle - QPoint(0, 5)), QColor(Qt::red));
}

FolderView *tst_FolderBrowser::openImagesInADocument()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::write(m_fixture->bundle(),
                {{u"main.html"_qs, "<html/>"},
                 {u"Images/notes.txt"_qs, "old"},
                 {u"Images/Icon.png"_qs, "png"},
                 {u"Images/Sub/deep.txt"_qs, "deep"}});
    WidgetDocument *document = m_fixture->open(m_fixture->bundle());
    DocumentFixture::select(document, QStringLiteral("Images"));
    return qobject_cast<FolderView *>(document->contentView()->viewFor(QStringLiteral("Images")));
}

// A file opened by its key opens in a view of its own; coming back to it finds
// the same view with its edits, the folder shows from its top again, and a
// drag out writes the edits first.
void tst_FolderBrowser::folderViewOpensFilesAndKeepsTheirEdits()
{
    FolderView *view = openImagesInADocument();
    auto *document = qobject_cast<WidgetDocument *>(DocumentController::shared().documentForWindow(view));
    const QString bundle = document->filePath();
    ColumnBrowser *browser = view->browser();
    const auto open = [browser](const QString &name) {
        select(browser, 0, name);
        QTest::keyClick(browser->fileList(0), Qt::Key_Enter);
    };
    open(QStringLiteral("notes.txt"));
    const QString notes = QStringLiteral("Images/notes.txt");
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{notes});
    auto *text = qobject_cast<TextEditorView *>(document->contentView()->viewFor(notes));
    text->findChild<QsciScintilla *>()->setText(QStringLiteral("edited"));

    select(browser, 0, QStringLiteral("Sub"));
    browser->keyDown(Qt::Key_Right);
    DocumentFixture::select(document, QStringLiteral("main.html"));
    DocumentFixture::select(document, QStringLiteral("Images"));
    QCOMPARE(browser->browserPath(), bundle + QStringLiteral("/Images"));
    QVERIFY(model(browser, 1)->items().isEmpty());
    open(QStringLiteral("notes.txt"));
    QCOMPARE(document->contentView()->viewFor(notes), text);
    QCOMPARE(text->text(), QStringLiteral("edited"));

    EntryListModel *column = model(browser, 0);
    const std::unique_ptr<QMimeData> data(
        column->mimeData({column->index(int(column->items().indexOf(QStringLiteral("notes.txt"))), 1)}));
    QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(bundle + u'/' + notes)});
    QCOMPARE(Tree::read(bundle + u'/' + notes), QByteArray("edited"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!document->contentView()->viewFor(notes));
}

// Names inside a sub-folder are not its own; that the search is on names,
// case counting, tst_CommandSequences checks.
void tst_FolderBrowser::searchLooksOnlyAtItsOwnEntries()
{
    FolderView *view = openImagesInADocument();
    QVERIFY(view->searchString(u"Sub"_qs) && !view->searchString(u"deep"_qs));
}

QTEST_MAIN(tst_FolderBrowser)
#include "tst_FolderBrowser.moc"
