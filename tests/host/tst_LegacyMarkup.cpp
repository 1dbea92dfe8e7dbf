// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/LegacyMarkup.h"

#include "tests/host/WidgetPage.h"

class tst_LegacyMarkup : public QObject
{
    Q_OBJECT

private slots:
    void closeEmptyTags_data()
    {
        columns<QByteArray, QByteArray>("html", "expected"); // none when unchanged
        QTest::newRow("each raw-text element, any case, blank before the slash")
            << "<SCRIPT src=\"a.js\" /><style/><Title/><textarea name=t/><iframe src='x.html'/>"_ba
            << "<SCRIPT src=\"a.js\" ></script><style></style><Title></title><textarea name=t></textarea>"
               "<iframe src='x.html'></iframe>"_ba;
        QTest::newRow("closed and other elements stay")
            << "<script src='a.js'></script><div id='a'/><br/><scripted/>"_ba << QByteArray();
        QTest::newRow("slash in a quoted value") << "<script src='lib/a.js' data-x='/>'></script>"_ba << QByteArray();
        QTest::newRow("markup inside a script is its text")
            << "<script>var s = \"<script src='x'/>\";</script><script src='b.js'/>"_ba
            << "<script>var s = \"<script src='x'/>\";</script><script src='b.js'></script>"_ba;
        QTest::newRow("inside a comment") << "<!-- <script src='x.js'/> --><script src='b.js'/>"_ba
                                          << "<!-- <script src='x.js'/> --><script src='b.js'></script>"_ba;
        QTest::newRow("a tag that never ends") << "<p>x</p><script src='a.js'"_ba << QByteArray();
        QTest::newRow("non-ASCII text around") << "<p>\xc3\xa9t\xc3\xa9</p><script src='\xc3\xa9.js'/>\xe9"_ba
                                               << "<p>\xc3\xa9t\xc3\xa9</p><script src='\xc3\xa9.js'></script>\xe9"_ba;
    }
    void closeEmptyTags()
    {
        QFETCH(QByteArray, html);
        QFETCH(QByteArray, expected);
        QCOMPARE(LegacyMarkup::closeEmptyTags(html), expected.isEmpty() ? html : expected);
    }

    void repairedPage_data()
    {
        columns<QString, QByteArray, bool>("name", "html", "repaired");
        const QByteArray empty("<script src='a.js'/>");
        QTest::newRow("page with an empty script tag") << u"main.html"_s << empty << true;
        QTest::newRow("htm") << u"main.HTM"_s << empty << true;
        QTest::newRow("nothing to repair") << u"main.html"_s << "<script src='a.js'></script>"_ba << false;
        QTest::newRow("not HTML") << u"main.xhtml"_s << empty << false;
        QTest::newRow("too large") << u"main.html"_s << empty + QByteArray(2 * 1024 * 1024, ' ') << false;
    }
    void repairedPage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, html);
        QFETCH(bool, repaired);
        QTemporaryDir dir;
        QVERIFY(Tree::write(dir.path(), name, html));
        QCOMPARE(LegacyMarkup::repairedPage(dir.filePath(name)),
                 repaired ? std::optional(LegacyMarkup::closeEmptyTags(html)) : std::nullopt);
    }
};

QTEST_APPLESS_MAIN(tst_LegacyMarkup)
#include "tst_LegacyMarkup.moc"
