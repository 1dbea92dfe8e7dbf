// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileManager.h"
#include "platform/FileName.h"
#include "platform/ZipArchive.h"

#include "tests/common/FailingFlush.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/time.h>

class tst_FileManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    // Qt's own removal cannot name what is not UTF-8.
    void cleanup() { QVERIFY(FileManager::removeItem(m_dir->path())); }
    void copyReproducesTheTree();
    void copyAndMoveNeverReplace_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<QString>("destination");
        for (const bool move : {false, true}) {
            const char *operation = move ? "move" : "copy";
            QTest::addRow("%s onto a folder", operation) << move << u"B.wdgt"_qs;
            QTest::addRow("%s onto a file", operation) << move << u"b.txt"_qs;
            QTest::addRow("%s into itself", operation) << move << u"A.wdgt/Images/A.wdgt"_qs;
        }
    }
    void copyAndMoveNeverReplace();
    void moveAcrossFileSystems();
    void replacing_data()
    {
        QTest::addColumn<bool>("copy");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("move in") << false << false;
        QTest::newRow("copy in") << true << false;
        QTest::newRow("copy in, disk full half-way") << true << true;
    }
    void replacing();
    void removeDeletesTheTreeButNotWhatLinksPointAt();
    // The temporary beside a file fits whatever the file's name.
    void writesTheLongestName()
    {
        const QString path = m_dir->filePath(QString(NAME_MAX, u'n'));
        for (const QByteArray &bytes : {QByteArray("new"), QByteArray("replaced")}) {
            const Outcome written = FileManager::writeFile(path, bytes);
            QVERIFY2(written, qPrintable(written.reason()));
            QCOMPARE(Tree::read(path), bytes);
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    }
    // A write that fails at any step says why; one that replaces leaves the
    // old file whole and nothing beside it.
    void failedWritesAreReported_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("disk full") << u"disk"_qs << false;
        QTest::newRow("flush fails") << u"flush"_qs << false;
        QTest::newRow("close fails") << u"close"_qs << false;
        QTest::newRow("close fails, written in place") << u"close"_qs << true;
    }
    void failedWritesAreReported()
    {
        QFETCH(QString, fault);
        QFETCH(bool, inPlace);
        const QString path = m_dir->filePath(QStringLiteral("file.js"));
        QVERIFY(Tree::write(m_dir->path(), QStringLiteral("file.js"), "old"));
        const QByteArray bytes(1024, 'n');
        const Outcome written = [&] {
            const FileSizeLimit limit(fault == u"disk" ? rlim_t(512) : RLIM_INFINITY);
            std::optional<FailingFlush> failing;
            if (fault != u"disk")
                failing.emplace(fault == u"flush" ? FailingFlush::Flush : FailingFlush::Close,
                                inPlace ? "file.js" : ".quillet-save-");
            if (!inPlace)
                return FileManager::writeFile(path, bytes);
            return FileManager::writeFileInPieces(
                path, [&bytes](const FileManager::PieceSink &sink) { sink(bytes.constData(), bytes.size()); },
                FileManager::Writing::InPlace);
        }();
        QCOMPARE(written.file(), path);
        QCOMPARE(written.reason(), fault == u"disk" ? u"File too large"_qs : u"Input/output error"_qs);
        if (!inPlace)
            QCOMPARE(Tree::read(path), QByteArray("old"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"file.js"_qs});
    }
    // Only this program's own leftovers go, and only once no write could
    // still be making them.
    void staleLeftoversAreRemoved()
    {
        const QString bundle = makeBundle(QStringLiteral("A.wdgt"));
        const QStringList stale{m_dir->filePath(QStringLiteral(".quillet-copy-x1Y2z3/B.wdgt/main.html")),
                                bundle + QStringLiteral("/Images/.quillet-save-q1W2e3")};
        const QStringList kept{bundle + QStringLiteral("/.quillet-save-fresh1"), bundle + QStringLiteral("/.hidden"),
                               m_dir->filePath(QStringLiteral(".quillet-other"))};
        for (const QString &path : stale + kept)
            QVERIFY(Tree::write(QFileInfo(path).path(), QFileInfo(path).fileName(), "x"));
        const timeval old[2] = {{std::time(nullptr) - 2 * 60 * 60, 0}, {std::time(nullptr) - 2 * 60 * 60, 0}};
        for (const QString &path : {QFileInfo(stale[0]).path().section(u'/', 0, -2), stale[1]})
            QCOMPARE(::lutimes(QFile::encodeName(path).constData(), old), 0);
        FileManager::removeLeftovers(bundle);
        QVERIFY(!QFileInfo::exists(QFileInfo(stale[0]).path().section(u'/', 0, -2)) && !QFileInfo::exists(stale[1]));
        for (const QString &path : kept)
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
    }
    void readingTakesRegularFilesWithinLimits_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("a file at the limit") << QStringLiteral("limit") << QString();
        QTest::newRow("a file past the limit")
            << QStringLiteral("past") << QStringLiteral("It is larger than 1 KiB, more than is read of such a file");
        QTest::newRow("a folder") << QStringLiteral(".") << QStringLiteral("Is a directory");
        QTest::newRow("a FIFO, without waiting for a writer")
            << QStringLiteral("pipe") << QStringLiteral("It is not a regular file");
        QTest::newRow("a file that never ends")
            << QStringLiteral("/proc/self/pagemap") << QStringLiteral("It is not a regular file");
        QTest::newRow("a file whose size says nothing")
            << QStringLiteral("/proc/self/status") << QStringLiteral("It is not a regular file");
    }
    void readingTakesRegularFilesWithinLimits()
    {
        QFETCH(QString, path);
        QFETCH(QString, refusal);
        QVERIFY(
            Tree::write(m_dir->path(), {{u"limit"_qs, QByteArray(1024, 'x')}, {u"past"_qs, QByteArray(1025, 'x')}}));
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir->filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
        QByteArray bytes("kept");
        const Outcome read = FileManager::readFile(QDir(m_dir->path()).absoluteFilePath(path), &bytes, 1024);
        QCOMPARE(read.reason(), refusal);
        QCOMPARE(bytes.size(), read ? 1024 : 4);
    }
    // A name is bytes: one that is no UTF-8 keeps them through listing,
    // reading, Save As, export and unpacking, Rename and Remove.
    void namesThatAreNotUtf8_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.txt");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9.txt");
        QTest::newRow("cut short") << QByteArray("a\xc3");
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf");
        QTest::newRow("surrogate spelled in UTF-8") << QByteArray("\xed\xb2\x80");
        QTest::newRow("past U+FFFF, ending like an escape") << QByteArray("\xf0\x90\x82\x80");
        QTest::newRow("the replacement character itself") << QByteArray("\xef\xbf\xbd\xff");
    }
    void namesThatAreNotUtf8()
    {
        QFETCH(QByteArray, name);
        const QString decoded = FileName::decode(name);
        QCOMPARE(FileName::encode(decoded), name);
        QCOMPARE(FileName::shown(decoded), QString::fromUtf8(name));
        const QString bundle = makeBundle(QStringLiteral("A.wdgt"));
        const QByteArray raw = FileName::encode(bundle) + '/' + name;
        QVERIFY(::mkdir(raw.constData(), 0777) == 0);
        const int fd = ::open((raw + '/' + name).constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "bytes", 5) == 5 && ::close(fd) == 0);
        QVERIFY(FileManager::contentsOfDirectory(bundle).contains(decoded));
        const QString file = bundle + u'/' + decoded + u'/' + decoded;
        QByteArray bytes;
        QVERIFY(FileManager::readFile(file, &bytes) && bytes == "bytes" && FileManager::exists(file));
        const auto holds = [&name](const QString &copy) {
            return ::access((FileName::encode(copy) + '/' + name + '/' + name).constData(), F_OK) == 0;
        };
        const QString copy = m_dir->filePath(QStringLiteral("B.wdgt"));
        QVERIFY(FileManager::copyItem(bundle, copy) && holds(copy));
        const QString zip = m_dir->filePath(QStringLiteral("Out/A.wdgt.zip"));
        QString unpacked;
        QVERIFY(QDir().mkpath(QFileInfo(zip).path()) && ZipArchive::exportBundle(bundle, zip));
        QVERIFY(ZipArchive::extractWidget(zip, &unpacked) && holds(unpacked));
        const QString renamed = bundle + u'/' + decoded + u'/' + decoded + u'2';
        QVERIFY(FileManager::moveItem(file, renamed) && ::access((raw + '/' + name + '2').constData(), F_OK) == 0);
        QVERIFY(FileManager::removeItem(bundle + u'/' + decoded) && ::access(raw.constData(), F_OK) != 0);
    }

