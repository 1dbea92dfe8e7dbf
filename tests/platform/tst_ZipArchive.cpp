// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ZipArchive.h"

#include "tests/common/FileSizeLimit.h"
#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <zip.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

// A zip of the given entries: "a/" a folder, "a -> b" a link, "<...>" no zip
// at all, anything else a file holding "x". Returns what the entries under
// "Foo.wdgt/" unpack to.
QMap<QString, QByteArray> writeZip(const QString &path, const QStringList &entries)
{
    QMap<QString, QByteArray> tree;
    if (entries.first().startsWith(u'<')) {
        Tree::write(QFileInfo(path).absolutePath(), QFileInfo(path).fileName(), entries.first().toUtf8());
        return tree;
    }
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    const bool contentsAlone = !entries.join(u' ').contains(QStringLiteral("Foo.wdgt/"));
    for (const QString &entry : entries) {
        const QString name = entry.section(QStringLiteral(" -> "), 0, 0);
        const QByteArray content = entry.contains(u'>') ? entry.section(QStringLiteral(" -> "), 1).toUtf8() : "x";
        const zip_int64_t index = name.endsWith(u'/')
            ? zip_dir_add(zip, qPrintable(name), 0)
            : zip_file_add(zip, qPrintable(name),
                           zip_source_buffer(zip, strdup(content.constData()), content.size(), 1), 0);
        if (entry.contains(u'>'))
            zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
        // Where the entry lands in the widget: below "Foo.wdgt/", or as it
        // is in a zip of the widget's contents alone.
        const qsizetype at = name.indexOf(QStringLiteral("Foo.wdgt/"));
        const QString inside = name.startsWith(QStringLiteral("__MACOSX")) ? QString()
            : at >= 0                                                      ? name.mid(at + 9)
            : contentsAlone                                                ? name
                                                                           : QString();
        if (!inside.isEmpty())
            tree[inside.chopped(name.endsWith(u'/'))] = name.endsWith(u'/') ? "<dir>"
                : entry.contains(u'>')                                      ? "-> " + content
                                                                            : content;
    }
    zip_close(zip);
    return tree;
}

// "Foo.wdgt/" holding files of the given sizes, zeros, each stating the
// size in `stated` where given: the bytes in the zip say what they like.
void writeBomb(const QString &path, const QList<quint32> &sizes, const QList<quint32> &stated)
{
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    zip_dir_add(zip, "Foo.wdgt/", 0);
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        void *zeros = calloc(1, sizes[i] + 1);
        zip_file_add(zip, qPrintable(QStringLiteral("Foo.wdgt/%1").arg(i)), zip_source_buffer(zip, zeros, sizes[i], 1),
                     0);
    }
    zip_close(zip);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // The uncompressed size, in each local header and in the directory.
    qsizetype entry = 0;
    for (const auto &[signature, offset] :
         {std::pair{QByteArray("PK\x03\x04"), 22}, std::pair{QByteArray("PK\x01\x02"), 24}}) {
        qsizetype at = bytes.indexOf(signature, 0);
        for (entry = -1; at >= 0; at = bytes.indexOf(signature, at + 4), ++entry) {
            if (entry >= 0 && entry < stated.size())
                qToLittleEndian<quint32>(stated[entry], bytes.data() + at + offset);
        }
    }
    QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
}

// Writes past 512 bytes fail as on a full disk (SIGXFSZ is ignored).
Outcome limited(bool diskFull, const std::function<Outcome()> &operation)
{
    const FileSizeLimit limit(diskFull ? rlim_t(512) : RLIM_INFINITY);
    return operation();
}

} // namespace

static mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

