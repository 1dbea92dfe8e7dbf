// SPDX-License-Identifier: GPL-2.0-or-later
// The two formats the editor reads and writes itself: text files in their
// encodings, and property lists; and the search of text in bytes.
#include "platform/AsciiSearch.h"
#include "platform/PropertyList.h"
#include "platform/TextFile.h"

#include "tests/common/Tree.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <limits>
#include <random>

using namespace Qt::StringLiterals;

using Encoding = TextFile::Encoding;
Q_DECLARE_METATYPE(TextFile::Encoding)

class tst_FileFormats : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesBackByteForByte_data();
    void readsAndWritesBackByteForByte();
    void readsXmlAndBinary();
    void hostileListsAreReadSafely_data();
    void hostileListsAreReadSafely();
    void rewritingKeepsEveryValueOrRefuses_data();
    void rewritingKeepsEveryValueOrRefuses();
    void valuesRead_data();
    void valuesRead();
    void datesOfEveryYearAreWritten_data()
    {
        QTest::addColumn<QDate>("day");
        for (const QDate day : {QDate(1, 1, 1), QDate(5169, 11, 16), QDate(5170, 1, 1), QDate(9999, 12, 31)})
            QTest::addRow("%s", qPrintable(day.toString(Qt::ISODate))) << day;
    }
    void datesOfEveryYearAreWritten()
    {
        QFETCH(QDate, day);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Dates.plist"_s);
        const QDateTime moment(day, QTime(23, 59, 59), QTimeZone::utc());
        const Outcome written = PropertyList::writeXml(path, QVariantMap{{u"When"_s, moment}});
        QVERIFY2(written, qPrintable(written.reason()));
        QCOMPARE(PropertyList::read(path)->toMap().value(u"When"_s), QVariant(moment));
    }

    // Random texts of letters in both cases, the case bit's other pairs
    // ('@' and '`') and UTF-8, long enough to cross the blocks the search
    // weighs at once, against a plain scan.
    void asciiSearchAgreesWithAPlainScan()
    {
        const unsigned seed = std::random_device()();
        std::mt19937 random(seed);
        const QByteArray alphabet = "aAbB@`\xc3\xa9 ";
        const auto pick = [&](qsizetype length, qsizetype kinds) {
            QByteArray made;
            while (made.size() < length)
                made += alphabet[qsizetype(random() % kinds)];
            return made;
        };
        for (int round = 0; round < 20000; ++round) {
            const QByteArray text = pick(qsizetype(random() % 80), alphabet.size());
            const QByteArray needle = pick(1 + qsizetype(random() % 5), 6);
            const qsizetype from = qsizetype(random() % 90);
            qsizetype expected = -1;
            for (qsizetype at = from; expected < 0 && at + needle.size() <= text.size(); ++at) {
                if (text.sliced(at, needle.size()).toLower() == needle.toLower())
                    expected = at;
            }
            const auto beyond = std::find_if(text.begin(), text.end(), [](char c) { return c < 0; });
            QCOMPARE(AsciiSearch::indexBeyondAscii(text), beyond == text.end() ? -1 : beyond - text.begin());
            QVERIFY2(AsciiSearch(needle).indexIn(text, from) == expected,
                     qPrintable(u"seed %1: \"%2\" in \"%3\" from %4"_s.arg(seed)
                                    .arg(QString::fromUtf8(needle), QString::fromUtf8(text))
                                    .arg(from)));
        }
    }
};

void tst_FileFormats::readsAndWritesBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii") << QByteArray("<p>hi</p>\n") << Encoding::Utf8 << QStringLiteral("<p>hi</p>\n");
    QTest::newRow("empty") << QByteArray() << Encoding::Utf8 << QString();
    QTest::newRow("utf-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC") << Encoding::Utf8 << QStringLiteral("café €");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF"
                                                   "caf\xC3\xA9")
                                     << Encoding::Utf8WithBom << QStringLiteral("café");
    QTest::newRow("iso 8859-1") << QByteArray("caf\xE9\r\n") << Encoding::Latin1 << QStringLiteral("café\r\n");
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE"
                                             "h\0i\0",
                                             6)
                               << Encoding::Utf16LE << QStringLiteral("hi");
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF\0h\0i", 6) << Encoding::Utf16BE << QStringLiteral("hi");
    QTest::newRow("binary with NUL") << QByteArray("%PDF\0\xFF\x80", 7) << Encoding::Latin1
                                     << QString::fromLatin1(QByteArray("%PDF\0\xFF\x80", 7));
    // A lone surrogate travels through QString unchanged.
    QTest::newRow("lone surrogate in utf-16") << QByteArray("\xFF\xFE\x00\xD8"
                                                            "a\0",
                                                            6)
                                              << Encoding::Utf16LE << (QString(QChar(0xD800)) + u'a');
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

