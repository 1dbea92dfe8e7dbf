// SPDX-License-Identifier: GPL-2.0-or-later
// The bundle's file list: its rows, the views it opens, and Add, Copy In,
// Remove, Rename and drops, with what each does on disk and to the open
// editors, and the one message a failure gives.
#include "filelist/EntryOperations.h"
#include "filelist/FileListController.h"

#include "app/DocumentWindowCommands.h"
#include "editors/FolderView.h"
#include "editors/ImageView.h"
#include "editors/InfoPlistForm.h"
#include "editors/TextEditorView.h"
#include "platform/FileManager.h"

#include "tests/common/DocumentFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>

#include <sys/stat.h>

class tst_FileList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }

    void entriesOpenByKind_data();
    void entriesOpenByKind();
    void oneEditorPerFile();
    void followsTheFolderOnDisk();
    void add_data();
    void add();
    void copyInLeavesOutWhatItMustNotOpen();
    void rename_data();
    void rename();
    void drop_data();
    void drop();

private:
    QString path(const QString &name) const { return m_fixture->bundle() + u'/' + name; }
    FileListController *list() const { return m_document->fileListController(); }
    bool sheetSaysWhy(QDialog *sheet) const
    {
        return !sheet->findChild<QLabel *>(QStringLiteral("errorLabel"))->isHidden();
    }

    std::unique_ptr<DocumentFixture> m_fixture;
    WidgetDocument *m_document = nullptr;
};

void tst_FileList::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::write(Tree::writeBundle(m_fixture->bundle()),
                {{u"main.js"_qs, "var a;"}, {u"util.js"_qs, "var u;"}, {u"Images/notes.txt"_qs, "notes"}});
    m_document = m_fixture->open(m_fixture->bundle());
    m_fixture->answerAlerts(Alert::DefaultButton);
}

void tst_FileList::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("outcome"); // made, refused in the sheet, failed with a message
    // Files and folders at the top are made throughout tst_CommandSequences.
    QTest::newRow("a folder in an existing folder") << u"Images/Sub"_qs << true << u"made"_qs;
    QTest::newRow("empty name") << QString() << false << u"refused"_qs;
    QTest::newRow("existing name") << u"main.html"_qs << false << u"refused"_qs;
    QTest::newRow("climbing out") << u"../outside.txt"_qs << false << u"refused"_qs;
    QTest::newRow("absolute") << u"/tmp/outside.txt"_qs << false << u"refused"_qs;
    QTest::newRow("hidden, never listed") << u".hidden"_qs << true << u"refused"_qs;
    QTest::newRow("spaces alone, a blank row") << u"   "_qs << false << u"refused"_qs;
    QTest::newRow("name too long") << QString(300, u'n') << false << u"failed"_qs;
    QTest::newRow("into a missing folder") << u"Nowhere/new.js"_qs << true << u"failed"_qs;
}

void tst_FileList::add()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(QString, outcome);
    const auto before = Tree::snapshot(m_fixture->folder());
    list()->operations()->addFile();
    QDialog *sheet = list()->operations()->addPanel();
    QVERIFY(sheet->isVisible());
    sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->setText(name);
    sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->setChecked(folder);
    sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->setFocus();
    list()->operations()->addPanelOK();
    QCOMPARE(sheet->isVisible(), outcome != u"made");
    QCOMPARE(sheetSaysWhy(sheet), outcome == u"refused" && !name.isEmpty());
    // Wrapped to the sheet's width, which grows tall enough for it.
    QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("errorLabel"))->wordWrap()
            && sheet->height() >= sheet->heightForWidth(sheet->width()));
    QCOMPARE(m_fixture->alerts.size(), outcome == u"failed" ? 1 : 0);
    if (outcome == u"made") {
        QCOMPARE(QFileInfo(path(name)).isDir(), folder);
        QVERIFY(folder || QFileInfo(path(name)).size() == 0);
        QVERIFY(list()->rowList().contains(name.section(u'/', 0, 0)));
        QVERIFY(!sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->isChecked());
        list()->operations()->addFile(); // typing can start at once
        QCOMPARE(sheet->focusWidget(), sheet->findChild<QLineEdit *>(QStringLiteral("filenameField")));
        return;
    }
    QCOMPARE(Tree::snapshot(m_fixture->folder()), before);
    if (outcome == u"failed")
        QVERIFY(m_fixture->alerts.first().message.contains(name)
                && m_fixture->alerts.first().icon == Alert::Icon::Critical);
    sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->clear();
    QVERIFY(!sheetSaysWhy(sheet));
    list()->operations()->addPanelCancel();
    QVERIFY(!sheet->isVisible());
    QVERIFY(sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->text().isEmpty());
}

