// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ImageCanvas.h"
#include "platform/FileManager.h"
#include "templates/TPArrayView.h"
#include "templates/TPArrayView2.h"
#include "templates/TPDateView.h"
#include "templates/TPFileView.h"
#include "templates/TPImageView.h"

#include "tests/common/Tree.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

// Monday 5 March 2007, 09:04:07.250.
const QDateTime Moment(QDate(2007, 3, 5), QTime(9, 4, 7, 250));

template <class View>
std::unique_ptr<View> viewFor(const QVariantMap &info)
{
    auto view = std::make_unique<View>();
    view->setInfoDictionary(info);
    return view;
}

void type(QWidget *view, const char *field, const QString &text)
{
    view->findChild<QLineEdit *>(QString::fromLatin1(field))->setText(text);
}

void click(QWidget *view, const char *button)
{
    view->findChild<QPushButton *>(QString::fromLatin1(button))->click();
}

} // namespace

class tst_VariableViews : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void dateRenderings_data();
    void dateRenderings();
    void dateOffsets_data();
    void dateOffsets();
    void dateFillsEveryLetterInOneWrite();

    void arrayExpansion_data();
    void arrayExpansion();
    void arrayListEditing();
    void arrayWritesTheDefaultWhenEmpty();
    void pairExpansion_data();
    void pairExpansion();
    void pairsFromTheUsersList();
    void malformedPairsNeitherCrashNorCorrupt();

    void imageWrittenAtEveryPath();
    void defaultImageNeverReplaces();
    void fileCopiedIntoTheFolderAndNamedInText();
    void fileNothingChosenRemovesThePlaceholder();

private:
    QString widget(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? m_widget : m_widget + u'/' + relative;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_widget;
};

void tst_VariableViews::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_widget = m_dir->filePath(QStringLiteral("New.wdgt"));
    QDir().mkpath(m_widget);
}

void tst_VariableViews::dateRenderings_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("rendering");
    const std::pair<char, const char *> table[] = {
        {'a', "Mon"}, {'A', "Monday"}, {'b', "Mar"}, {'B', "March"}, {'c', "09:04:07 03/05/07"},
        {'d', "05"}, {'e', "5"}, {'F', "250"}, {'H', "09"}, {'I', "09"}, {'j', "064"}, {'m', "03"},
        {'M', "04"}, {'p', "AM"}, {'S', "07"}, {'w', "1"}, {'x', "03/05/07"}, {'X', "09:04:07"},
        {'y', "07"}, {'Y', "2007"},
    };
    for (const auto &[letter, rendering] : table)
        QTest::newRow(QByteArray(1, letter).constData()) << QChar(QLatin1Char(letter)) << QString::fromLatin1(rendering);
}

void tst_VariableViews::dateRenderings()
{
    QFETCH(QChar, letter);
    QFETCH(QString, rendering);
    QCOMPARE(TPDateView::render(Moment, letter), rendering);
}

void tst_VariableViews::dateOffsets_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("hour12");
    QTest::newRow("east") << QDateTime(QDate(2007, 3, 5), QTime(0, 30), QTimeZone(3600)) << QStringLiteral("+0100") << QStringLiteral("12");
    QTest::newRow("west, half hours") << QDateTime(QDate(2007, 3, 5), QTime(15, 0), QTimeZone(-(5 * 3600 + 1800)))
                                      << QStringLiteral("-0530") << QStringLiteral("03");
    QTest::newRow("utc") << QDateTime(QDate(2007, 3, 5), QTime(12, 0), QTimeZone::utc()) << QStringLiteral("+0000") << QStringLiteral("12");
}

void tst_VariableViews::dateOffsets()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, offset);
    QFETCH(QString, hour12);
    QCOMPARE(TPDateView::render(moment, u'z'), offset);
    QCOMPARE(TPDateView::render(moment, u'I'), hour12);
    QCOMPARE(TPDateView::render(moment, u'w'), QStringLiteral("1"));
}

