// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/TextFile.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using Encoding = TextFile::Encoding;
Q_DECLARE_METATYPE(TextFile::Encoding)

class tst_TextFile : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesBackByteForByte_data();
    void readsAndWritesBackByteForByte();
};

void tst_TextFile::readsAndWritesBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii") << QByteArray("<p>hi</p>\n") << Encoding::Utf8 << QStringLiteral("<p>hi</p>\n");
    QTest::newRow("empty") << QByteArray() << Encoding::Utf8 << QString();
    QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC") << Encoding::Utf8 << QStringLiteral("café €");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9") << Encoding::Utf8WithBom << QStringLiteral("café");
    QTest::newRow("iso 8859-1") << QByteArray("caf\xE9\r\n") << Encoding::Latin1 << QStringLiteral("café\r\n");
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE" "h\0i\0", 6) << Encoding::Utf16LE << QStringLiteral("hi");
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF\0h\0i", 6) << Encoding::Utf16BE << QStringLiteral("hi");
    QTest::newRow("binary with NUL") << QByteArray("%PDF\0\xFF\x80", 7) << Encoding::Latin1
                                     << QString::fromLatin1(QByteArray("%PDF\0\xFF\x80", 7));
    // A lone surrogate travels through QString unchanged.
    QTest::newRow("lone surrogate in utf-16") << QByteArray("\xFF\xFE\x00\xD8" "a\0", 6) << Encoding::Utf16LE
                                              << (QString(QChar(0xD800)) + u'a');
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << Encoding::Latin1
                                       << QString::fromLatin1("\xED\xA0\x80");
}

void tst_TextFile::readsAndWritesBackByteForByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file.txt"));
    QVERIFY(Tree::write(dir.path(), QStringLiteral("file.txt"), bytes));

    TextFile::Text read;
    QVERIFY(TextFile::read(path, &read));
    QCOMPARE(read.encoding, encoding);
    QCOMPARE(read.text, text);
    QVERIFY(TextFile::write(path, read));
    QCOMPARE(Tree::read(path), bytes);
}

QTEST_GUILESS_MAIN(tst_TextFile)
#include "tst_TextFile.moc"