// The same list in both formats reads as the same values, each of its type.
void tst_FileFormats::readsXmlAndBinary()
{
    const QVariantMap expected{{u"AllowNetworkAccess"_s, true},
                               {u"Blob"_s, QByteArray("\x00\x01\xff", 3)},
                               {u"Fonts"_s, QVariantList{u"a.ttf"_s, u"b.ttf"_s}},
                               {u"Height"_s, u"150"_s},
                               {u"MainHTML"_s, u"main.html"_s},
                               {u"Ratio"_s, 1.5},
                               {u"Width"_s, qint64(300)},
                               {u"When"_s, QDateTime(QDate(2020, 5, 17), QTime(12, 30), QTimeZone::utc())}};
    for (const char *file : {"/xml.plist", "/binary.plist"})
        QCOMPARE(
            PropertyList::read(QStringLiteral(QUILLET_TEST_DATA) + QLatin1String(file)).value_or(QVariant()).toMap(),
            expected);
}

// A binary list of 70 KB whose array names one 50,000-byte string 20,000
// times: a gigabyte once each reference is a string of its own.
static QByteArray sharedString()
{
    const auto bigEndian = [](quint64 value, int bytes) {
        QByteArray out;
        for (int i = bytes - 1; i >= 0; --i)
            out += char((value >> (8 * i)) & 0xFF);
        return out;
    };
    QByteArray list = "bplist00";
    const qsizetype array = list.size();
    list += "\xAF\x11" + bigEndian(20000, 2) + QByteArray(20000, '\x01');
    const qsizetype string = list.size();
    list += "\x5F\x12" + bigEndian(50000, 4) + QByteArray(50000, 'a');
    const qsizetype table = list.size();
    list += bigEndian(quint64(array), 4) + bigEndian(quint64(string), 4);
    return list + QByteArray(6, '\0') + "\x04\x01" + bigEndian(2, 8) + bigEndian(0, 8) + bigEndian(quint64(table), 8);
}

// Lists made to hurt: each reads as what it holds or as nothing, never a
// crash, hang or overflow.
void tst_FileFormats::hostileListsAreReadSafely_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    const auto file = [](const char *name) {
        return Tree::read(QStringLiteral(QUILLET_TEST_DATA "/plists/") + QLatin1String(name));
    };
    const QVariant unreadable;
    QTest::newRow("NUL in a value") << file("nul-value.plist") << u"CFBundleName"_s
                                    << QVariant(u"Café"_s + QChar(0) + u"Clock"_s);
    QTest::newRow("NUL in a key") << file("nul-key.plist") << (u"CF"_s + QChar(0) + u"BundleName"_s)
                                  << QVariant(u"x"_s);
    QTest::newRow("date past 2038") << file("odd-values.plist") << u"Late"_s
                                    << QVariant(QDateTime(QDate(2200, 1, 1), QTime(0, 0), QTimeZone::utc()));
    QTest::newRow("date before 1901") << file("odd-values.plist") << u"Early"_s
                                      << QVariant(QDateTime(QDate(1800, 5, 1), QTime(0, 0), QTimeZone::utc()));
    QTest::newRow("integer above 63 bits") << file("odd-values.plist") << u"Huge"_s << QVariant(~quint64(0));
    QTest::newRow("512 levels") << file("deep-512.plist") << QString() << QVariant(true);
    QTest::newRow("513 levels") << file("deep-513.plist") << QString() << unreadable;
    QTest::newRow("100,000 levels of XML")
        << "<plist>" + QByteArray("<array>").repeated(100000) + "</plist>" << QString() << unreadable;
    QTest::newRow("array holding itself") << file("cycle.plist") << QString() << unreadable;
    QTest::newRow("2^60 values by sharing") << file("shared.plist") << QString() << unreadable;
    QTest::newRow("a gigabyte by sharing one string") << sharedString() << QString() << unreadable;
    QTest::newRow("reference past the table") << file("bad-offset.plist") << QString() << unreadable;
    QTest::newRow("length past the end") << file("bad-length.plist") << QString() << unreadable;
    QTest::newRow("not a property list") << QByteArray("not a property list") << QString() << unreadable;
    QTest::newRow("XML after the value") << QByteArray("<plist><true/><false/></plist>") << QString() << unreadable;
    QTest::newRow("100,000 levels of dictionaries")
        << "<plist>" + QByteArray("<dict><key>k</key>").repeated(100000) + "</plist>" << QString() << unreadable;
    QTest::newRow("Apple's document type") << QByteArray("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                                         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"
                                                         "<plist><dict><key>k</key><true/></dict></plist>")
                                           << u"k"_s << QVariant(true);
    QTest::newRow("one entity, referred to over and over") << "<!DOCTYPE plist [<!ENTITY a \"" + QByteArray(1000, 'a')
            + "\">]><plist><string>" + QByteArray("&a;").repeated(100000)
            + "</string></plist>" << QString() << unreadable;
    QTest::newRow("entity bomb") << QByteArray(
        "<!DOCTYPE p [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
        "<plist><string>&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;</string></plist>")
                                 << QString() << unreadable;
}

