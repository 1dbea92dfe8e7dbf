// SPDX-License-Identifier: GPL-2.0-or-later
// The two formats the editor reads and writes itself: text files in their
// encodings, and property lists.
#include "platform/PropertyList.h"
#include "platform/TextFile.h"

#include "tests/common/Tree.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using Encoding = TextFile::Encoding;
Q_DECLARE_METATYPE(TextFile::Encoding)

class tst_FileFormats : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesBackByteForByte_data();
    void readsAndWritesBackByteForByte();
    void readsXmlAndBinary_data();
    void readsXmlAndBinary();
    void writesXmlThatReadsBack();
    void unreadableGivesNothing();
    void valuesRead_data();
    void valuesRead();
};

void tst_FileFormats::readsAndWritesBackByteForByte_data()
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

void tst_FileFormats::readsAndWritesBackByteForByte()
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

void tst_FileFormats::readsXmlAndBinary_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xml") << QStringLiteral(QUILLET_TEST_DATA "/xml.plist");
    QTest::newRow("binary") << QStringLiteral(QUILLET_TEST_DATA "/binary.plist");
}

void tst_FileFormats::readsXmlAndBinary()
{
    QFETCH(QString, file);
    const std::optional<QVariant> list = PropertyList::read(file);
    QVERIFY(list);
    const QVariantMap map = list->toMap();
    QCOMPARE(map.value(QStringLiteral("Width")).toLongLong(), 300);
    QCOMPARE(map.value(QStringLiteral("Height")).toString(), QStringLiteral("150"));
    QCOMPARE(map.value(QStringLiteral("AllowNetworkAccess")).typeId(), int(QMetaType::Bool));
    QCOMPARE(map.value(QStringLiteral("Ratio")).toDouble(), 1.5);
    QCOMPARE(map.value(QStringLiteral("Fonts")).toStringList(),
             (QStringList{QStringLiteral("a.ttf"), QStringLiteral("b.ttf")}));
    QCOMPARE(map.value(QStringLiteral("Blob")).toByteArray(), QByteArray("\x00\x01\xff", 3));
    QCOMPARE(map.value(QStringLiteral("When")).toDateTime(),
             QDateTime(QDate(2020, 5, 17), QTime(12, 30), QTimeZone::utc()));
}

void tst_FileFormats::writesXmlThatReadsBack()
{
    const QVariant original = *PropertyList::read(QStringLiteral(QUILLET_TEST_DATA "/binary.plist"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Info.plist"));
    QVERIFY(PropertyList::writeXml(path, original));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("<?xml"));
    QCOMPARE(*PropertyList::read(path), original);
}

void tst_FileFormats::unreadableGivesNothing()
{
    QVERIFY(!PropertyList::read(QStringLiteral("/nonexistent/Info.plist")));
    QVERIFY(!PropertyList::parse("not a property list"));
}

// How numbers and access keys are read from whatever type a file holds;
// an access key stored as "NO" must not grant what it names.
void tst_FileFormats::valuesRead_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<bool>("yes");
    QTest::newRow("integer") << QVariant(qint64(300)) << qint64(300) << true;
    QTest::newRow("zero") << QVariant(qint64(0)) << qint64(0) << false;
    QTest::newRow("true") << QVariant(true) << qint64(1) << true;
    QTest::newRow("false") << QVariant(false) << qint64(0) << false;
    QTest::newRow("real") << QVariant(2.9) << qint64(2) << true;
    QTest::newRow("digits and unit") << QVariant(u" 250px"_qs) << qint64(250) << false;
    QTest::newRow("signed") << QVariant(u"-12"_qs) << qint64(-12) << false;
    QTest::newRow("string 1") << QVariant(u"1"_qs) << qint64(1) << true;
    for (const char *word : {"YES", "yes", "Yes", "true"})
        QTest::addRow("string %s", word) << QVariant(QString::fromLatin1(word)) << qint64(0) << true;
    for (const char *word : {"NO", "no", "false", "", "yep"})
        QTest::addRow("string '%s'", word) << QVariant(QString::fromLatin1(word)) << qint64(0) << false;
    QTest::newRow("list") << QVariant(QVariantList{1}) << qint64(0) << false;
    QTest::newRow("dictionary") << QVariant(QVariantMap{{u"x"_qs, true}}) << qint64(0) << false;
    QTest::newRow("missing") << QVariant() << qint64(0) << false;
}

void tst_FileFormats::valuesRead()
{
    QFETCH(QVariant, value);
    QFETCH(qint64, number);
    QFETCH(bool, yes);
    QCOMPARE(PropertyList::intValue(value), number);
    QCOMPARE(PropertyList::boolValue(value), yes);
}

QTEST_GUILESS_MAIN(tst_FileFormats)
#include "tst_FileFormats.moc"
