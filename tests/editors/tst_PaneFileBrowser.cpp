// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/GlossAquaTableView.h"
#include "editors/PaneFileBrowser.h"
#include "editors/EntryListModel.h"

#include "tests/common/Tree.h"

#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class tst_PaneFileBrowser : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columnZeroListsTheVisibleEntries_data();
    void columnZeroListsTheVisibleEntries();
    void fileInColumnZeroLeavesTheOthersEmpty();
    void folderInColumnZeroIsListedInColumnOne();
    void selectingInColumnTwoStepsDown();
    void leftArrowClearsFromTheRightAndNeverClimbsAboveTheRoot();
    void rightArrowSelectsTheFirstEntry();
    void doubleClickWithNothingSelectedReportsNothing();
    void dropOnAFolderRowLandsInTheColumnsFolder();
    void dropIntoItselfChangesNothing();
    void rebindingReturnsToTheRoot();
    void linkLoopNeverHangs();

private:
    void select(int column, const QString &name);
    QStringList items(int column) const { return m_browser->fileListItems(column); }
    QString selected(int column) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PaneFileBrowser> m_browser;
    QString m_root;
};

void tst_PaneFileBrowser::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_root = m_dir->filePath(QStringLiteral("Images"));
    Tree::write(m_root, QStringLiteral("A/B/c.txt"), "c");
    Tree::write(m_root, QStringLiteral("A/B/D/e.txt"), "e");
    Tree::write(m_root, QStringLiteral("f.txt"), "f");
    Tree::write(m_root, QStringLiteral(".hidden"), "h");
    m_browser = std::make_unique<PaneFileBrowser>();
    for (int column = 0; column < PaneFileBrowser::ColumnCount; ++column)
        m_browser->addWidget(new GlossAquaTableView);
    m_browser->resize(600, 300);
    m_browser->initBrowserWithPath(m_root);
}

void tst_PaneFileBrowser::cleanup()
{
    m_browser.reset();
    m_dir.reset();
}

void tst_PaneFileBrowser::select(int column, const QString &name)
{
    const int row = int(items(column).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name));
    m_browser->fileList(column)->selectRow(row);
}

QString tst_PaneFileBrowser::selected(int column) const
{
    const QModelIndexList rows = m_browser->fileList(column)->selectionModel()->selectedRows(EntryListModel::NameColumn);
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

void tst_PaneFileBrowser::columnZeroListsTheVisibleEntries_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("empty folder") << QStringList() << QStringList();
    QTest::newRow("hidden names left out") << QStringList{QStringLiteral(".DS_Store"), QStringLiteral("a.png")}
                                           << QStringList{QStringLiteral("a.png")};
    QTest::newRow("only hidden") << QStringList{QStringLiteral(".x")} << QStringList();
}

void tst_PaneFileBrowser::columnZeroListsTheVisibleEntries()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, listed);
    const QString folder = m_dir->filePath(QStringLiteral("Other"));
    QDir().mkpath(folder);
    for (const QString &entry : entries)
        Tree::write(folder, entry, "x");
    m_browser->initBrowserWithPath(folder);
    QCOMPARE(items(0), listed);
    QCOMPARE(m_browser->fileList(0)->model()->rowCount(), listed.size());
}

void tst_PaneFileBrowser::fileInColumnZeroLeavesTheOthersEmpty()
{
    select(0, QStringLiteral("f.txt"));
    QCOMPARE(items(1), QStringList());
    QCOMPARE(items(2), QStringList());
    QCOMPARE(m_browser->fileList(1)->model()->rowCount(), 0);
}

void tst_PaneFileBrowser::folderInColumnZeroIsListedInColumnOne()
{
    select(0, QStringLiteral("A"));
    QCOMPARE(items(1), QStringList{QStringLiteral("B")});
    QCOMPARE(m_browser->fileListPath(1), m_root + QStringLiteral("/A"));
    select(1, QStringLiteral("B"));
    QCOMPARE(m_browser->fileListPath(2), m_root + QStringLiteral("/A/B"));
    select(0, QStringLiteral("f.txt"));
    QCOMPARE(items(1), QStringList());
    QCOMPARE(items(2), QStringList());
}

void tst_PaneFileBrowser::selectingInColumnTwoStepsDown()
{
    select(0, QStringLiteral("A"));
    select(1, QStringLiteral("B"));
    select(2, QStringLiteral("c.txt"));
    QCOMPARE(m_browser->browserPath(), m_root + QStringLiteral("/A"));
    QCOMPARE(selected(0), QStringLiteral("B"));
    QCOMPARE(selected(1), QStringLiteral("c.txt"));
    QCOMPARE(items(2), QStringList());
    QSignalSpy opened(m_browser.get(), &PaneFileBrowser::openFileRequested);
    m_browser->openFile();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().first().toString(), m_root + QStringLiteral("/A/B/c.txt"));
}

