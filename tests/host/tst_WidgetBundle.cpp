// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetBundle.h"

#include "tests/common/Tree.h"
#include "tests/host/TestBundle.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A dictionary of up to two entries; an invalid value leaves its key out.
QVariantMap entries(const QString &firstKey, const QVariant &first, const QString &secondKey,
                    const QVariant &second)
{
    QVariantMap map;
    if (first.isValid())
        map.insert(firstKey, first);
    if (second.isValid())
        map.insert(secondKey, second);
    return map;
}

} // namespace

class tst_WidgetBundle : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void size_data();
    void size();
    void upperCaseListComesFirst();
    void mainPage_data();
    void mainPage();
    void closeBoxInset_data();
    void closeBoxInset();
    void infoIsTheListAsRead();
    void readingWritesNothing();
    void displayName_data();
    void displayName();
    void folderIdentifierFollowsTheFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bundle;
};

void tst_WidgetBundle::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_bundle = m_dir->filePath(u"Sample.wdgt"_s);
    QVERIFY(QDir().mkpath(m_bundle));
}

void tst_WidgetBundle::size_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QSize>("defaultImage");
    QTest::addColumn<QSize>("expected");

    const QString upper = u"Info.plist"_s;
    const QSize none;
    const QSize image(200, 120);
    const QVariant missing;
    auto sized = [](const QVariant &width, const QVariant &height) {
        return entries(u"Width"_s, width, u"Height"_s, height);
    };

    QTest::newRow("numbers") << upper << sized(300, 150) << image << QSize(300, 150);
    QTest::newRow("digit strings") << upper << sized(u"300"_s, u"150"_s) << none << QSize(300, 150);
    QTest::newRow("digits and a unit") << upper << sized(u"250px"_s, u" 90"_s) << none
                                       << QSize(250, 90);
    QTest::newRow("keys missing") << upper << sized(missing, missing) << image << image;
    QTest::newRow("keys 0") << upper << sized(0, u"0"_s) << image << image;
    QTest::newRow("not numbers") << upper << sized(u"wide"_s, QVariantList{150}) << image << image;
    QTest::newRow("no width, height set") << upper << sized(missing, 150) << image
                                          << QSize(200, 150);
    QTest::newRow("width set, no height") << upper << sized(300, missing) << image
                                          << QSize(300, 120);
    QTest::newRow("lower-case info.plist") << u"info.plist"_s << sized(300, 150) << none
                                           << QSize(300, 150);
    QTest::newRow("no list, Default.png") << QString() << QVariantMap() << image << image;
    QTest::newRow("nothing") << QString() << QVariantMap() << none << QSize(0, 0);
    QTest::newRow("keys missing, no Default.png") << upper << QVariantMap() << none << QSize(0, 0);
    QTest::newRow("negative is no size") << upper << sized(-40, 150) << image << QSize(0, 150);
}

void tst_WidgetBundle::size()
{
    QFETCH(QString, listName);
    QFETCH(QVariantMap, info);
    QFETCH(QSize, defaultImage);
    QFETCH(QSize, expected);
    if (!listName.isEmpty())
        QVERIFY(TestBundle::writeInfo(m_bundle, info, listName));
    if (defaultImage.isValid())
        QVERIFY(TestBundle::writeDefaultImage(m_bundle, defaultImage));

    QCOMPARE(WidgetBundle::read(m_bundle).size(), expected);
}

void tst_WidgetBundle::upperCaseListComesFirst()
{
    QVERIFY(TestBundle::writeInfo(m_bundle, entries(u"Width"_s, 300, u"Height"_s, 150)));
    QVERIFY(TestBundle::writeInfo(m_bundle, entries(u"Width"_s, 10, u"Height"_s, 10),
                                  u"info.plist"_s));
    QCOMPARE(WidgetBundle::read(m_bundle).size(), QSize(300, 150));
}

void tst_WidgetBundle::mainPage_data()
{
    QTest::addColumn<QVariant>("mainHTML");
    QTest::addColumn<QString>("expectedFile");

    QTest::newRow("plain name") << QVariant(u"main.html"_s) << u"main.html"_s;
    QTest::newRow("name with spaces") << QVariant(u"To Do.html"_s) << u"To Do.html"_s;
    QTest::newRow("escaped name") << QVariant(u"To%20Do.html"_s) << u"To Do.html"_s;
    QTest::newRow("sub-folder") << QVariant(u"Pages/front.html"_s) << u"Pages/front.html"_s;
    QTest::newRow("missing") << QVariant() << QString();
    QTest::newRow("empty") << QVariant(QString()) << QString();
}

