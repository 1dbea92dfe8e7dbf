// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileManager.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class tst_FileManager : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void contentsListsOneLevelWithHiddenEntries();
    void contentsOfUnlistablePathIsEmpty();
    void linksAreFollowedForTests();

    void copyReproducesTheTree();
    void copyNeverReplaces_data();
    void copyNeverReplaces();
    void copyRefusesToCopyIntoItself();

    void moveNeverReplaces();
    void moveAcrossFileSystems();
    void moveRefusesToMoveIntoItself();

    void replaceSwapsInTheNewEntry();
    void removeDeletesTheTreeButNotWhatLinksPointAt();

private:
    QString makeBundle(const QString &name);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_FileManager::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString tst_FileManager::makeBundle(const QString &name)
{
    const QString root = Tree::writeBundle(m_dir->filePath(name));
    QFile::link(QStringLiteral("Images/back.png"), root + QStringLiteral("/relative-link"));
    // A link back up the tree must not make a copy run away.
    QFile::link(QStringLiteral(".."), root + QStringLiteral("/Images/loop"));
    return root;
}

void tst_FileManager::contentsListsOneLevelWithHiddenEntries()
{
    const QString root = makeBundle(QStringLiteral("A.wdgt"));
    QStringList names = FileManager::contentsOfDirectory(root);
    QStringList expected{QStringLiteral(".DS_Store"), QStringLiteral("Images"), QStringLiteral("Info.plist"),
                         QStringLiteral("main.html"), QStringLiteral("relative-link")};
    // The order is the file system's, the same on every call.
    QCOMPARE(FileManager::contentsOfDirectory(root), names);
    names.sort();
    QCOMPARE(names, expected);
}

void tst_FileManager::contentsOfUnlistablePathIsEmpty()
{
    QVERIFY(FileManager::contentsOfDirectory(m_dir->filePath(QStringLiteral("missing"))).isEmpty());
    Tree::write(m_dir->path(), QStringLiteral("file"), "x");
    QVERIFY(FileManager::contentsOfDirectory(m_dir->filePath(QStringLiteral("file"))).isEmpty());
}

void tst_FileManager::linksAreFollowedForTests()
{
    const QString root = makeBundle(QStringLiteral("A.wdgt"));
    QVERIFY(FileManager::isDirectory(root + QStringLiteral("/Images/loop")));
    QVERIFY(FileManager::exists(root + QStringLiteral("/relative-link")));
    QVERIFY(!FileManager::isDirectory(root + QStringLiteral("/relative-link")));
    QVERIFY(!FileManager::exists(root + QStringLiteral("/nothing")));
    QVERIFY(!FileManager::exists(QString()));
    QVERIFY(FileManager::createDirectory(root + QStringLiteral("/New")));
    QVERIFY(!FileManager::createDirectory(root + QStringLiteral("/New")));
    QVERIFY(!FileManager::createDirectory(root + QStringLiteral("/no/parent")));
}

