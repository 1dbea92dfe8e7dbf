// SPDX-License-Identifier: GPL-2.0-or-later
// Add, Copy In, Remove, Rename and drops on the file list: what each does on
// disk and to the open editors, and the one message a failure gives.
#include "filelist/FileListController.h"

#include "app/ToolbarDelegate.h"
#include "editors/MyTextFileView.h"
#include "platform/Workspace.h"

#include "tests/common/DocumentFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>

#include <sys/stat.h>

class tst_FileOperations : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }

    void add_data();
    void add();
    void copyInLeavesOutWhatItMustNotOpen();
    void remove_data();
    void remove();
    void rename_data();
    void rename();
    void drop_data();
    void drop();
    void desktopEntryCommand();

private:
    QString path(const QString &name) const { return m_fixture->bundle() + u'/' + name; }
    FileListController *list() const { return m_document->fileListController(); }
    MyTextFileView *typeInto(const QString &name, const QString &text);
    bool sheetSaysWhy(QDialog *sheet) const
    {
        return !sheet->findChild<QLabel *>(QStringLiteral("errorLabel"))->isHidden();
    }

    std::unique_ptr<DocumentFixture> m_fixture;
    MyDocument *m_document = nullptr;
    QList<Alert::Request> m_alerts;
};

void tst_FileOperations::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_fixture->bundle(), QStringLiteral("main.js"), "var a;");
    Tree::write(m_fixture->bundle(), QStringLiteral("util.js"), "var u;");
    Tree::write(m_fixture->bundle(), QStringLiteral("Images/notes.txt"), "notes");
    m_document = m_fixture->open(m_fixture->bundle());
    m_alerts.clear();
    Alert::responder = [this](const Alert::Request &request) {
        m_alerts.append(request);
        return Alert::DefaultButton;
    };
}

MyTextFileView *tst_FileOperations::typeInto(const QString &name, const QString &text)
{
    list()->openFileAtPath(path(name));
    auto *view = qobject_cast<MyTextFileView *>(list()->contentViewWithIdentifier(name));
    view->findChild<QsciScintilla *>()->insert(text);
    return view;
}

void tst_FileOperations::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("outcome"); // made, refused in the sheet, failed with a message
    QTest::newRow("folder") << u"scripts"_qs << true << u"made"_qs;
    QTest::newRow("empty file") << u"style.css"_qs << false << u"made"_qs;
    QTest::newRow("in an existing folder") << u"Images/new.js"_qs << false << u"made"_qs;
    QTest::newRow("empty name") << QString() << false << u"refused"_qs;
    QTest::newRow("existing name") << u"main.html"_qs << false << u"refused"_qs;
    QTest::newRow("climbing out") << u"../outside.txt"_qs << false << u"refused"_qs;
    QTest::newRow("absolute") << u"/tmp/outside.txt"_qs << false << u"refused"_qs;
    QTest::newRow("name too long") << QString(300, u'n') << false << u"failed"_qs;
    QTest::newRow("into a missing folder") << u"Nowhere/new.js"_qs << true << u"failed"_qs;
}

void tst_FileOperations::add()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(QString, outcome);
    const auto before = Tree::snapshot(m_fixture->folder());
    list()->addFile();
    QDialog *sheet = list()->addPanel();
    QVERIFY(sheet->isVisible());
    sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->setText(name);
    sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->setChecked(folder);
    list()->addPanelOK();
    QCOMPARE(sheet->isVisible(), outcome != u"made");
    QCOMPARE(sheetSaysWhy(sheet), outcome == u"refused" && !name.isEmpty());
    QCOMPARE(m_alerts.size(), outcome == u"failed" ? 1 : 0);
    if (outcome == u"made") {
        QCOMPARE(QFileInfo(path(name)).isDir(), folder);
        QVERIFY(folder || QFileInfo(path(name)).size() == 0);
        QVERIFY(list()->rowList().contains(name.section(u'/', 0, 0)));
        QVERIFY(!sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->isChecked());
        return;
    }
    QCOMPARE(Tree::snapshot(m_fixture->folder()), before);
    if (outcome == u"failed")
        QVERIFY(m_alerts.first().message.contains(name));
    list()->addPanelCancel();
    QVERIFY(!sheet->isVisible());
    QVERIFY(sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->text().isEmpty());
}