void tst_WidgetBundle::mainPage()
{
    QFETCH(QVariant, mainHTML);
    QFETCH(QString, expectedFile);
    QVariantMap info;
    if (mainHTML.isValid())
        info.insert(u"MainHTML"_s, mainHTML);
    QVERIFY(TestBundle::writeInfo(m_bundle, info));

    const QUrl page = WidgetBundle::read(m_bundle).mainPage();
    if (expectedFile.isEmpty()) {
        QVERIFY(page.isEmpty());
        return;
    }
    QVERIFY(page.isLocalFile());
    QCOMPARE(page.toLocalFile(), m_bundle + u'/' + expectedFile);
}

void tst_WidgetBundle::closeBoxInset_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("numbers") << entries(u"CloseBoxInsetX"_s, 10, u"CloseBoxInsetY"_s, 12)
                             << QPoint(10, 12);
    QTest::newRow("digit strings")
        << entries(u"CloseBoxInsetX"_s, u"6"_s, u"CloseBoxInsetY"_s, u"4"_s) << QPoint(6, 4);
    QTest::newRow("missing") << QVariantMap() << QPoint(0, 0);
}

void tst_WidgetBundle::closeBoxInset()
{
    QFETCH(QVariantMap, info);
    QFETCH(QPoint, expected);
    QVERIFY(TestBundle::writeInfo(m_bundle, info));
    QCOMPARE(WidgetBundle::read(m_bundle).closeBoxInset(), expected);
}

void tst_WidgetBundle::infoIsTheListAsRead()
{
    const QVariantMap info = entries(u"CFBundleIdentifier"_s, u"com.example.sample"_s,
                                     u"AllowNetworkAccess"_s, true);
    QVERIFY(TestBundle::writeInfo(m_bundle, info));
    const WidgetBundle bundle = WidgetBundle::read(m_bundle);
    QCOMPARE(bundle.info(), info);
    QCOMPARE(bundle.bundlePath(), m_bundle);

    QVERIFY(QFile::remove(m_bundle + u"/Info.plist"_s));
    QVERIFY(WidgetBundle::read(m_bundle).info().isEmpty());
}

void tst_WidgetBundle::readingWritesNothing()
{
    TestBundle::write(m_bundle, QSize(0, 0), u"Sample"_s);
    QVERIFY(TestBundle::writeDefaultImage(m_bundle, QSize(20, 10)));
    const QMap<QString, QByteArray> before = Tree::snapshot(m_bundle);

    QCOMPARE(WidgetBundle::read(m_bundle).size(), QSize(20, 10));
    QCOMPARE(Tree::snapshot(m_bundle), before);
}

void tst_WidgetBundle::displayName_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("expected");
    QTest::newRow("display name first") << entries(u"CFBundleDisplayName"_s, u"River Levels"_s,
                                                   u"CFBundleName"_s, u"RiverLevels"_s)
                                        << u"River Levels"_s;
    QTest::newRow("then the name") << entries(u"CFBundleName"_s, u"RiverLevels"_s, {}, {})
                                   << u"RiverLevels"_s;
    QTest::newRow("then the folder") << QVariantMap() << u"Sample"_s;
}

void tst_WidgetBundle::displayName()
{
    QFETCH(QVariantMap, info);
    QFETCH(QString, expected);
    QVERIFY(TestBundle::writeInfo(m_bundle, info));
    QCOMPARE(WidgetBundle::read(m_bundle).displayName(), expected);
    QCOMPARE(WidgetBundle::read(m_bundle + u'/').displayName(), expected);
}

// However the path is spelled, the same folder has the same name; another
// folder has another.
void tst_WidgetBundle::folderIdentifierFollowsTheFolder()
{
    const QString identifier = WidgetBundle::read(m_bundle).folderIdentifier();
    QCOMPARE(identifier.size(), 16);
    QVERIFY(QFile::link(m_bundle, m_dir->filePath(u"Link.wdgt"_s)));
    QCOMPARE(WidgetBundle::read(m_dir->filePath(u"Link.wdgt"_s)).folderIdentifier(), identifier);
    QCOMPARE(WidgetBundle::read(m_bundle + u"/../Sample.wdgt/"_s).folderIdentifier(), identifier);
    const QString other = m_dir->filePath(u"Other.wdgt"_s);
    QVERIFY(QDir().mkpath(other));
    QVERIFY(WidgetBundle::read(other).folderIdentifier() != identifier);
}

QTEST_GUILESS_MAIN(tst_WidgetBundle)
#include "tst_WidgetBundle.moc"
