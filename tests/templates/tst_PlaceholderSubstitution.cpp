// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/PlaceholderSubstitution.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

class tst_PlaceholderSubstitution : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void substitution_data();
    void substitution();
    void fileWithoutPlaceholderIsWrittenUnchanged();
    void escapingEntriesAreRefused_data();
    void escapingEntriesAreRefused();
    void missingFileOrFolderIsSkipped();
    void shorterNameFirstChangesTheLongerPlaceholder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_widget;
};

void tst_PlaceholderSubstitution::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_widget = m_dir->filePath(QStringLiteral("New.wdgt"));
    QDir().mkpath(m_widget);
}

void tst_PlaceholderSubstitution::substitution_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("three occurrences") << QByteArray("Template_T-Template_T-Template_T") << QStringLiteral("x")
                                       << QByteArray("x-x-x");
    QTest::newRow("value holding its placeholder") << QByteArray("<Template_T>") << QStringLiteral("Template_T!")
                                                   << QByteArray("<Template_T!>");
    QTest::newRow("empty value removes") << QByteArray("a Template_T b") << QString() << QByteArray("a  b");
    QTest::newRow("iso 8859-1 kept around it") << QByteArray("caf\xE9 Template_T") << QStringLiteral("ok")
                                               << QByteArray("caf\xE9 ok");
    QTest::newRow("iso 8859-1 value") << QByteArray("caf\xE9 Template_T") << QStringLiteral("\u00fc")
                                      << QByteArray("caf\xE9 \xFC");
    QTest::newRow("value beyond iso 8859-1 makes utf-8") << QByteArray("caf\xE9 Template_T")
                                                         << QStringLiteral("\u20ac") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC");
    QTest::newRow("utf-8 stays utf-8") << QByteArray("\xE2\x82\xAC Template_T") << QStringLiteral("\u00e9")
                                       << QByteArray("\xE2\x82\xAC \xC3\xA9");
    QTest::newRow("utf-16") << QByteArray("\xFF\xFE" "T\0e\0m\0p\0l\0a\0t\0e\0_\0T\0!\0", 24) << QStringLiteral("ok")
                            << QByteArray("\xFF\xFE" "o\0k\0!\0", 8);
}

void tst_PlaceholderSubstitution::substitution()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    Tree::write(m_widget, QStringLiteral("main.html"), before);
    QVERIFY(PlaceholderSubstitution::apply(m_widget, QStringLiteral("main.html"),
                                           PlaceholderSubstitution::placeholderFor(QStringLiteral("T")), value));
    QCOMPARE(Tree::read(m_widget + QStringLiteral("/main.html")), after);
    QCOMPARE(PlaceholderSubstitution::substitute(before, QStringLiteral("Template_T"), value), after);
}

void tst_PlaceholderSubstitution::fileWithoutPlaceholderIsWrittenUnchanged()
{
    const QByteArray bytes("caf\xE9 \x80\x81 <html>");
    Tree::write(m_widget, QStringLiteral("Images/a.txt"), bytes);
    QVERIFY(PlaceholderSubstitution::apply(m_widget, QStringLiteral("Images/a.txt"), QStringLiteral("Template_X"),
                                           QStringLiteral("\u20ac")));
    QCOMPARE(Tree::read(m_widget + QStringLiteral("/Images/a.txt")), bytes);
}

void tst_PlaceholderSubstitution::escapingEntriesAreRefused_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("climbing out") << QStringLiteral("../outside.txt");
    QTest::newRow("climbing out through a folder") << QStringLiteral("Images/../../outside.txt");
    QTest::newRow("absolute") << QStringLiteral("%1/outside.txt");
    QTest::newRow("through a link") << QStringLiteral("link/outside.txt");
    QTest::newRow("the widget itself") << QStringLiteral(".");
}

void tst_PlaceholderSubstitution::escapingEntriesAreRefused()
{
    QFETCH(QString, entry);
    if (entry.contains(u'%'))
        entry = entry.arg(m_dir->path());
    Tree::write(m_dir->path(), QStringLiteral("outside.txt"), "Template_T");
    QVERIFY(QDir().mkpath(m_widget + QStringLiteral("/Images")));
    QVERIFY(QFile::link(m_dir->path(), m_widget + QStringLiteral("/link")));
    QVERIFY(PlaceholderSubstitution::apply(m_widget, entry, QStringLiteral("Template_T"), QStringLiteral("x")));
    QCOMPARE(Tree::read(m_dir->filePath(QStringLiteral("outside.txt"))), QByteArray("Template_T"));
    QVERIFY(PlaceholderSubstitution::pathInWidget(m_widget, QStringLiteral("Images/../main.html")));
}

void tst_PlaceholderSubstitution::missingFileOrFolderIsSkipped()
{
    QVERIFY(QDir().mkpath(m_widget + QStringLiteral("/Folder")));
    QVERIFY(PlaceholderSubstitution::apply(m_widget, QStringLiteral("missing.js"), QStringLiteral("Template_T"), QStringLiteral("x")));
    QVERIFY(PlaceholderSubstitution::apply(m_widget, QStringLiteral("Folder"), QStringLiteral("Template_T"), QStringLiteral("x")));
    QVERIFY(!QFileInfo::exists(m_widget + QStringLiteral("/missing.js")));
    QVERIFY(QFileInfo(m_widget + QStringLiteral("/Folder")).isDir());
}

void tst_PlaceholderSubstitution::shorterNameFirstChangesTheLongerPlaceholder()
{
    Tree::write(m_widget, QStringLiteral("main.html"), "Template_Title / Template_Title2");
    PlaceholderSubstitution::apply(m_widget, QStringLiteral("main.html"), QStringLiteral("Template_Title"), QStringLiteral("A"));
    PlaceholderSubstitution::apply(m_widget, QStringLiteral("main.html"), QStringLiteral("Template_Title2"), QStringLiteral("B"));
    QCOMPARE(Tree::read(m_widget + QStringLiteral("/main.html")), QByteArray("A / A2"));
}

QTEST_GUILESS_MAIN(tst_PlaceholderSubstitution)
#include "tst_PlaceholderSubstitution.moc"