void tst_FileOperations::copyInLeavesOutWhatItMustNotOpen()
{
    const QString outside = m_fixture->folder() + QStringLiteral("/Library");
    Tree::write(outside, QStringLiteral("deep/b.css"), "b");
    const auto copied = Tree::snapshot(outside);
    QCOMPARE(::mkfifo(QFile::encodeName(outside + QStringLiteral("/pipe")).constData(), 0600), 0);
    bool sheetClosedFirst = false;
    OpenPanel::responder = [&](const OpenPanel::Options &options) {
        sheetClosedFirst = !list()->addPanel()->isVisible();
        return options.canChooseDirectories ? QStringList{outside} : QStringList();
    };
    list()->addFile();
    list()->addPanelBrowse();
    QVERIFY(sheetClosedFirst);
    QCOMPARE(Tree::snapshot(path(QStringLiteral("Library"))), copied);
    QVERIFY(list()->rowList().contains(QStringLiteral("Library")));
    QCOMPARE(m_alerts.size(), 1);
    QCOMPARE(m_alerts.first().icon, Alert::Icon::Information);
    QVERIFY(m_alerts.first().message.contains(outside + QStringLiteral("/pipe")));
}

void tst_FileOperations::remove_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("answer");
    QTest::newRow("an edited file, kept") << u"main.js"_qs << int(Alert::AlternateButton);
    QTest::newRow("an edited file, removed") << u"main.js"_qs << int(Alert::DefaultButton);
    QTest::newRow("a folder with an edited file inside") << u"Images"_qs << int(Alert::DefaultButton);
}

void tst_FileOperations::remove()
{
    QFETCH(QString, name);
    QFETCH(int, answer);
    const QString edited = name == u"Images" ? QStringLiteral("Images/notes.txt") : name;
    typeInto(edited, QStringLiteral("edited "));
    const QByteArray old = Tree::read(path(edited));
    DocumentFixture::select(m_document, name);
    Alert::responder = [this, answer](const Alert::Request &request) {
        m_alerts.append(request);
        return Alert::Response(answer);
    };
    list()->removeFile();
    QCOMPARE(m_alerts.size(), 1);
    QCOMPARE(m_alerts.first().message, QStringLiteral("Are you sure you would like remove the file %1 perminently? "
                                                      "Your unsaved edits to %2 will be lost.").arg(name, edited));
    QCOMPARE(m_alerts.first().icon, Alert::Icon::Warning);
    const bool removed = answer == Alert::DefaultButton;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(QFileInfo::exists(path(name)), !removed);
    QCOMPARE(list()->contentViewExistsWithIdentifier(edited), !removed);
    QCOMPARE(list()->rowList().contains(name), !removed);
    QCOMPARE(m_document->isDocumentEdited(), !removed);
    if (!removed)
        QCOMPARE(Tree::read(path(edited)), old);
}

void tst_FileOperations::rename_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("edited"); // the file typed into before, under its old name
    QTest::addColumn<bool>("renamed");
    QTest::newRow("an edited file") << u"main.js"_qs << u"app.js"_qs << u"main.js"_qs << true;
    QTest::newRow("same name saves") << u"main.js"_qs << u"main.js"_qs << u"main.js"_qs << true;
    QTest::newRow("a folder with an edited file inside") << u"Images"_qs << u"Pictures"_qs << u"Images/notes.txt"_qs << true;
    QTest::newRow("onto an existing entry") << u"main.js"_qs << u"util.js"_qs << u"main.js"_qs << false;
    QTest::newRow("climbing out") << u"main.js"_qs << u"../util.js"_qs << u"main.js"_qs << false;
}