void tst_FileManager::copyReproducesTheTree()
{
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    QFile::setPermissions(source + QStringLiteral("/main.html"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(source + QStringLiteral("/Info.plist"), QFile::ReadOwner | QFile::ReadOther);
    const auto before = Tree::snapshot(source);
    // A FIFO is left out, and said to be: opening it would wait for a writer.
    const QString fifo = source + QStringLiteral("/Images/pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString copy = m_dir->filePath(QStringLiteral("B.wdgt"));
    const Outcome copied = FileManager::copyItem(source, copy);
    QVERIFY(copied);
    QCOMPARE(copied.skipped(), QStringList{fifo});
    QCOMPARE(Tree::snapshot(copy), before);
    QCOMPARE(QFileInfo(copy + QStringLiteral("/relative-link")).symLinkTarget(),
             copy + QStringLiteral("/Images/back.png"));
    QVERIFY(QFileInfo(copy + QStringLiteral("/main.html")).permissions() & QFile::ExeOwner);
    // A copy out of a read-only bundle is the user's to edit.
    QVERIFY(QFileInfo(copy + QStringLiteral("/Info.plist")).permissions() & QFile::WriteOwner);
}

void tst_FileManager::copyNeverReplaces_data()
{
    QTest::addColumn<bool>("destinationIsFolder");
    QTest::newRow("onto a folder") << true;
    QTest::newRow("onto a file") << false;
}

void tst_FileManager::copyNeverReplaces()
{
    QFETCH(bool, destinationIsFolder);
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    const QString target = m_dir->filePath(QStringLiteral("B.wdgt"));
    if (destinationIsFolder)
        Tree::write(target, QStringLiteral("keep.txt"), "mine");
    else
        Tree::write(m_dir->path(), QStringLiteral("B.wdgt"), "mine");
    const auto before = Tree::snapshot(m_dir->path());
    QVERIFY(!FileManager::copyItem(source, target));
    QVERIFY(!FileManager::moveItem(source, target));
    QCOMPARE(Tree::snapshot(m_dir->path()), before);
}

void tst_FileManager::copyRefusesToCopyIntoItself()
{
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    const auto before = Tree::snapshot(m_dir->path());
    QVERIFY(!FileManager::copyItem(source, source + QStringLiteral("/Images/A.wdgt")));
    QCOMPARE(Tree::snapshot(m_dir->path()), before);
}

void tst_FileManager::moveNeverReplaces()
{
    Tree::write(m_dir->path(), QStringLiteral("a.txt"), "a");
    Tree::write(m_dir->path(), QStringLiteral("b.txt"), "b");
    QVERIFY(!FileManager::moveItem(m_dir->filePath(QStringLiteral("a.txt")),
                                   m_dir->filePath(QStringLiteral("b.txt"))));
    QCOMPARE(Tree::read(m_dir->filePath(QStringLiteral("b.txt"))), QByteArray("b"));
    QVERIFY(FileManager::moveItem(m_dir->filePath(QStringLiteral("a.txt")),
                                  m_dir->filePath(QStringLiteral("c.txt"))));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("a.txt"))));
    QCOMPARE(Tree::read(m_dir->filePath(QStringLiteral("c.txt"))), QByteArray("a"));
}

void tst_FileManager::moveAcrossFileSystems()
{
    struct stat here{}, there{};
    if (::stat(QFile::encodeName(m_dir->path()).constData(), &here) != 0
        || ::stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev)
        QSKIP("no second file system to move to");
    QTemporaryDir other(QStringLiteral("/dev/shm/quillet-test-XXXXXX"));
    QVERIFY(other.isValid());
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    const auto before = Tree::snapshot(source);
    const QString target = other.filePath(QStringLiteral("A.wdgt"));
    QVERIFY(FileManager::moveItem(source, target));
    QVERIFY(!QFileInfo::exists(source));
    QCOMPARE(Tree::snapshot(target), before);
}

void tst_FileManager::moveRefusesToMoveIntoItself()
{
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    QVERIFY(!FileManager::moveItem(source, source + QStringLiteral("/Images/Inner")));
    QVERIFY(QFileInfo::exists(source + QStringLiteral("/Info.plist")));
}

void tst_FileManager::replaceSwapsInTheNewEntry()
{
    const QString fresh = makeBundle(QStringLiteral("new.wdgt"));
    const auto expected = Tree::snapshot(fresh);
    const QString target = m_dir->filePath(QStringLiteral("Old.wdgt"));
    Tree::write(target, QStringLiteral("old.txt"), "old");
    QVERIFY(FileManager::replaceItem(fresh, target));
    QCOMPARE(Tree::snapshot(target), expected);
    QVERIFY(!QFileInfo::exists(fresh));
    QCOMPARE(FileManager::contentsOfDirectory(m_dir->path()), QStringList{QStringLiteral("Old.wdgt")});
}

void tst_FileManager::removeDeletesTheTreeButNotWhatLinksPointAt()
{
    QTemporaryDir outside;
    Tree::write(outside.path(), QStringLiteral("precious.txt"), "keep");
    const QString root = makeBundle(QStringLiteral("A.wdgt"));
    QFile::link(outside.path(), root + QStringLiteral("/outside"));
    QVERIFY(FileManager::removeItem(root));
    QVERIFY(!QFileInfo::exists(root));
    QCOMPARE(Tree::read(outside.filePath(QStringLiteral("precious.txt"))), QByteArray("keep"));
    QVERIFY(!FileManager::removeItem(root));
}

QTEST_GUILESS_MAIN(tst_FileManager)
#include "tst_FileManager.moc"