void tst_VariableViews::dateFillsEveryLetterInOneWrite()
{
    Tree::write(m_widget, QStringLiteral("main.js"),
                "Template_day|Template_day_ab|Template_day_q|Template_day_x/Template_day_X|Template_day_d Template_day_d|Template_day_F");
    Tree::write(m_widget, QStringLiteral("plain.txt"), "nothing here \xE9");
    auto view = viewFor<TPDateView>({{QStringLiteral("TPVName"), QStringLiteral("day")}});
    QVERIFY(qAbs(view->dateValue().secsTo(QDateTime::currentDateTime())) < 5);
    view->setDateValue(Moment);
    view->saveToPath(widget(), {{QStringLiteral("TPVName"), QStringLiteral("day")},
                                {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("main.js"), QStringLiteral("plain.txt"), QStringLiteral("missing.js")}}});
    QCOMPARE(Tree::read(widget(QStringLiteral("main.js"))),
             QByteArray("Template_day|Monb|Template_day_q|03/05/07/09:04:07|05 05|250"));
    QCOMPARE(Tree::read(widget(QStringLiteral("plain.txt"))), QByteArray("nothing here \xE9"));
    QVERIFY(!QFileInfo::exists(widget(QStringLiteral("missing.js"))));
}

void tst_VariableViews::arrayExpansion_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expansion");
    const QStringList ab{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("each value through the format") << ab << QStringLiteral("[Template_Val]") << QStringLiteral("[a][b]");
    QTest::newRow("Template_Val1 holds Template_Val") << ab << QStringLiteral("Template_Val1,") << QStringLiteral("a1,b1,");
    QTest::newRow("format without a value") << ab << QStringLiteral("x") << QStringLiteral("xx");
    QTest::newRow("no values") << QStringList() << QStringLiteral("[Template_Val]") << QString();
    QTest::newRow("missing format") << ab << QString() << QString();
}

void tst_VariableViews::arrayExpansion()
{
    QFETCH(QStringList, values);
    QFETCH(QString, format);
    QFETCH(QString, expansion);
    QCOMPARE(TPArrayView::expansion(values, format), expansion);
}

void tst_VariableViews::arrayListEditing()
{
    auto view = viewFor<TPArrayView>({{QStringLiteral("TPVName"), QStringLiteral("Tags")}});
    QVERIFY(view->values().isEmpty());
    click(view.get(), "addButton"); // an empty field adds nothing
    for (const char *value : {"a", "b", "a"}) {
        type(view.get(), "entryField", QString::fromLatin1(value));
        click(view.get(), "addButton");
    }
    QCOMPARE(view->values(), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    QVERIFY(view->findChild<QLineEdit *>(QStringLiteral("entryField"))->text().isEmpty());
    view->findChild<QComboBox *>()->setCurrentIndex(0);
    click(view.get(), "removeButton");
    QCOMPARE(view->values(), QStringList{QStringLiteral("a")});
    click(view.get(), "removeButton");
    click(view.get(), "removeButton"); // nothing left: nothing happens
    QVERIFY(view->values().isEmpty());
}

void tst_VariableViews::arrayWritesTheDefaultWhenEmpty()
{
    Tree::write(m_widget, QStringLiteral("main.html"), "<ul>Template_Tags</ul>");
    const QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Tags")},
                           {QStringLiteral("TPVFormat"), QStringLiteral("<li>Template_Val</li>")},
                           {QStringLiteral("TPVDefaultValue"), QStringList{QStringLiteral("x"), QStringLiteral("y")}},
                           {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("main.html")}}};
    viewFor<TPArrayView>(info)->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("main.html"))), QByteArray("<ul><li>x</li><li>y</li></ul>"));
}