void tst_FileList::copyInLeavesOutWhatItMustNotOpen()
{
    const QString outside = m_fixture->folder() + QStringLiteral("/Library");
    Tree::write(outside, QStringLiteral("deep/b.css"), "b");
    const auto copied = Tree::snapshot(outside);
    QCOMPARE(::mkfifo(QFile::encodeName(outside + QStringLiteral("/pipe")).constData(), 0600), 0);
    bool sheetClosedFirst = false;
    OpenPanel::responder = [&](const OpenPanel::Options &options) {
        sheetClosedFirst = !list()->operations()->addPanel()->isVisible();
        return options.canChooseDirectories ? QStringList{outside} : QStringList();
    };
    list()->operations()->addFile();
    list()->operations()->addPanelBrowse();
    QVERIFY(sheetClosedFirst);
    QCOMPARE(Tree::snapshot(path(QStringLiteral("Library"))), copied);
    QVERIFY(list()->rowList().contains(QStringLiteral("Library")));
    QCOMPARE(m_fixture->alerts.size(), 1);
    QCOMPARE(m_fixture->alerts.first().icon, Alert::Icon::Information);
    QVERIFY(m_fixture->alerts.first().message.contains(outside + QStringLiteral("/pipe")));
}

void tst_FileList::rename_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("edited"); // the file typed into before, under its old name
    QTest::addColumn<bool>("renamed");
    QTest::newRow("an edited file") << u"main.js"_qs << u"app.js"_qs << u"main.js"_qs << true;
    QTest::newRow("same name saves") << u"main.js"_qs << u"main.js"_qs << u"main.js"_qs << true;
    QTest::newRow("a folder with an edited file inside")
        << u"Images"_qs << u"Pictures"_qs << u"Images/notes.txt"_qs << true;
    QTest::newRow("onto an existing entry") << u"main.js"_qs << u"util.js"_qs << u"main.js"_qs << false;
    QTest::newRow("climbing out") << u"main.js"_qs << u"../util.js"_qs << u"main.js"_qs << false;
    QTest::newRow("to a hidden name") << u"main.js"_qs << u".main.js"_qs << u"main.js"_qs << false;
}

void tst_FileList::rename()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, edited);
    QFETCH(bool, renamed);
    TextEditorView *view = m_fixture->typeInto(edited, QStringLiteral("edited "));
    const QString text = view->text();
    // On the list filtered by the search field, as well as on the whole list.
    m_document->windowCommands()->searchView()->setText(QStringLiteral("edited"));
    QTRY_COMPARE(list()->rowList(), QStringList{from}); // once typing pauses
    DocumentFixture::table(m_document)->selectRow(0);
    const auto before = Tree::snapshot(m_fixture->folder());
    list()->operations()->renameFile();
    QDialog *sheet = list()->operations()->renamePanel();
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->text(), from);
    sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->setText(to);
    list()->operations()->renamePanelOK();

    QCOMPARE(sheet->isVisible(), !renamed);
    QCOMPARE(sheetSaysWhy(sheet), !renamed);
    if (!renamed) {
        QCOMPARE(Tree::snapshot(m_fixture->folder()), before);
        QCOMPARE(view->viewIdentifier(), edited);
        return;
    }
    // The editor follows its file, edits and all; a search shows no row for the old name.
    const QString now = to + edited.mid(from.size());
    QCOMPARE(view->viewIdentifier(), now);
    QCOMPARE(list()->contentViewWithIdentifier(now), view);
    QCOMPARE(list()->rowList(), QStringList{to});
    QVERIFY(to == from || !QFileInfo::exists(path(from)));
    // Its own edits are written before it moves, or when OK keeps its name.
    if (edited == from)
        QCOMPARE(Tree::read(path(now)), text.toUtf8());
    view->findChild<QsciScintilla *>()->append(QStringLiteral(" more"));
    QVERIFY(m_document->saveDocument());
    QCOMPARE(Tree::read(path(now)), (text + QStringLiteral(" more")).toUtf8());
    QVERIFY(to == from || !QFileInfo::exists(path(from)));
}