void tst_FileOperations::rename()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, edited);
    QFETCH(bool, renamed);
    MyTextFileView *view = typeInto(edited, QStringLiteral("edited "));
    const QString text = view->text();
    // On the list filtered by the search field, as well as on the whole list.
    m_document->toolbarDelegate()->searchView()->setText(QStringLiteral("edited"));
    QCOMPARE(list()->rowList(), QStringList{from});
    DocumentFixture::table(m_document)->selectRow(0);
    const auto before = Tree::snapshot(m_fixture->folder());
    list()->renameFile();
    QDialog *sheet = list()->renamePanel();
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->text(), from);
    sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->setText(to);
    list()->renamePanelOK();

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
    view->findChild<QsciScintilla *>()->append(QStringLiteral(" more"));
    QVERIFY(m_document->saveDocument());
    QCOMPARE(Tree::read(path(now)), (text + QStringLiteral(" more")).toUtf8());
    QVERIFY(to == from || !QFileInfo::exists(path(from)));
}

void tst_FileOperations::drop_data()
{
    QTest::addColumn<QStringList>("items"); // relative to the folder that holds the bundle
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("movedIn");
    QTest::addColumn<int>("messages");
    QTest::newRow("files and folders move in")
        << QStringList{u"Downloads/one.png"_qs, u"Downloads/two"_qs} << true << QStringList{u"one.png"_qs, u"two/three.txt"_qs} << 0;
    // Refused, so that the drag source keeps its file.
    QTest::newRow("a name already there") << QStringList{u"Downloads/main.js"_qs} << false << QStringList() << 1;
    // A link to the folder that holds the bundle counts as that folder.
    QTest::newRow("the bundle, its folder, its own entry, a link to its folder")
        << QStringList{u"Clock.wdgt"_qs, QString(), u"Clock.wdgt/main.js"_qs, u"Alias"_qs} << false << QStringList() << 0;
}

void tst_FileOperations::drop()
{
    QFETCH(QStringList, items);
    QFETCH(bool, accepted);
    QFETCH(QStringList, movedIn);
    QFETCH(int, messages);
    const QString folder = m_fixture->folder();
    Tree::write(folder, QStringLiteral("Downloads/one.png"), "1");
    Tree::write(folder, QStringLiteral("Downloads/two/three.txt"), "3");
    Tree::write(folder, QStringLiteral("Downloads/main.js"), "theirs");
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

    QCOMPARE(list()->dropMimeData(&data, Qt::MoveAction, 1, 0, {}), accepted);
    QCOMPARE(Tree::snapshot(folder), expected);
    QCOMPARE(m_alerts.size(), messages);
    for (const QString &moved : movedIn)
        QVERIFY(list()->rowList().contains(moved.section(u'/', 0, 0)));
    // Rows take no drops: a drop aimed at a row lands between rows.
    QVERIFY(!(list()->flags(list()->index(0, 1)) & Qt::ItemIsDropEnabled));
}

void tst_FileOperations::desktopEntryCommand()
{
    Tree::write(m_fixture->folder(), QStringLiteral("editor.desktop"),
                "[Desktop Entry]\nName=Editor\nExec=\"/opt/my editor/bin/edit\" --new-window %U %i\n"
                "[Desktop Action Other]\nExec=other %f\n");
    Tree::write(m_fixture->folder(), QStringLiteral("plain.desktop"), "[Desktop Entry]\nExec=viewer --fast\n");
    const QString file = QStringLiteral("/tmp/a b.js");
    QCOMPARE(Workspace::desktopEntryCommand(m_fixture->folder() + QStringLiteral("/editor.desktop"), file),
             (QStringList{QStringLiteral("/opt/my editor/bin/edit"), QStringLiteral("--new-window"), file}));
    QCOMPARE(Workspace::desktopEntryCommand(m_fixture->folder() + QStringLiteral("/plain.desktop"), file),
             (QStringList{QStringLiteral("viewer"), QStringLiteral("--fast"), file}));
    QVERIFY(Workspace::desktopEntryCommand(m_fixture->folder() + QStringLiteral("/missing.desktop"), file).isEmpty());
}

QTEST_MAIN(tst_FileOperations)
#include "tst_FileOperations.moc"
