// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/host/WidgetPage.h"

// The size rule is checked where it shows, in tst_BorderlessWindow, and the
// name a widget calls itself in the lines it logs.
class tst_WidgetBundle : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bundle = m_dir.filePath(u"Sample.wdgt"_s);

private slots:
    void init() { QVERIFY(QDir(m_bundle).removeRecursively() && QDir().mkpath(m_bundle)); }

    void mainPage_data()
    {
        columns<QString, QString>("mainHTML", "expectedFile");
        QTest::newRow("name with spaces") << u"To Do.html"_s << u"To Do.html"_s;
        QTest::newRow("escaped name") << u"To%20Do.html"_s << u"To Do.html"_s;
        QTest::newRow("sub-folder") << u"Pages/front.html"_s << u"Pages/front.html"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void mainPage()
    {
        QFETCH(QString, mainHTML);
        QFETCH(QString, expectedFile);
        QVERIFY(TestBundle::writeInfo(m_bundle, {{u"MainHTML"_s, mainHTML}}));
        QCOMPARE(WidgetBundle::read(m_bundle).mainPage(),
                 expectedFile.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_bundle + u'/' + expectedFile));
    }

    // However the path is spelled, the same folder has the same name; another
    // folder has another.
    void folderIdentifierFollowsTheFolder()
    {
        const QString identifier = WidgetBundle::read(m_bundle).folderIdentifier();
        QVERIFY(QFile::link(m_bundle, m_dir.filePath(u"Link.wdgt"_s)));
        QCOMPARE(WidgetBundle::read(m_dir.filePath(u"Link.wdgt"_s)).folderIdentifier(), identifier);
        QCOMPARE(WidgetBundle::read(m_bundle + u"/../Sample.wdgt/"_s).folderIdentifier(), identifier);
        QVERIFY(QDir().mkpath(m_dir.filePath(u"Other.wdgt"_s)));
        QVERIFY(WidgetBundle::read(m_dir.filePath(u"Other.wdgt"_s)).folderIdentifier() != identifier);
    }
};

QTEST_GUILESS_MAIN(tst_WidgetBundle)
#include "tst_WidgetBundle.moc"
