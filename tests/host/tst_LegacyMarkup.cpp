// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/LegacyMarkup.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

class tst_LegacyMarkup : public QObject
{
    Q_OBJECT

private slots:
    void closeEmptyTags_data();
    void closeEmptyTags();
    void repairedPage_data();
    void repairedPage();
};

void tst_LegacyMarkup::closeEmptyTags_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty script tag")
        << QByteArray("<head><script src='a.js'/></head><body>x</body>")
        << QByteArray("<head><script src='a.js'></script></head><body>x</body>");
    QTest::newRow("several, any case, blank before the slash")
        << QByteArray("<SCRIPT src=\"a.js\" /><style/><Title/><textarea name=t/>")
        << QByteArray("<SCRIPT src=\"a.js\" ></script><style></style><Title></title>"
                      "<textarea name=t></textarea>");
    QTest::newRow("iframe") << QByteArray("<iframe src=\"x.html\"/><p>after</p>")
                            << QByteArray("<iframe src=\"x.html\"></iframe><p>after</p>");
    QTest::newRow("closed elements stay") << QByteArray("<script src='a.js'></script><p>x</p>")
                                          << QByteArray("<script src='a.js'></script><p>x</p>");
    QTest::newRow("a slash inside a quoted value")
        << QByteArray("<script src='lib/a.js' data-x='/>'></script>")
        << QByteArray("<script src='lib/a.js' data-x='/>'></script>");
    QTest::newRow("markup inside a script is its text")
        << QByteArray("<script>var s = \"<script src='x'/>\";</script><script src='b.js'/>")
        << QByteArray("<script>var s = \"<script src='x'/>\";</script><script src='b.js'></script>");
    QTest::newRow("inside a comment")
        << QByteArray("<!-- <script src='x.js'/> --><script src='b.js'/>")
        << QByteArray("<!-- <script src='x.js'/> --><script src='b.js'></script>");
    QTest::newRow("other elements with empty tags stay")
        << QByteArray("<div id='a'/><br/><img src='i.png'/><scripted/>")
        << QByteArray("<div id='a'/><br/><img src='i.png'/><scripted/>");
    QTest::newRow("a tag that never ends") << QByteArray("<p>x</p><script src='a.js'")
                                           << QByteArray("<p>x</p><script src='a.js'");
    QTest::newRow("non-ASCII text around")
        << QByteArray("<p>\xc3\xa9t\xc3\xa9</p><script src='\xc3\xa9.js'/>\xe9")
        << QByteArray("<p>\xc3\xa9t\xc3\xa9</p><script src='\xc3\xa9.js'></script>\xe9");
    QTest::newRow("nothing") << QByteArray() << QByteArray();
}

void tst_LegacyMarkup::closeEmptyTags()
{
    QFETCH(QByteArray, html);
    QFETCH(QByteArray, expected);
    QCOMPARE(LegacyMarkup::closeEmptyTags(html), expected);
}

void tst_LegacyMarkup::repairedPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<bool>("repaired");
    QTest::newRow("page with an empty script tag") << QStringLiteral("main.html")
                                                   << QByteArray("<script src='a.js'/>") << true;
    QTest::newRow("htm") << QStringLiteral("main.HTM") << QByteArray("<script src='a.js'/>")
                         << true;
    QTest::newRow("nothing to repair") << QStringLiteral("main.html")
                                       << QByteArray("<script src='a.js'></script>") << false;
    QTest::newRow("not HTML") << QStringLiteral("main.xhtml") << QByteArray("<script src='a.js'/>")
                              << false;
    QTest::newRow("too large")
        << QStringLiteral("main.html")
        << QByteArray("<script src='a.js'/>") + QByteArray(2 * 1024 * 1024, ' ') << false;
}

void tst_LegacyMarkup::repairedPage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, html);
    QFETCH(bool, repaired);
    QTemporaryDir dir;
    QVERIFY(Tree::write(dir.path(), name, html));

    const std::optional<QByteArray> page = LegacyMarkup::repairedPage(dir.filePath(name));

    QCOMPARE(page.has_value(), repaired);
    if (page)
        QCOMPARE(*page, LegacyMarkup::closeEmptyTags(html));
}

QTEST_APPLESS_MAIN(tst_LegacyMarkup)
#include "tst_LegacyMarkup.moc"