void tst_FileFormats::hostileListsAreReadSafely()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    const std::optional<QVariant> list = PropertyList::parse(bytes);
    QCOMPARE(bool(list), value.isValid());
    if (!key.isEmpty())
        QCOMPARE(list->toMap().value(key), value);
}

// Writing a dictionary back never changes a value it was not asked to: what
// XML can hold comes back the same, and what it cannot leaves the file as it
// was with a reason naming the key.
void tst_FileFormats::rewritingKeepsEveryValueOrRefuses_data()
{
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("everything XML holds") << QString() << QString();
    QTest::newRow("control character") << u"Bell"_s << u"“Bell” holds a control character"_s;
    QTest::newRow("NUL in a key") << (u"CF"_s + QChar(0) + u"Key"_s) << u"holds a control character"_s;
    QTest::newRow("fraction of a second") << u"Half"_s << u"“Half” holds a date with a fraction of a second"_s;
    QTest::newRow("archive reference") << u"Ref"_s << u"“Ref” holds an archive reference"_s;
}

void tst_FileFormats::rewritingKeepsEveryValueOrRefuses()
{
    QFETCH(QString, kept);
    QFETCH(QString, refusal);
    const QStringList refused{u"Bell"_s, u"CF"_s + QChar(0) + u"Key"_s, u"Half"_s, u"Ref"_s};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Info.plist"));
    QVERIFY(QFile::copy(QStringLiteral(QUILLET_TEST_DATA "/plists/odd-values.plist"), path));
    std::optional<PropertyList::Dictionary> plist = PropertyList::Dictionary::read(path);
    QVERIFY(plist);
    auto expected = PropertyList::storedValue(Tree::read(path))->value<PropertyList::Entries>();
    for (const QString &key : refused) {
        if (key != kept) {
            plist->remove(key);
            expected.removeIf([&](const auto &entry) { return entry.first == key; });
        }
    }
    plist->setString(u"Width"_s, u"250"_s);
    PropertyList::put(expected, u"Width"_s, u"250"_s);
    const QByteArray before = Tree::read(path);

    const Outcome written = plist->writeXml(path);
    QVERIFY2(bool(written) == refusal.isEmpty(), qPrintable(written.reason()));
    if (!written) {
        QVERIFY2(written.reason().contains(refusal), qPrintable(written.reason()));
        QCOMPARE(Tree::read(path), before);
        return;
    }
    QVERIFY(Tree::read(path).startsWith("<?xml"));
    QVERIFY(PropertyList::same(*PropertyList::storedValue(Tree::read(path)), QVariant::fromValue(expected)));
}

// How numbers and access keys read from whatever type a file holds;
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
    QTest::newRow("huge real") << QVariant(1e300) << std::numeric_limits<qint64>::max() << true;
    QTest::newRow("huge negative real") << QVariant(-1e300) << std::numeric_limits<qint64>::min() << true;
    // Only finite numbers other than 0 say yes: an access key of NaN grants nothing.
    QTest::newRow("not a number") << QVariant(qQNaN()) << qint64(0) << false;
    QTest::newRow("infinity") << QVariant(qInf()) << std::numeric_limits<qint64>::max() << false;
    QTest::newRow("too many digits") << QVariant(u"-99999999999999999999"_s) << std::numeric_limits<qint64>::min()
                                     << false;
    QTest::newRow("digits and unit") << QVariant(u" 250px"_s) << qint64(250) << false;
    QTest::newRow("full-width digits") << QVariant(u"３００"_s) << qint64(0) << false;
    QTest::newRow("Arabic-Indic digit after ASCII ones") << QVariant(u"12٣"_s) << qint64(12) << false;
    QTest::newRow("signed") << QVariant(u"-12"_s) << qint64(-12) << false;
    QTest::newRow("string 1") << QVariant(u"1"_s) << qint64(1) << true;
    for (const char *word : {"YES", "yes", "Yes", "true"})
        QTest::addRow("string %s", word) << QVariant(QString::fromLatin1(word)) << qint64(0) << true;
    for (const char *word : {"NO", "no", "false", "", "yep"})
        QTest::addRow("string '%s'", word) << QVariant(QString::fromLatin1(word)) << qint64(0) << false;
    QTest::newRow("list") << QVariant(QVariantList{1}) << qint64(0) << false;
    QTest::newRow("dictionary") << QVariant(QVariantMap{{u"x"_s, true}}) << qint64(0) << false;
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