class tst_ZipArchive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    // Without entries, a bundle is exported first. `expected` is the widget
    // opened, else a piece of the reason for the refusal.
    void exportAndOpen_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        const QString outside = QStringLiteral("which would land outside the widget");
        QTest::newRow("round trip") << QStringList() << QString() << u"Foo.wdgt"_qs;
        QTest::newRow("name taken") << QStringList() << u"taken"_qs << u"Foo 2.wdgt"_qs;
        QTest::newRow("over a zip, keeping its permissions") << QStringList() << u"replace"_qs << u"Foo.wdgt"_qs;
        QTest::newRow("disk full exporting") << QStringList() << u"export"_qs << u"File too large"_qs;
        QTest::newRow("disk full unpacking") << QStringList() << u"unpack"_qs << u"File too large"_qs;
        QTest::newRow("Mac leftovers") << QStringList{u"__MACOSX/Foo.wdgt/._a"_qs, u".DS_Store"_qs, u"Foo.wdgt/a"_qs,
                                                      u"Foo.wdgt/s/"_qs, u"Foo.wdgt/s/l -> ../a"_qs}
                                       << QString() << u"Foo.wdgt"_qs;
        QTest::newRow("climbing out") << QStringList{u"Foo.wdgt/a"_qs, u"../x"_qs} << QString()
                                      << u"“../x”, "_qs + outside;
        QTest::newRow("absolute") << QStringList{u"Foo.wdgt/a"_qs, u"/tmp/x"_qs} << QString()
                                  << u"“/tmp/x”, "_qs + outside;
        QTest::newRow("climbing out after the widget's name") << QStringList{u"Foo.wdgt/a"_qs, u"Foo.wdgt/../../x"_qs}
                                                              << QString() << u"“Foo.wdgt/../../x”, "_qs + outside;
        QTest::newRow("links leading out together")
            << QStringList{u"Foo.wdgt/a/"_qs, u"Foo.wdgt/a/up -> .."_qs, u"Foo.wdgt/root -> a/up/.."_qs} << QString()
            << u"“Foo.wdgt/root”, a link leading outside"_qs;
        QTest::newRow("links going round, nowhere")
            << QStringList{u"Foo.wdgt/a -> b"_qs, u"Foo.wdgt/b -> a"_qs} << QString() << u"Foo.wdgt"_qs;
        QTest::newRow("link to an absolute path") << QStringList{u"Foo.wdgt/a"_qs, u"Foo.wdgt/l -> /etc/passwd"_qs}
                                                  << QString() << u"“Foo.wdgt/l”, a link leading outside"_qs;
        QTest::newRow("beside the widget")
            << QStringList{u"Foo.wdgt/a"_qs, u"x"_qs} << QString() << u"“x”, "_qs + outside;
        QTest::newRow("link leading out") << QStringList{u"Foo.wdgt/a"_qs, u"Foo.wdgt/s/l -> ../../x"_qs} << QString()
                                          << u"“Foo.wdgt/s/l”, a link leading outside"_qs;
        QTest::newRow("two widgets") << QStringList{u"Bar.wdgt/b"_qs, u"Foo.wdgt/a"_qs} << QString()
                                     << u"more than one widget: “Bar.wdgt” and “Foo.wdgt”"_qs;
        // Two ways people zip a widget: its contents alone, named after the zip;
        // in a folder beside a ReadMe, which stays in the zip.
        QTest::newRow("contents alone") << QStringList{u"Info.plist"_qs, u"s/"_qs, u"s/a"_qs, u"__MACOSX/._a"_qs}
                                        << QString() << u"Foo.wdgt"_qs;
        QTest::newRow("in a folder beside a ReadMe")
            << QStringList{u"Download/"_qs,           u"Download/ReadMe.txt"_qs,  u"Download/docs/a.txt"_qs,
                           u"Download/Foo.wdgt/a"_qs, u"Download/Foo.wdgt/s/"_qs, u"Download/Foo.wdgt/s/l -> ../a"_qs}
            << QString() << u"Foo.wdgt"_qs;
        QTest::newRow("in a folder, something outside it")
            << QStringList{u"Download/Foo.wdgt/a"_qs, u"Other/x"_qs} << QString() << u"“Other/x”, "_qs + outside;
        QTest::newRow("no widget") << QStringList{u"ReadMe.txt"_qs, u"docs/a.txt"_qs} << QString()
                                   << u"It holds no widget"_qs;
        QTest::newRow("no zip") << QStringList{u"<html>"_qs} << QString() << u"Not a zip archive"_qs;
    }
    void exportAndOpen();
    // What would fill the disk is refused, or stopped, leaving nothing.
    void bombs_data();
    void bombs();
};

void tst_ZipArchive::bombs_data()
{
    QTest::addColumn<QList<quint32>>("sizes");
    QTest::addColumn<QList<quint32>>("stated");
    QTest::addColumn<QString>("refusal");
    const quint32 halfGiB = quint32(1) << 29;
    QTest::newRow("2 GiB in all, under it each") << QList<quint32>{1, 1, 1} << QList<quint32>{3 * halfGiB, 3 * halfGiB}
                                                 << u"It would unpack to more than 2 GiB"_qs;
    QTest::newRow("more bytes than stated")
        << QList<quint32>{1 << 20} << QList<quint32>{1 << 10} << u"does not hold as many bytes as it says"_qs;
    QTest::newRow("more than the disk has free")
        << QList<quint32>{8 << 20} << QList<quint32>() << u"the disk has only"_qs;
    QTest::newRow("stopped half-way") << QList<quint32>{4 << 20, 4 << 20} << QList<quint32>() << u"Stopped"_qs;
}