void tst_FileList::drop_data()
{
    QTest::addColumn<QStringList>("items"); // relative to the folder that holds the bundle
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("movedIn");
    QTest::addColumn<int>("messages");
    QTest::newRow("files and folders move in") << QStringList{u"Downloads/one.png"_qs, u"Downloads/two"_qs} << true
                                               << QStringList{u"one.png"_qs, u"two/three.txt"_qs} << 0;
    // Refused, so that the drag source keeps its file.
    QTest::newRow("a name already there") << QStringList{u"Downloads/main.js"_qs} << false << QStringList() << 1;
    // A link to the folder that holds the bundle counts as that folder.
    QTest::newRow("the bundle, its folder, its own entry, a link to its folder")
        << QStringList{u"Clock.wdgt"_qs, QString(), u"Clock.wdgt/main.js"_qs, u"Alias"_qs} << false << QStringList()
        << 0;
}

void tst_FileList::drop()
{
    QFETCH(QStringList, items);
    QFETCH(bool, accepted);
    QFETCH(QStringList, movedIn);
    QFETCH(int, messages);
    const QString folder = m_fixture->folder();
    Tree::write(
        folder,
        {{u"Downloads/one.png"_qs, "1"}, {u"Downloads/two/three.txt"_qs, "3"}, {u"Downloads/main.js"_qs, "theirs"}});
    QVERIFY(QFile::link(folder, folder + QStringLiteral("/Alias")));
    auto expected = Tree::snapshot(folder);
    for (const QString &moved : movedIn) {
        expected.insert(QStringLiteral("Clock.wdgt/") + moved, expected.take(QStringLiteral("Downloads/") + moved));
        if (moved.contains(u'/'))
            expected.insert(QStringLiteral("Clock.wdgt/") + moved.section(u'/', 0, 0),
                            expected.take(QStringLiteral("Downloads/") + moved.section(u'/', 0, 0)));
    }
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &item : items)
        urls.append(QUrl::fromLocalFile(QDir::cleanPath(folder + u'/' + item)));
    data.setUrls(urls);
    QVERIFY(DocumentFixture::select(m_document, QStringLiteral("util.js")));

    QCOMPARE(list()->dropMimeData(&data, Qt::MoveAction, 1, 0, {}), accepted);
    QCOMPARE(Tree::snapshot(folder), expected);
    // Entries the drop added above it leave the selection on its entry.
    QCOMPARE(DocumentFixture::table(m_document)->selectionModel()->selectedRows(1).value(0).data().toString(),
             u"util.js"_qs);
    QCOMPARE(m_fixture->alerts.size(), messages);
    for (const QString &moved : movedIn)
        QVERIFY(list()->rowList().contains(moved.section(u'/', 0, 0)));
    // Rows take no drops: a drop aimed at a row lands between rows.
    QVERIFY(!(list()->flags(list()->index(0, 1)) & Qt::ItemIsDropEnabled));
}

