// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateFolder.h"

#include "platform/FileManager.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"

#include <QTest>

class tst_TemplateFolder : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_home.reset(); m_home = std::make_unique<TestHome>(); }

    void firstUseCopiesTheShippedTemplates();
    void listing_data();
    void listing();
    void variableList_data();
    void variableList();

private:
    std::unique_ptr<TestHome> m_home;
};

void tst_TemplateFolder::firstUseCopiesTheShippedTemplates()
{
    QVERIFY(!QFileInfo::exists(TemplateFolder::templatesPath()));
    TemplateFolder::prepare();
    QStringList names = TemplateFolder::installedTemplates();
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Blank.wdtp"), QStringLiteral("Countdown.wdtp"),
                                 QStringLiteral("Greeting.wdtp"), QStringLiteral("Links.wdtp")}));
    const QString blank = TemplateFolder::templateBundlePath(QStringLiteral("Blank"));
    QVERIFY(QFileInfo(blank + QStringLiteral("/Default.png")).isWritable());
    QVERIFY(TemplateFolder::variableList(QStringLiteral("Blank")).isEmpty());
    QCOMPARE(TemplateFolder::variableList(QStringLiteral("Greeting")).size(), 3);
    // Only the first use fills the folder: what the user removed stays removed.
    QVERIFY(FileManager::removeItem(blank));
    TemplateFolder::prepare();
    QVERIFY(!TemplateFolder::installedTemplates().contains(QStringLiteral("Blank.wdtp")));
    QCOMPARE(TemplateFolder::installedTemplates().size(), 3);
}

void tst_TemplateFolder::listing_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("empty") << QStringList() << QStringList();
    QTest::newRow("only exact wdtp folders")
        << QStringList{QStringLiteral("Note.txt"), QStringLiteral("Old.WDTP/"), QStringLiteral("My Widget.wdtp/"),
                       QStringLiteral("Clock.wdgt/")}
        << QStringList{QStringLiteral("My Widget.wdtp")};
}

void tst_TemplateFolder::listing()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, listed);
    QVERIFY(QDir().mkpath(TemplateFolder::templatesPath()));
    for (const QString &entry : entries) {
        if (entry.endsWith(u'/'))
            QVERIFY(QDir().mkpath(TemplateFolder::templatesPath() + u'/' + entry));
        else
            Tree::write(TemplateFolder::templatesPath(), entry, "x");
    }
    TemplateFolder::prepare();
    QCOMPARE(TemplateFolder::installedTemplates(), listed);
}

void tst_TemplateFolder::variableList_data()
{
    QTest::addColumn<QByteArray>("plist");
    QTest::addColumn<int>("count");
    QTest::newRow("two variables") << QByteArray("<plist><array><dict><key>TPVType</key><string>Text</string></dict>"
                                                 "<dict/></array></plist>") << 2;
    QTest::newRow("empty array") << QByteArray("<plist><array/></plist>") << 0;
    QTest::newRow("dictionary root") << QByteArray("<plist><dict/></plist>") << 0;
    QTest::newRow("unreadable") << QByteArray("garbage") << 0;
}

void tst_TemplateFolder::variableList()
{
    QFETCH(QByteArray, plist);
    QFETCH(int, count);
    Tree::write(TemplateFolder::templatesPath(), QStringLiteral("T.wdtp/template.plist"), plist);
    QCOMPARE(TemplateFolder::variableList(QStringLiteral("T")).size(), count);
    QVERIFY(TemplateFolder::variableList(QStringLiteral("Missing")).isEmpty());
}

QTEST_GUILESS_MAIN(tst_TemplateFolder)
#include "tst_TemplateFolder.moc"