void tst_ZipArchive::bombs()
{
    QFETCH(QList<quint32>, sizes);
    QFETCH(QList<quint32>, stated);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    const bool smallDisk = refusal.contains(u"disk");
    // A disk of 4 MiB, seen by this process alone.
    if (smallDisk
        && (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("tmpfs", QFile::encodeName(out).constData(), "tmpfs", 0, "size=4m") != 0))
        QSKIP("Mounting a small disk takes root");
    const QString zip = out + QStringLiteral("/Foo.wdgt.zip");
    writeBomb(zip, sizes, stated);
    const auto before = Tree::snapshot(out);
    quint64 heard = 0;
    QString opened;
    const Outcome extracted = ZipArchive::extractWidget(zip, &opened, [&](quint64 done, quint64 total) {
        heard = done;
        return refusal != u"Stopped" || done * 2 < total;
    });
    const auto after = Tree::snapshot(out);
    if (smallDisk)
        ::umount2(QFile::encodeName(out).constData(), MNT_DETACH);
    QVERIFY(!extracted);
    QVERIFY2(extracted.reason().contains(refusal), qPrintable(extracted.reason()));
    QCOMPARE(extracted.wasStopped(), refusal == u"Stopped");
    QCOMPARE(heard > 0, refusal == u"Stopped");
    QCOMPARE(after, before);
}

void tst_ZipArchive::exportAndOpen()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, fault);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString zip = out + QStringLiteral("/Foo.wdgt.zip");
    QDir().mkpath(out);
    QMap<QString, QByteArray> tree;
    if (entries.isEmpty()) {
        const QString bundle = Tree::writeBundle(dir.filePath(QStringLiteral("Foo.wdgt")));
        Tree::write(bundle, QStringLiteral("big.js"), QByteArray(64 * 1024, 'x'));
        QFile::link(QStringLiteral("../Images/back.png"), bundle + QStringLiteral("/Images/link"));
        QFile::setPermissions(bundle + QStringLiteral("/main.html"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        tree = Tree::snapshot(bundle);
        // Left out silently: what a stopped save left. Left out, and said to
        // be: a link leading out of the widget, a FIFO.
        Tree::write(bundle, QStringLiteral(".quillet-save-AbC123"), "half");
        QFile::link(QStringLiteral("/etc/passwd"), bundle + QStringLiteral("/passwd"));
        QCOMPARE(::mkfifo(QFile::encodeName(bundle + QStringLiteral("/pipe")).constData(), 0600), 0);
        if (fault == u"replace")
            QVERIFY(Tree::write(out, QStringLiteral("Foo.wdgt.zip"), "old")
                    && ::chmod(QFile::encodeName(zip).constData(), 0600) == 0);
        const Outcome exported = limited(fault == u"export", [&] { return ZipArchive::exportBundle(bundle, zip); });
        QCOMPARE(exported.succeeded(), fault != u"export");
        if (!exported) {
            QVERIFY2(exported.reason().contains(expected), qPrintable(exported.reason()));
            QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
            return;
        }
        QCOMPARE(exported.skipped(),
                 (QStringList{bundle + QStringLiteral("/passwd"), bundle + QStringLiteral("/pipe")}));
        struct stat written
        { };
        QCOMPARE(::stat(QFile::encodeName(zip).constData(), &written), 0);
        QCOMPARE(written.st_mode & 0777, fault == u"replace" ? 0600u : 0666u & ~currentUmask());
    } else {
        tree = writeZip(zip, entries);
    }
    if (fault == u"taken")
        Tree::write(out, QStringLiteral("Foo.wdgt/mine"), "mine");
    const auto before = Tree::snapshot(out);
    QString opened;
    const Outcome extracted = limited(fault == u"unpack", [&] { return ZipArchive::extractWidget(zip, &opened); });
    if (!expected.endsWith(QStringLiteral(".wdgt"))) {
        QVERIFY(!extracted);
        QVERIFY2(extracted.reason().contains(expected), qPrintable(extracted.reason()));
        QCOMPARE(Tree::snapshot(out), before); // no staging folder, no half widget
        return;
    }
    QVERIFY2(extracted, qPrintable(extracted.file() + u' ' + extracted.reason()));
    QCOMPARE(opened, out + u'/' + expected);
    QCOMPARE(Tree::snapshot(opened), tree);
    QCOMPARE(Tree::read(out + QStringLiteral("/Foo.wdgt/mine")),
             QByteArray(fault == u"taken" ? "mine" : "<unreadable>"));
    QCOMPARE(bool(QFileInfo(opened + QStringLiteral("/main.html")).permissions() & QFile::ExeOwner), entries.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ZipArchive)
#include "tst_ZipArchive.moc"