private:
    QString makeBundle(const QString &name)
    {
        const QString root = Tree::writeBundle(m_dir->filePath(name));
        QFile::link(QStringLiteral("Images/back.png"), root + QStringLiteral("/relative-link"));
        // A link back up the tree must not make a copy run away.
        QFile::link(QStringLiteral(".."), root + QStringLiteral("/Images/loop"));
        return root;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

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
    // What a stopped save left is no part of the widget.
    QVERIFY(Tree::write(source, QStringLiteral("Images/.quillet-save-AbC123"), "half"));
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

void tst_FileManager::copyAndMoveNeverReplace()
{
    QFETCH(bool, move);
    QFETCH(QString, destination);
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    Tree::write(m_dir->path(), {{u"B.wdgt/keep.txt"_qs, "mine"}, {u"b.txt"_qs, "mine"}});
    const auto before = Tree::snapshot(m_dir->path());
    const QString target = m_dir->filePath(destination);
    const Outcome outcome = move ? FileManager::moveItem(source, target) : FileManager::copyItem(source, target);
    QVERIFY(!outcome && !outcome.reason().isEmpty());
    QCOMPARE(Tree::snapshot(m_dir->path()), before);
}

void tst_FileManager::moveAcrossFileSystems()
{
    struct stat here
    {
    }, there{};
    if (::stat(QFile::encodeName(m_dir->path()).constData(), &here) != 0 || ::stat("/dev/shm", &there) != 0
        || here.st_dev == there.st_dev)
        QSKIP("no second file system to move to");
    QTemporaryDir other(QStringLiteral("/dev/shm/quillet-test-XXXXXX"));
    const QString source = makeBundle(QStringLiteral("A.wdgt"));
    const auto before = Tree::snapshot(source);
    // A FIFO cannot be copied: it stays where it was, with its folder, and
    // the move says so.
    const QString fifo = source + QStringLiteral("/Images/pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString target = other.filePath(QStringLiteral("A.wdgt"));
    const Outcome moved = FileManager::moveItem(source, target);
    QVERIFY(moved);
    QCOMPARE(moved.skipped(), QStringList{fifo});
    QCOMPARE(Tree::snapshot(target), before);
    QCOMPARE(QDir(source).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"Images"_qs});
    QCOMPARE(QDir(source + QStringLiteral("/Images")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList{u"pipe"_qs});
}

// Putting a new tree in an old one's place, the old one stays whole until
// the new one is; a copy that fails half-way (a full disk) changes nothing.
void tst_FileManager::replacing()
{
    QFETCH(bool, copy);
    QFETCH(bool, diskFull);
    const QString fresh = makeBundle(QStringLiteral("new.wdgt"));
    Tree::write(fresh, QStringLiteral("big.js"), QByteArray(64 * 1024, 'x'));
    const auto expected = Tree::snapshot(fresh);
    const QString target = m_dir->filePath(QStringLiteral("Old.wdgt"));
    Tree::write(target, QStringLiteral("old.txt"), "old");
    const auto old = Tree::snapshot(target);
    const Outcome replaced = [&] {
        const FileSizeLimit limit(diskFull ? rlim_t(16 * 1024) : RLIM_INFINITY);
        return copy ? FileManager::copyItemReplacing(fresh, target) : FileManager::replaceItem(fresh, target);
    }();
    QCOMPARE(replaced.succeeded(), !diskFull);
    QCOMPARE(Tree::snapshot(target), diskFull ? old : expected);
    QCOMPARE(QFileInfo::exists(fresh), copy);
    // No staging folder is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(u' '),
             copy ? u"new.wdgt Old.wdgt"_qs : u"Old.wdgt"_qs);
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
