// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FileListController.h"

#include "editors/ContentView.h"
#include "editors/MyImageFileView.h"
#include "editors/MyTextFileView.h"
#include "platform/FileManager.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QLineEdit>
#include <QTemporaryDir>

class tst_FileListController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modelIsWellBehaved();
    void fileKinds_data();
    void fileKinds();
    void listsVisibleEntriesWithTheirKinds();
    void untitledDocumentListsNothing();

    void searchFilter_data();
    void searchFilter();

    void switchingBackKeepsTypedText();
    void oneViewPerIdentifier();
    void deselectionShowsOnlyTheEmptyView();
    void folderIsShownByTheFolderView();
    void oneEditorPerFile();

    void followsTheFolderOnDisk();
    void paintingListsNoFolder();

private:
    MyDocument *openBundle();
    QString path(const QString &name) const { return m_bundle + u'/' + name; }

    std::unique_ptr<DocumentFixture> m_fixture;
    QString m_bundle;
};

void tst_FileListController::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    m_bundle = Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_bundle, QStringLiteral("Default.png"), QByteArray());
}

void tst_FileListController::cleanup()
{
    m_fixture.reset();
}

MyDocument *tst_FileListController::openBundle()
{
    MyDocument *document = m_fixture->open(m_bundle);
    Q_ASSERT(document);
    return document;
}

void tst_FileListController::modelIsWellBehaved()
{
    MyDocument *document = openBundle();
    QAbstractItemModelTester tester(document->fileListController(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    Tree::write(m_bundle, QStringLiteral("new.js"), "x");
    document->fileListController()->reloadData();
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
    document->fileListController()->reloadData();
}

void tst_FileListController::fileKinds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<int>("kind");
    QTest::newRow("Info.plist") << QStringLiteral("Info.plist") << false << 3;
    QTest::newRow("INFO.PLIST") << QStringLiteral("INFO.PLIST") << false << 3;
    QTest::newRow("folder named info.plist") << QStringLiteral("info.plist") << true << 1;
    QTest::newRow("folder") << QStringLiteral("Images") << true << 1;
    QTest::newRow("no extension") << QStringLiteral("Makefile") << false << 0;
    QTest::newRow("last extension counts") << QStringLiteral("archive.tar.gz") << false << 0;
    QTest::newRow("html") << QStringLiteral("main.html") << false << 0;
    QTest::newRow("png") << QStringLiteral("Default.png") << false << 2;
    QTest::newRow("gif") << QStringLiteral("anim.gif") << false << 2;
    QTest::newRow("tiff") << QStringLiteral("knob.tiff") << false << 2;
    QTest::newRow("upper-case extension is not an image") << QStringLiteral("PHOTO.PNG") << false << 0;
}

void tst_FileListController::fileKinds()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(int, kind);
    const QString entry = m_fixture->folder() + u'/' + name;
    if (folder)
        QVERIFY(QDir().mkpath(entry));
    else
        QVERIFY(Tree::write(m_fixture->folder(), name, "x"));
    QCOMPARE(FileListController::fileTypeForPath(entry), kind);
}

void tst_FileListController::listsVisibleEntriesWithTheirKinds()
{
    MyDocument *document = openBundle();
    QMap<QString, int> kinds;
    for (const QString &name : document->fileListController()->rowList())
        kinds[name] = FileListController::fileTypeForPath(path(name));
    const QMap<QString, int> expected{{QStringLiteral("Info.plist"), 3}, {QStringLiteral("main.html"), 0},
                                      {QStringLiteral("Default.png"), 2}, {QStringLiteral("Images"), 1}};
    QCOMPARE(kinds, expected);
    // The file system's order, the same on every read.
    QCOMPARE(document->fileListController()->rowList(),
             FileListController::visibleDirectoryContentsAtPath(m_bundle));
    QCOMPARE(document->fileListController()->data(document->fileListController()->index(0, 1), Qt::DisplayRole).toString(),
             document->fileListController()->rowList().first());
}

void tst_FileListController::untitledDocumentListsNothing()
{
    auto *document = qobject_cast<MyDocument *>(DocumentController::shared().newDocument());
    QSignalSpy reset(document->fileListController(), &QAbstractItemModel::modelReset);
    // The half-second delayed set-up fills the list.
    QTRY_COMPARE_WITH_TIMEOUT(reset.size(), 1, 10000);
    QCOMPARE(document->fileListController()->rowCount(), 0);
}

void tst_FileListController::searchFilter_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("name, any case") << QStringLiteral("MAIN.H") << QStringList{QStringLiteral("main.html")};
    QTest::newRow("names first, then open views in area order")
        << QStringLiteral("setTimeout")
        << QStringList{QStringLiteral("setTimeout.txt"), QStringLiteral("main.js"), QStringLiteral("Images")};
    QTest::newRow("nothing matches") << QStringLiteral("zebra") << QStringList();
}