// The view an entry gets, at the top of the widget and inside a folder,
// where an Info.plist is only text.
void tst_FileList::entriesOpenByKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("atTop");
    QTest::addColumn<int>("inFolder");
    QTest::newRow("Info.plist") << u"Info.plist"_qs << int(ContentView::InfoPlistKind) << int(ContentView::TextKind);
    QTest::newRow("INFO.PLIST") << u"INFO.PLIST"_qs << int(ContentView::InfoPlistKind) << int(ContentView::TextKind);
    QTest::newRow("folder") << u"Sub/"_qs << int(ContentView::FolderKind) << -1;
    QTest::newRow("no extension") << u"README"_qs << int(ContentView::TextKind) << int(ContentView::TextKind);
    QTest::newRow("last extension counts")
        << u"archive.tar.gz"_qs << int(ContentView::TextKind) << int(ContentView::TextKind);
    QTest::newRow("png") << u"Icon.png"_qs << int(ContentView::ImageKind) << int(ContentView::ImageKind);
    QTest::newRow("tiff") << u"knob.tiff"_qs << int(ContentView::ImageKind) << int(ContentView::ImageKind);
    // A picture opened as text would be destroyed by its first save.
    QTest::newRow("upper-case extension")
        << u"PHOTO.JPG"_qs << int(ContentView::ImageKind) << int(ContentView::ImageKind);
}

// The kind of file a view edits, by the view's class; -1 for none.
static int kindOf(const ContentView *view)
{
    if (qobject_cast<const InfoPlistForm *>(view))
        return ContentView::InfoPlistKind;
    if (qobject_cast<const TextEditorView *>(view))
        return ContentView::TextKind;
    if (qobject_cast<const ImageView *>(view))
        return ContentView::ImageKind;
    return qobject_cast<const FolderView *>(view) ? ContentView::FolderKind : -1;
}

void tst_FileList::entriesOpenByKind()
{
    QFETCH(QString, name);
    QFETCH(int, atTop);
    QFETCH(int, inFolder);
    const QString entry = name.chopped(name.endsWith(u'/') ? 1 : 0);
    for (const QString &folder : {QString(), QStringLiteral("Images/")}) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir().mkpath(path(folder + entry)));
        else
            QVERIFY(Tree::write(m_fixture->bundle(), folder + entry, "x"));
    }
    FileListController *list = m_document->fileListController();
    list->openFileAtPath(path(entry));
    QCOMPARE(kindOf(list->contentViewWithIdentifier(entry)), atTop);
    list->openFileAtPath(path(QStringLiteral("Images")));
    qobject_cast<FolderView *>(list->contentViewWithIdentifier(QStringLiteral("Images")))
        ->openFile(path(QStringLiteral("Images/") + entry));
    ContentView *inside = list->contentViewWithIdentifier(QStringLiteral("Images/") + entry);
    QCOMPARE(kindOf(inside), inFolder);
    // What was opened last is what shows; a sub-folder shows the empty view.
    QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{inside ? inside->viewIdentifier() : QString()});
}

// However a file is reached (again, through a link inside the widget, by a
// second spelling), it has one editor, so no edit is written over by a twin.
void tst_FileList::oneEditorPerFile()
{
    FileListController *list = m_document->fileListController();
    QVERIFY(QFile::link(QStringLiteral("main.html"), path(QStringLiteral("alias.html"))));
    list->openFileAtPath(path(QStringLiteral("main.html")));
    const qsizetype opened = list->contentViews().size();
    ContentView *view = list->contentViewWithIdentifier(QStringLiteral("main.html"));
    for (const QString &spelling :
         {QStringLiteral("main.html"), QStringLiteral("alias.html"), QStringLiteral("Images/../main.html")}) {
        list->openFileAtPath(path(spelling));
        QCOMPARE(list->contentViewWithIdentifier(spelling), view);
    }
    QCOMPARE(list->contentViews().size(), opened);
    QVERIFY(!list->contentViewWithIdentifier(QStringLiteral("nothing")));
}

// The model stays well behaved throughout; hidden entries stay out.
void tst_FileList::followsTheFolderOnDisk()
{
    FileListController *list = m_document->fileListController();
    QAbstractItemModelTester tester(list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(!list->rowList().contains(QStringLiteral(".DS_Store")));
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
    QCOMPARE(list->data(list->index(0, EntryListModel::NameColumn), Qt::DisplayRole).toString(),
             list->rowList().first());
}

QTEST_MAIN(tst_FileList)
#include "tst_FileList.moc"
