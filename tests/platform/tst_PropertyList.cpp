// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/PropertyList.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class tst_PropertyList : public QObject
{
    Q_OBJECT

private slots:
    void readsXmlAndBinary_data();
    void readsXmlAndBinary();
    void writesXmlThatReadsBack();
    void unreadableGivesNothing();
    void valuesRead_data();
    void valuesRead();
};

void tst_PropertyList::readsXmlAndBinary_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xml") << QStringLiteral(QUILLET_TEST_DATA "/xml.plist");
    QTest::newRow("binary") << QStringLiteral(QUILLET_TEST_DATA "/binary.plist");
}

void tst_PropertyList::readsXmlAndBinary()
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

void tst_PropertyList::writesXmlThatReadsBack()
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

void tst_PropertyList::unreadableGivesNothing()
{
    QVERIFY(!PropertyList::read(QStringLiteral("/nonexistent/Info.plist")));
    QVERIFY(!PropertyList::parse("not a property list"));
}

// How numbers and access keys are read from whatever type a file holds;
// an access key stored as "NO" must not grant what it names.
void tst_PropertyList::valuesRead_data()
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

void tst_PropertyList::valuesRead()
{
    QFETCH(QVariant, value);
    QFETCH(qint64, number);
    QFETCH(bool, yes);
    QCOMPARE(PropertyList::intValue(value), number);
    QCOMPARE(PropertyList::boolValue(value), yes);
}

QTEST_GUILESS_MAIN(tst_PropertyList)
#include "tst_PropertyList.moc"