void tst_FileListController::searchFilter()
{
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    Tree::write(m_bundle, QStringLiteral("main.js"), "window.setTimeout(tick, 1000);");
    Tree::write(m_bundle, QStringLiteral("setTimeout.txt"), "notes");
    Tree::write(m_bundle, QStringLiteral("Images/notes.txt"), "call SETTIMEOUT twice");
    MyDocument *document = openBundle();
    FileListController *list = document->fileListController();
    // Files opened before the search; never-opened files match by name only.
    list->openFileAtPath(path(QStringLiteral("main.js")));
    list->openFileAtPath(path(QStringLiteral("Images/notes.txt")));
    QLineEdit field;
    list->setSearchField(&field);
    field.setText(search);
    list->reloadData();
    QCOMPARE(list->rowList(), expected);
    field.clear();
    list->reloadData();
    QCOMPARE(list->rowList(), FileListController::visibleDirectoryContentsAtPath(m_bundle));
}

void tst_FileListController::switchingBackKeepsTypedText()
{
    MyDocument *document = openBundle();
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
    auto *view = qobject_cast<MyTextFileView *>(
        document->fileListController()->contentViewWithIdentifier(QStringLiteral("main.html")));
    QVERIFY(view);
    view->findChild<QsciScintilla *>()->insert(QStringLiteral("typed "));
    Tree::write(m_bundle, QStringLiteral("main.html"), "changed on disk");

    QVERIFY(DocumentFixture::select(document, QStringLiteral("Info.plist")));
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QStringLiteral("Info.plist")});
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));

    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QStringLiteral("main.html")});
    QCOMPARE(view->text(), QStringLiteral("typed <html>old \u00e9</html>"));
}

void tst_FileListController::oneViewPerIdentifier()
{
    MyDocument *document = openBundle();
    for (int i = 0; i < 5; ++i) {
        QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
        QVERIFY(DocumentFixture::select(document, QStringLiteral("Default.png")));
    }
    QStringList identifiers;
    for (ContentView *view : document->fileListController()->contentViews())
        identifiers.append(view->viewIdentifier());
    QCOMPARE(identifiers, (QStringList{QString(), QStringLiteral("main.html"), QStringLiteral("Default.png")}));
    QVERIFY(qobject_cast<MyImageFileView *>(
        document->fileListController()->contentViewWithIdentifier(QStringLiteral("Default.png"))));
}

void tst_FileListController::deselectionShowsOnlyTheEmptyView()
{
    MyDocument *document = openBundle();
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QString()});
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
    QVERIFY(DocumentFixture::select(document, QStringLiteral("Info.plist")));
    DocumentFixture::table(document)->clearSelection();
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QString()});
    QCOMPARE(document->fileListController()->contentViews().size(), 3);
}

void tst_FileListController::folderIsShownByTheFolderView()
{
    MyDocument *document = openBundle();
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
    QVERIFY(DocumentFixture::select(document, QStringLiteral("Images")));
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QStringLiteral("Images")});
}

// However a file is reached (a link inside the widget, a second spelling),
// it has one editor, so no edit can be written over by a stale twin.
void tst_FileListController::oneEditorPerFile()
{
    MyDocument *document = openBundle();
    FileListController *list = document->fileListController();
    QVERIFY(QFile::link(QStringLiteral("main.html"), path(QStringLiteral("alias.html"))));
    QVERIFY(!list->contentViewExistsWithIdentifier(QStringLiteral("main.html")));
    list->openFileAtPath(path(QStringLiteral("main.html")));
    const qsizetype opened = list->contentViews().size();
    ContentView *view = list->contentViewWithIdentifier(QStringLiteral("main.html"));
    for (const QString &spelling : {QStringLiteral("alias.html"), QStringLiteral("Images/../main.html")}) {
        list->openFileAtPath(path(spelling));
        QCOMPARE(list->contentViewWithIdentifier(spelling), view);
    }
    QCOMPARE(list->contentViews().size(), opened);
    QVERIFY(list->contentViewWithIdentifier(QString()));
    QVERIFY(!list->contentViewWithIdentifier(QStringLiteral("nothing")));
}

void tst_FileListController::followsTheFolderOnDisk()
{
    MyDocument *document = openBundle();
    FileListController *list = document->fileListController();
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
    Tree::write(m_bundle, QStringLiteral("added.css"), "body {}");
    QTRY_VERIFY(list->rowList().contains(QStringLiteral("added.css")));
    QVERIFY(FileManager::removeItem(path(QStringLiteral("Info.plist"))));
    QTRY_VERIFY(!list->rowList().contains(QStringLiteral("Info.plist")));
    // The selection stays on its entry through refreshes; the area is untouched.
    const QModelIndexList selected = DocumentFixture::table(document)->selectionModel()->selectedRows(1);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data().toString(), QStringLiteral("main.html"));
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QStringLiteral("main.html")});
}

void tst_FileListController::paintingListsNoFolder()
{
    MyDocument *document = openBundle();
    QTableView *table = DocumentFixture::table(document);
    table->resize(300, 400);
    const quint64 before = FileManager::listingCount();
    for (int i = 0; i < 3; ++i)
        table->grab();
    QCOMPARE(FileManager::listingCount(), before);
}

QTEST_MAIN(tst_FileListController)
#include "tst_FileListController.moc"
