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
    void intValue_data();
    void intValue();
    void boolValue_data();
    void boolValue();
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

void tst_PropertyList::intValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("integer") << QVariant(qint64(300)) << qint64(300);
    QTest::newRow("digits") << QVariant(QStringLiteral("300")) << qint64(300);
    QTest::newRow("digits and unit") << QVariant(QStringLiteral(" 250px")) << qint64(250);
    QTest::newRow("signed") << QVariant(QStringLiteral("-12")) << qint64(-12);
    QTest::newRow("words") << QVariant(QStringLiteral("wide")) << qint64(0);
    QTest::newRow("real") << QVariant(2.9) << qint64(2);
    QTest::newRow("missing") << QVariant() << qint64(0);
    QTest::newRow("list") << QVariant(QVariantList{1}) << qint64(0);
}

void tst_PropertyList::intValue()
{
    QFETCH(QVariant, value);
    QFETCH(qint64, expected);
    QCOMPARE(PropertyList::intValue(value), expected);
}

// An access key stored as "NO" must not grant what it names.
void tst_PropertyList::boolValue_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("yes");
    QTest::newRow("true") << QVariant(true) << true;
    QTest::newRow("false") << QVariant(false) << false;
    QTest::newRow("one") << QVariant(qint64(1)) << true;
    QTest::newRow("zero") << QVariant(qint64(0)) << false;
    for (const char *word : {"YES", "yes", "Yes", "1", "true"})
        QTest::addRow("string %s", word) << QVariant(QString::fromLatin1(word)) << true;
    for (const char *word : {"NO", "no", "0", "false", "", "yep"})
        QTest::addRow("string '%s'", word) << QVariant(QString::fromLatin1(word)) << false;
    QTest::newRow("dictionary") << QVariant(QVariantMap{{QStringLiteral("x"), true}}) << false;
    QTest::newRow("missing") << QVariant() << false;
}

void tst_PropertyList::boolValue()
{
    QFETCH(QVariant, value);
    QFETCH(bool, yes);
    QCOMPARE(PropertyList::boolValue(value), yes);
}

QTEST_GUILESS_MAIN(tst_PropertyList)
#include "tst_PropertyList.moc"