void tst_PaneFileBrowser::leftArrowClearsFromTheRightAndNeverClimbsAboveTheRoot()
{
    select(0, QStringLiteral("A"));
    select(1, QStringLiteral("B"));
    select(2, QStringLiteral("D"));
    QCOMPARE(m_browser->browserPath(), m_root + QStringLiteral("/A"));
    select(2, QStringLiteral("e.txt"));
    QCOMPARE(m_browser->browserPath(), m_root + QStringLiteral("/A/B"));
    QCOMPARE(selected(1), QStringLiteral("e.txt"));

    m_browser->keyDown(Qt::Key_Left);
    QCOMPARE(selected(1), QString());
    QCOMPARE(selected(0), QStringLiteral("D"));
    m_browser->keyDown(Qt::Key_Left);
    QCOMPARE(m_browser->browserPath(), m_root + QStringLiteral("/A"));
    QCOMPARE(selected(0), items(0).first());
    m_browser->keyDown(Qt::Key_Left);
    QCOMPARE(m_browser->browserPath(), m_root);
    QCOMPARE(selected(0), items(0).first());
    m_browser->keyDown(Qt::Key_Left);
    QCOMPARE(m_browser->browserPath(), m_root);
    QCOMPARE(selected(0), items(0).first());
}

void tst_PaneFileBrowser::rightArrowSelectsTheFirstEntry()
{
    select(0, QStringLiteral("A"));
    m_browser->keyDown(Qt::Key_Right);
    QCOMPARE(selected(1), QStringLiteral("B"));
    QCOMPARE(m_browser->browserPath(), m_root);
    m_browser->keyDown(Qt::Key_Right);
    QCOMPARE(m_browser->browserPath(), m_root + QStringLiteral("/A"));
    QCOMPARE(selected(0), QStringLiteral("B"));
    QCOMPARE(selected(1), items(1).first());
}

void tst_PaneFileBrowser::doubleClickWithNothingSelectedReportsNothing()
{
    QSignalSpy opened(m_browser.get(), &PaneFileBrowser::openFileRequested);
    m_browser->openFile();
    QCOMPARE(opened.size(), 0);
}

void tst_PaneFileBrowser::dropOnAFolderRowLandsInTheColumnsFolder()
{
    const QString outside = m_dir->filePath(QStringLiteral("g.txt"));
    Tree::write(m_dir->path(), QStringLiteral("g.txt"), "g");
    auto *model = qobject_cast<EntryListModel *>(m_browser->fileList(0)->model());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(outside)});
    const QModelIndex folderRow = model->index(int(items(0).indexOf(QStringLiteral("A"))), 1);
    QVERIFY(model->dropMimeData(&data, Qt::MoveAction, folderRow.row(), 1, folderRow));
    QVERIFY(QFile::exists(m_root + QStringLiteral("/g.txt")));
    QVERIFY(!QFile::exists(m_root + QStringLiteral("/A/g.txt")));
    QVERIFY(items(0).contains(QStringLiteral("g.txt")));
}

void tst_PaneFileBrowser::dropIntoItselfChangesNothing()
{
    select(0, QStringLiteral("A"));
    select(1, QStringLiteral("B"));
    const auto before = Tree::snapshot(m_root);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_root + QStringLiteral("/A"))});
    auto *inside = qobject_cast<EntryListModel *>(m_browser->fileList(2)->model());
    inside->dropMimeData(&data, Qt::MoveAction, 0, 0, {});
    auto *itself = qobject_cast<EntryListModel *>(m_browser->fileList(1)->model());
    itself->dropMimeData(&data, Qt::MoveAction, 0, 0, {});
    QCOMPARE(Tree::snapshot(m_root), before);
}

void tst_PaneFileBrowser::rebindingReturnsToTheRoot()
{
    select(0, QStringLiteral("A"));
    select(1, QStringLiteral("B"));
    select(2, QStringLiteral("D"));
    QCOMPARE(m_browser->browserPath(), m_root + QStringLiteral("/A"));
    m_browser->initBrowserWithPath(m_root);
    QCOMPARE(m_browser->browserPath(), m_root);
    QCOMPARE(items(0), EntryListModel::visibleDirectoryContentsAtPath(m_root));
    QCOMPARE(items(1), QStringList());
    QCOMPARE(items(2), QStringList());
}

void tst_PaneFileBrowser::linkLoopNeverHangs()
{
    QVERIFY(QFile::link(m_root, m_root + QStringLiteral("/A/up")));
    select(0, QStringLiteral("A"));
    select(1, QStringLiteral("up"));
    select(2, QStringLiteral("A"));
    for (int step = 0; step < 6; ++step) {
        select(2, QStringLiteral("up"));
        select(2, QStringLiteral("A"));
    }
    QVERIFY(m_browser->browserPath().endsWith(QStringLiteral("/up/A")));
    for (int key = 0; key < 40 && m_browser->browserPath() != m_root; ++key)
        m_browser->keyDown(Qt::Key_Left);
    QCOMPARE(m_browser->browserPath(), m_root);
}

QTEST_MAIN(tst_PaneFileBrowser)
#include "tst_PaneFileBrowser.moc"
