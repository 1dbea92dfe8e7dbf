// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FileListController.h"

#include "app/ToolbarDelegate.h"
#include "editors/MyTextFileView.h"
#include "platform/FileManager.h"
#include "platform/Workspace.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/Tree.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>

class tst_FileOperations : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void add_data();
    void add();
    void copyInAFolder();
    void remove_data();
    void remove();
    void renameAnEditedFile();
    void renameToTheSameName();
    void renameRefusesClashesAndEscapes_data();
    void renameRefusesClashesAndEscapes();
    void renameOnTheFilteredList();
    void desktopEntryCommand();
    void dropMovesFilesIn();
    void dropOfTheBundleItselfChangesNothing();

private:
    QString path(const QString &name) const { return m_fixture->bundle() + u'/' + name; }
    FileListController *list() const { return m_document->fileListController(); }
    MyTextFileView *typeInto(const QString &name, const QString &text);
    void filter(const QString &text);
    static void fill(QDialog *sheet, const QString &name);
    static bool errorShown(QDialog *sheet);

    std::unique_ptr<DocumentFixture> m_fixture;
    MyDocument *m_document = nullptr;
    QList<Alert::Request> m_questions;
};

void tst_FileOperations::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_fixture->bundle(), QStringLiteral("main.js"), "var a;");
    Tree::write(m_fixture->bundle(), QStringLiteral("util.js"), "var u;");
    m_document = m_fixture->open(m_fixture->bundle());
    m_questions.clear();
}

void tst_FileOperations::cleanup()
{
    m_fixture.reset();
    Workspace::responder = nullptr;
}

MyTextFileView *tst_FileOperations::typeInto(const QString &name, const QString &text)
{
    DocumentFixture::select(m_document, name);
    auto *view = qobject_cast<MyTextFileView *>(list()->contentViewWithIdentifier(name));
    view->findChild<QsciScintilla *>()->insert(text);
    return view;
}

void tst_FileOperations::filter(const QString &text)
{
    m_document->toolbarDelegate()->searchView()->setText(text);
}

void tst_FileOperations::fill(QDialog *sheet, const QString &name)
{
    sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->setText(name);
}

bool tst_FileOperations::errorShown(QDialog *sheet)
{
    return !sheet->findChild<QLabel *>(QStringLiteral("errorLabel"))->isHidden();
}

void tst_FileOperations::add_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("created");
    QTest::newRow("folder") << QStringLiteral("scripts") << true << true;
    QTest::newRow("empty file") << QStringLiteral("style.css") << false << true;
    QTest::newRow("in an existing folder") << QStringLiteral("Images/new.js") << false << true;
    QTest::newRow("empty name") << QString() << false << false;
    QTest::newRow("existing name") << QStringLiteral("main.html") << false << false;
    QTest::newRow("climbing out") << QStringLiteral("../outside.txt") << false << false;
    QTest::newRow("absolute") << QStringLiteral("/tmp/outside.txt") << false << false;
}

void tst_FileOperations::add()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(bool, created);
    const auto before = Tree::snapshot(m_fixture->folder());
    list()->addFile();
    QDialog *sheet = list()->addPanel();
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    fill(sheet, name);
    sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->setChecked(folder);
    list()->addPanelOK();
    QCOMPARE(sheet->isVisible(), !created);
    QCOMPARE(errorShown(sheet), !created && !name.isEmpty());
    if (!created) {
        QCOMPARE(Tree::snapshot(m_fixture->folder()), before);
        list()->addPanelCancel();
        QVERIFY(!sheet->isVisible());
        QVERIFY(sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->text().isEmpty());
        return;
    }
    QCOMPARE(QFileInfo(path(name)).isDir(), folder);
    if (!folder)
        QCOMPARE(QFileInfo(path(name)).size(), 0);
    QCOMPARE(list()->rowList().contains(name.section(u'/', 0, 0)), true);
    QVERIFY(!sheet->findChild<QCheckBox *>(QStringLiteral("folderCheckbox"))->isChecked());
}

void tst_FileOperations::copyInAFolder()
{
    const QString outside = m_fixture->folder() + QStringLiteral("/Library");
    Tree::write(outside, QStringLiteral("a.js"), "a");
    Tree::write(outside, QStringLiteral("deep/b.css"), "b");
    bool sheetClosedFirst = false;
    OpenPanel::responder = [&](const OpenPanel::Options &options) {
        sheetClosedFirst = !list()->addPanel()->isVisible();
        return options.canChooseDirectories ? QStringList{outside} : QStringList();
    };
    list()->addFile();
    list()->addPanelBrowse();
    QVERIFY(sheetClosedFirst);
    QCOMPARE(Tree::snapshot(path(QStringLiteral("Library"))), Tree::snapshot(outside));
    QVERIFY(list()->rowList().contains(QStringLiteral("Library")));
}

void tst_FileOperations::remove_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("removed");
    QTest::newRow("no") << int(Alert::AlternateButton) << false;
    QTest::newRow("yes") << int(Alert::DefaultButton) << true;
}