void tst_VariableViews::pairExpansion_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expansion");
    const QString pair = QStringLiteral("Template_Val1=Template_Val2;");
    QTest::newRow("blanks kept") << QStringList{QStringLiteral("x {+} 1"), QStringLiteral("y {+} 2")} << pair << QStringLiteral("x = 1;y = 2;");
    QTest::newRow("cut at the first value's own {+}") << QStringList{QStringLiteral("a{+}b {+} c")} << QStringLiteral("Template_Val1|Template_Val2")
                                                     << QStringLiteral("a|b ");
    QTest::newRow("second value empty") << QStringList{QStringLiteral("x {+} ")} << QStringLiteral("[Template_Val2]") << QStringLiteral("[ ]");
    QTest::newRow("first value rewritten by the second") << QStringList{QStringLiteral("Template_Val2 {+} z")}
                                                        << QStringLiteral("Template_Val1") << QStringLiteral(" z ");
}

void tst_VariableViews::pairExpansion()
{
    QFETCH(QStringList, titles);
    QFETCH(QString, format);
    QFETCH(QString, expansion);
    QCOMPARE(TPArrayView2::expansion(TPArrayView2::pairsFromTitles(titles), format), expansion);
}

void tst_VariableViews::pairsFromTheUsersList()
{
    Tree::write(m_widget, QStringLiteral("main.js"), "var map = {Template_Colour{+}Value};");
    QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Colour{+}Value")},
                     {QStringLiteral("TPVFormat"), QStringLiteral("Template_Val1=Template_Val2;")},
                     {QStringLiteral("TPVDefaultValue"), QVariantList{QStringList{QStringLiteral("x"), QStringLiteral("y")},
                                                                      QStringList{QStringLiteral("1"), QStringLiteral("2")}}},
                     {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("main.js")}}};
    auto view = viewFor<TPArrayView2>(info);
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("firstCaption"))->text(), QStringLiteral("Colour"));
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("secondCaption"))->text(), QStringLiteral("Value"));
    // The default pairs carry no blanks.
    view->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("main.js"))), QByteArray("var map = {x=1;y=2;};"));

    Tree::write(m_widget, QStringLiteral("main.js"), "var map = {Template_Colour{+}Value};");
    for (const auto &[first, second] : {std::pair{"x", "1"}, std::pair{"y", "2"}}) {
        type(view.get(), "firstField", QString::fromLatin1(first));
        type(view.get(), "secondField", QString::fromLatin1(second));
        click(view.get(), "addButton");
    }
    QCOMPARE(view->titles(), (QStringList{QStringLiteral("x {+} 1"), QStringLiteral("y {+} 2")}));
    view->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("main.js"))), QByteArray("var map = {x = 1;y = 2;};"));
}

void tst_VariableViews::malformedPairsNeitherCrashNorCorrupt()
{
    Tree::write(m_widget, QStringLiteral("a.txt"), "[Template_Solo]");
    const QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Solo")},
                           {QStringLiteral("TPVDefaultValue"), QVariantList{QStringList{QStringLiteral("x"), QStringLiteral("y")},
                                                                            QStringList{QStringLiteral("1")}}},
                           {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("a.txt")}}};
    auto view = viewFor<TPArrayView2>(info);
    QVERIFY(view->findChild<QLabel *>(QStringLiteral("secondCaption"))->text().isEmpty());
    QCOMPARE(TPArrayView2::expansion(TPArrayView2::pairsFromDefault(info.value(QStringLiteral("TPVDefaultValue"))),
                                     QStringLiteral("Template_Val1=Template_Val2;")),
             QStringLiteral("x=1;y=;"));
    view->saveToPath(widget(), info); // no format: every pair writes nothing
    QCOMPARE(Tree::read(widget(QStringLiteral("a.txt"))), QByteArray("[]"));
}

void tst_VariableViews::imageWrittenAtEveryPath()
{
    Tree::write(m_widget, QStringLiteral("Default.png"), "old");
    Tree::write(m_widget, QStringLiteral("Images/back.png"), "old");
    const QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Picture")},
                           {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("Default.png"), QStringLiteral("Images/back.png"),
                                                                    QStringLiteral("../outside.png")}}};
    auto view = viewFor<TPImageView>(info);
    QImage picture(30, 20, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    QApplication::clipboard()->setImage(picture);
    view->findChild<ImageCanvas *>()->paste();
    QCOMPARE(view->image().size(), QSize(30, 20));
    view->saveToPath(widget(), info);
    const QByteArray first = Tree::read(widget(QStringLiteral("Default.png")));
    QVERIFY(first.startsWith("\x89PNG"));
    QCOMPARE(Tree::read(widget(QStringLiteral("Images/back.png"))), first);
    QCOMPARE(QImageReader(widget(QStringLiteral("Default.png"))).size(), QSize(30, 20));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("outside.png"))));
}

