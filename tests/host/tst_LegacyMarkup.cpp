// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/LegacyMarkup.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

class tst_LegacyMarkup : public QObject
{
    Q_OBJECT

private slots:
    void closeEmptyTags_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QByteArray>("expected"); // none when unchanged
        QTest::newRow("empty script tag") << QByteArray("<head><script src='a.js'/></head><body>x</body>")
                                          << QByteArray("<head><script src='a.js'></script></head><body>x</body>");
        QTest::newRow("each raw-text element, any case, blank before the slash")
            << QByteArray("<SCRIPT src=\"a.js\" /><style/><Title/><textarea name=t/><iframe src='x.html'/>")
            << QByteArray("<SCRIPT src=\"a.js\" ></script><style></style><Title></title>"
                          "<textarea name=t></textarea><iframe src='x.html'></iframe>");
        QTest::newRow("closed and other elements stay")
            << QByteArray("<script src='a.js'></script><div id='a'/><br/><scripted/>") << QByteArray();
        QTest::newRow("a slash inside a quoted value") << QByteArray("<script src='lib/a.js' data-x='/>'></script>")
                                                       << QByteArray();
        QTest::newRow("markup inside a script is its text")
            << QByteArray("<script>var s = \"<script src='x'/>\";</script><script src='b.js'/>")
            << QByteArray("<script>var s = \"<script src='x'/>\";</script><script src='b.js'></script>");
        QTest::newRow("inside a comment") << QByteArray("<!-- <script src='x.js'/> --><script src='b.js'/>")
                                          << QByteArray("<!-- <script src='x.js'/> --><script src='b.js'></script>");
        QTest::newRow("a tag that never ends") << QByteArray("<p>x</p><script src='a.js'") << QByteArray();
        QTest::newRow("non-ASCII text around")
            << QByteArray("<p>\xc3\xa9t\xc3\xa9</p><script src='\xc3\xa9.js'/>\xe9")
            << QByteArray("<p>\xc3\xa9t\xc3\xa9</p><script src='\xc3\xa9.js'></script>\xe9");
    }
    void closeEmptyTags()
    {
        QFETCH(QByteArray, html);
        QFETCH(QByteArray, expected);
        QCOMPARE(LegacyMarkup::closeEmptyTags(html), expected.isEmpty() ? html : expected);
    }

    void repairedPage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<bool>("repaired");
        const QByteArray empty("<script src='a.js'/>");
        QTest::newRow("page with an empty script tag") << QStringLiteral("main.html") << empty << true;
        QTest::newRow("htm") << QStringLiteral("main.HTM") << empty << true;
        QTest::newRow("nothing to repair") << QStringLiteral("main.html") << QByteArray("<script src='a.js'></script>")
                                           << false;
        QTest::newRow("not HTML") << QStringLiteral("main.xhtml") << empty << false;
        QTest::newRow("too large") << QStringLiteral("main.html") << empty + QByteArray(2 * 1024 * 1024, ' ') << false;
    }
    void repairedPage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, html);
        QFETCH(bool, repaired);
        QTemporaryDir dir;
        QVERIFY(Tree::write(dir.path(), name, html));
        const std::optional<QByteArray> page = LegacyMarkup::repairedPage(dir.filePath(name));
        QCOMPARE(page, repaired ? std::optional(LegacyMarkup::closeEmptyTags(html)) : std::nullopt);
    }
};

QTEST_APPLESS_MAIN(tst_LegacyMarkup)
#include "tst_LegacyMarkup.moc"