void tst_FileOperations::remove()
{
    QFETCH(int, answer);
    QFETCH(bool, removed);
    typeInto(QStringLiteral("main.js"), QStringLiteral("edited "));
    Alert::responder = [this, answer](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::Response(answer);
    };
    list()->removeFile();
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_questions.first().title, QStringLiteral("Delete"));
    QCOMPARE(m_questions.first().message, QStringLiteral("Are you sure you would like remove the file main.js perminently? "
                                                         "Your unsaved edits to main.js will be lost."));
    QCOMPARE(m_questions.first().defaultButton, QStringLiteral("Yes"));
    QCOMPARE(m_questions.first().alternateButton, QStringLiteral("No"));
    QCOMPARE(QFileInfo::exists(path(QStringLiteral("main.js"))), !removed);
    QCOMPARE(list()->contentViewExistsWithIdentifier(QStringLiteral("main.js")), !removed);
    if (removed) {
        QCOMPARE(DocumentFixture::shownIdentifiers(m_document), QStringList{QString()});
        QVERIFY(!list()->rowList().contains(QStringLiteral("main.js")));
    } else {
        QCOMPARE(Tree::read(path(QStringLiteral("main.js"))), QByteArray("var a;"));
    }
}

void tst_FileOperations::renameAnEditedFile()
{
    MyTextFileView *view = typeInto(QStringLiteral("main.js"), QStringLiteral("edited "));
    list()->renameFile();
    QDialog *sheet = list()->renamePanel();
    QCOMPARE(sheet->findChild<QLineEdit *>(QStringLiteral("filenameField"))->text(), QStringLiteral("main.js"));
    fill(sheet, QStringLiteral("app.js"));
    list()->renamePanelOK();
    QVERIFY(!sheet->isVisible());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("main.js"))));
    QCOMPARE(Tree::read(path(QStringLiteral("app.js"))), QByteArray("edited var a;"));
    QCOMPARE(view->viewIdentifier(), QStringLiteral("app.js"));
    QCOMPARE(list()->contentViewWithIdentifier(QStringLiteral("app.js")), view);
    // It goes on editing the renamed file.
    view->findChild<QsciScintilla *>()->insert(QStringLiteral("more "));
    QVERIFY(m_document->saveDocument());
    QCOMPARE(Tree::read(path(QStringLiteral("app.js"))), QByteArray("more edited var a;"));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("main.js"))));
}

void tst_FileOperations::renameToTheSameName()
{
    typeInto(QStringLiteral("main.js"), QStringLiteral("edited "));
    list()->renameFile();
    list()->renamePanelOK();
    QCOMPARE(Tree::read(path(QStringLiteral("main.js"))), QByteArray("edited var a;"));
    QVERIFY(!list()->renamePanel()->isVisible());
}

void tst_FileOperations::renameRefusesClashesAndEscapes_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("existing entry") << QStringLiteral("util.js");
    QTest::newRow("climbing out") << QStringLiteral("../util.js");
}

void tst_FileOperations::renameRefusesClashesAndEscapes()
{
    QFETCH(QString, name);
    MyTextFileView *view = typeInto(QStringLiteral("main.js"), QStringLiteral("edited "));
    const auto before = Tree::snapshot(m_fixture->folder());
    list()->renameFile();
    fill(list()->renamePanel(), name);
    list()->renamePanelOK();
    QVERIFY(list()->renamePanel()->isVisible());
    QVERIFY(errorShown(list()->renamePanel()));
    QCOMPARE(Tree::snapshot(m_fixture->folder()), before);
    QCOMPARE(view->viewIdentifier(), QStringLiteral("main.js"));
    list()->renamePanelCancel();
}

void tst_FileOperations::renameOnTheFilteredList()
{
    filter(QStringLiteral("js"));
    QStringList rows = list()->rowList();
    QCOMPARE(rows.size(), 2);
    const QString second = rows.at(1);
    DocumentFixture::table(m_document)->selectRow(1);
    list()->renameFile();
    fill(list()->renamePanel(), QStringLiteral("renamed.js"));
    list()->renamePanelOK();
    QVERIFY(!QFileInfo::exists(path(second)));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("renamed.js"))));
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

void tst_FileOperations::dropMovesFilesIn()
{
    const QString outside = m_fixture->folder() + QStringLiteral("/Downloads");
    Tree::write(outside, QStringLiteral("one.png"), "1");
    Tree::write(outside, QStringLiteral("two/three.txt"), "3");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(outside + QStringLiteral("/one.png")), QUrl::fromLocalFile(outside + QStringLiteral("/two"))});
    QVERIFY(list()->canDropMimeData(&data, Qt::CopyAction, 1, 0, {}));
    QVERIFY(list()->dropMimeData(&data, Qt::CopyAction, 1, 0, {}));
    QVERIFY(FileManager::contentsOfDirectory(outside).isEmpty());
    QCOMPARE(Tree::read(path(QStringLiteral("one.png"))), QByteArray("1"));
    QCOMPARE(Tree::read(path(QStringLiteral("two/three.txt"))), QByteArray("3"));
    QVERIFY(list()->rowList().contains(QStringLiteral("two")));
    // Rows take no drops: a drop aimed at a row lands between rows.
    QVERIFY(!(list()->flags(list()->index(0, 1)) & Qt::ItemIsDropEnabled));
    QVERIFY(list()->flags(QModelIndex()) & Qt::ItemIsDropEnabled);
}

void tst_FileOperations::dropOfTheBundleItselfChangesNothing()
{
    // A link that leads to the folder holding the bundle counts as that folder.
    const QString alias = m_fixture->folder() + QStringLiteral("/Alias");
    QVERIFY(QFile::link(m_fixture->folder(), alias));
    const auto before = Tree::snapshot(m_fixture->folder());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_fixture->bundle()), QUrl::fromLocalFile(m_fixture->folder()),
                  QUrl::fromLocalFile(path(QStringLiteral("main.js"))), QUrl::fromLocalFile(alias)});
    list()->dropMimeData(&data, Qt::MoveAction, -1, -1, {});
    QCOMPARE(Tree::snapshot(m_fixture->folder()), before);
}

QTEST_MAIN(tst_FileOperations)
#include "tst_FileOperations.moc"