void tst_VariableViews::defaultImageNeverReplaces()
{
    Tree::write(m_dir->path(), QStringLiteral("default.png"), "default image");
    Tree::write(m_widget, QStringLiteral("Default.png"), "the template's own");
    QVERIFY(QDir().mkpath(widget(QStringLiteral("Images"))));
    const QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Picture")},
                           {QStringLiteral("TPVDefaultValue"), m_dir->filePath(QStringLiteral("default.png"))},
                           {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("Default.png"), QStringLiteral("Images/new.png")}}};
    viewFor<TPImageView>(info)->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("Default.png"))), QByteArray("the template's own"));
    QCOMPARE(Tree::read(widget(QStringLiteral("Images/new.png"))), QByteArray("default image"));
}

void tst_VariableViews::fileCopiedIntoTheFolderAndNamedInText()
{
    Tree::write(m_dir->path(), QStringLiteral("sun.jpg"), "sunshine");
    Tree::write(m_dir->path(), QStringLiteral("moon.jpg"), "new moon");
    Tree::write(m_widget, QStringLiteral("main.js"), "var picture = 'Template_Picture';");
    Tree::write(m_widget, QStringLiteral("Images/moon.jpg"), "the template's moon");
    const QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Picture")},
                           {QStringLiteral("TPVDefaultValue"), QString()},
                           {QStringLiteral("TPVFileTypes"), QStringList{QStringLiteral("jpg"), QStringLiteral("png")}},
                           {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("Images"), QStringLiteral("main.js"), QStringLiteral("gone.js")}}};
    auto view = viewFor<TPFileView>(info);
    QCOMPARE(view->findChild<QLineEdit *>(QStringLiteral("typesField"))->text(), QStringLiteral("jpg, png"));
    type(view.get(), "pathField", m_dir->filePath(QStringLiteral("sun.jpg")));
    view->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("Images/sun.jpg"))), QByteArray("sunshine"));
    QCOMPARE(Tree::read(widget(QStringLiteral("main.js"))), QByteArray("var picture = 'Images/sun.jpg';"));
    QVERIFY(!QFileInfo::exists(widget(QStringLiteral("gone.js"))));

    // An existing file of the chosen name stays; the text still names it.
    Tree::write(m_widget, QStringLiteral("main.js"), "var picture = 'Template_Picture';");
    type(view.get(), "pathField", m_dir->filePath(QStringLiteral("moon.jpg")));
    view->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("Images/moon.jpg"))), QByteArray("the template's moon"));
    QCOMPARE(Tree::read(widget(QStringLiteral("main.js"))), QByteArray("var picture = 'Images/moon.jpg';"));
}

void tst_VariableViews::fileNothingChosenRemovesThePlaceholder()
{
    Tree::write(m_widget, QStringLiteral("main.html"), "<img src=\"Template_Icon\">");
    QVERIFY(QDir().mkpath(widget(QStringLiteral("Images"))));
    const QVariantMap info{{QStringLiteral("TPVName"), QStringLiteral("Icon")},
                           {QStringLiteral("TPVDefaultValue"), QString()},
                           {QStringLiteral("TPVFiles"), QStringList{QStringLiteral("Images"), QStringLiteral("main.html")}}};
    viewFor<TPFileView>(info)->saveToPath(widget(), info);
    QCOMPARE(Tree::read(widget(QStringLiteral("main.html"))), QByteArray("<img src=\"\">"));
    QVERIFY(FileManager::contentsOfDirectory(widget(QStringLiteral("Images"))).isEmpty());
}

QTEST_MAIN(tst_VariableViews)
#include "tst_VariableViews.moc"
