// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FileListController.h"

#include "editors/MyFolderBrowserView.h"
#include "editors/MyImageFileView.h"
#include "editors/MyInfoPlistView.h"
#include "editors/MyTextFileView.h"
#include "platform/FileManager.h"

#include "tests/common/DocumentFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemModelTester>
#include <QLineEdit>

class tst_FileListController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }

    void modelIsWellBehaved();
    void entriesOpenByKind_data();
    void entriesOpenByKind();
    void searchFilter_data();
    void searchFilter();
    void switchingBackKeepsTypedText();
    void oneEditorPerFile();
    void followsTheFolderOnDisk();

private:
    QString path(const QString &name) const { return m_fixture->bundle() + u'/' + name; }

    std::unique_ptr<DocumentFixture> m_fixture;
    MyDocument *m_document = nullptr;
};

void tst_FileListController::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::writeBundle(m_fixture->bundle());
    m_document = m_fixture->open(m_fixture->bundle());
}

void tst_FileListController::modelIsWellBehaved()
{
    FileListController *list = m_document->fileListController();
    QAbstractItemModelTester tester(list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Hidden entries stay out; the file system's order, the same on every read.
    QCOMPARE(list->rowList(), EntryListModel::visibleDirectoryContentsAtPath(m_fixture->bundle()));
    QVERIFY(!list->rowList().contains(QStringLiteral(".DS_Store")));
    Tree::write(m_fixture->bundle(), QStringLiteral("new.js"), "x");
    list->reloadData();
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("main.html")));
    list->reloadData();
    QCOMPARE(list->data(list->index(0, EntryListModel::NameColumn), Qt::DisplayRole).toString(), list->rowList().first());
}

// The view an entry gets, at the top of the widget and inside a folder,
// where an Info.plist is only text.
void tst_FileListController::entriesOpenByKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("atTop");
    QTest::addColumn<QString>("inFolder");
    QTest::newRow("Info.plist") << u"Info.plist"_qs << u"MyInfoPlistView"_qs << u"MyTextFileView"_qs;
    QTest::newRow("INFO.PLIST") << u"INFO.PLIST"_qs << u"MyInfoPlistView"_qs << u"MyTextFileView"_qs;
    QTest::newRow("folder") << u"Sub/"_qs << u"MyFolderBrowserView"_qs << QString();
    QTest::newRow("no extension") << u"README"_qs << u"MyTextFileView"_qs << u"MyTextFileView"_qs;
    QTest::newRow("last extension counts") << u"archive.tar.gz"_qs << u"MyTextFileView"_qs << u"MyTextFileView"_qs;
    QTest::newRow("png") << u"Icon.png"_qs << u"MyImageFileView"_qs << u"MyImageFileView"_qs;
    QTest::newRow("tiff") << u"knob.tiff"_qs << u"MyImageFileView"_qs << u"MyImageFileView"_qs;
    QTest::newRow("upper-case extension is not an image") << u"PHOTO.PNG"_qs << u"MyTextFileView"_qs << u"MyTextFileView"_qs;
}

void tst_FileListController::entriesOpenByKind()
{
    QFETCH(QString, name);
    QFETCH(QString, atTop);
    QFETCH(QString, inFolder);
    const QString entry = name.chopped(name.endsWith(u'/') ? 1 : 0);
    for (const QString &folder : {QString(), QStringLiteral("Images/")}) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir().mkpath(path(folder + entry)));
        else
            QVERIFY(Tree::write(m_fixture->bundle(), folder + entry, "x"));
    }
    FileListController *list = m_document->fileListController();
    list->openFileAtPath(path(entry));
    QCOMPARE(QString::fromLatin1(list->contentViewWithIdentifier(entry)->metaObject()->className()), atTop);
    list->openFileAtPath(path(QStringLiteral("Images")));
    qobject_cast<MyFolderBrowserView *>(list->contentViewWithIdentifier(QStringLiteral("Images")))
        ->openFile(path(QStringLiteral("Images/") + entry));
    ContentView *inside = list->contentViewWithIdentifier(QStringLiteral("Images/") + entry);
    QCOMPARE(inside ? QString::fromLatin1(inside->metaObject()->className()) : QString(), inFolder);
    // What was opened last is what shows; a sub-folder shows the empty view.
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{inside ? inside->viewIdentifier() : QString()});
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
    Tree::write(m_fixture->bundle(), QStringLiteral("main.js"), "window.setTimeout(tick, 1000);");
    Tree::write(m_fixture->bundle(), QStringLiteral("setTimeout.txt"), "notes");
    Tree::write(m_fixture->bundle(), QStringLiteral("Images/notes.txt"), "call SETTIMEOUT twice");
    FileListController *list = m_document->fileListController();
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
    QCOMPARE(list->rowList(), EntryListModel::visibleDirectoryContentsAtPath(m_fixture->bundle()));
}

void tst_FileListController::switchingBackKeepsTypedText()
{
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("main.html")));
    auto *view = qobject_cast<MyTextFileView *>(m_document->contentView()->viewFor(QStringLiteral("main.html")));
    view->findChild<QsciScintilla *>()->insert(QStringLiteral("typed "));
    Tree::write(m_fixture->bundle(), QStringLiteral("main.html"), "changed on disk");
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("Info.plist")));
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QStringLiteral("Info.plist")});
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("main.html")));
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QStringLiteral("main.html")});
    QCOMPARE(view->text(), QStringLiteral("typed <html>old \u00e9</html>"));
    DocumentFixture::table(m_document)->clearSelection();
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QString()});
}

// However a file is reached (again, through a link inside the widget, by a
// second spelling), it has one editor, so no edit is written over by a twin.
void tst_FileListController::oneEditorPerFile()
{
    FileListController *list = m_document->fileListController();
    QVERIFY(QFile::link(QStringLiteral("main.html"), path(QStringLiteral("alias.html"))));
    list->openFileAtPath(path(QStringLiteral("main.html")));
    const qsizetype opened = list->contentViews().size();
    ContentView *view = list->contentViewWithIdentifier(QStringLiteral("main.html"));
    for (const QString &spelling : {QStringLiteral("main.html"), QStringLiteral("alias.html"), QStringLiteral("Images/../main.html")}) {
        list->openFileAtPath(path(spelling));
        QCOMPARE(list->contentViewWithIdentifier(spelling), view);
    }
    QCOMPARE(list->contentViews().size(), opened);
    QVERIFY(!list->contentViewWithIdentifier(QStringLiteral("nothing")));
}

void tst_FileListController::followsTheFolderOnDisk()
{
    FileListController *list = m_document->fileListController();
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("main.html")));
    Tree::write(m_fixture->bundle(), QStringLiteral("added.css"), "body {}");
    QTRY_VERIFY(list->rowList().contains(QStringLiteral("added.css")));
    QVERIFY(FileManager::removeItem(path(QStringLiteral("Info.plist"))));
    QTRY_VERIFY(!list->rowList().contains(QStringLiteral("Info.plist")));
    // The selection stays on its entry through refreshes; the area is untouched.
    const QModelIndexList selected = DocumentFixture::table(m_document)->selectionModel()->selectedRows(1);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data().toString(), QStringLiteral("main.html"));
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QStringLiteral("main.html")});
}

QTEST_MAIN(tst_FileListController)
#include "tst_FileListController.moc"
