// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ImageCanvas.h"
#include "platform/PropertyList.h"
#include "templates/PlaceholderSubstitution.h"
#include "templates/VariableView.h"

#include "tests/common/Tree.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Beside main.js every variable lists what it must pass over: a missing
// file, and every way out of the widget. A file variable fills the folder
// listed first.
static QVariantMap variable(const char *type, const char *name, QVariantMap more = {})
{
    more.insert(QVariantMap{{u"TPVType"_s, QString::fromUtf8(type)}, {u"TPVName"_s, QString::fromUtf8(name)}});
    more.insert(u"TPVFiles"_s,
                more.value(u"TPVFiles"_s,
                           QStringList{u"Images"_s, u"main.js"_s, u"missing.js"_s, u"."_s, u"../outside.txt"_s,
                                       u"Images/../../outside.txt"_s, QDir::current().filePath(u"outside.txt"_s),
                                       u"link"_s, u"Outside/outside.txt"_s, u"Outside/missing.js"_s}));
    return more;
}

// One thing the user does: "name=value" types or chooses the value in the
// control of that name, a bare name clicks it.
static bool perform(QWidget *view, const QString &step)
{
    QObject *control = view->findChild<QObject *>(step.section(u'=', 0, 0));
    if (!control || !step.contains(u'='))
        return control && QMetaObject::invokeMethod(control, "click");
    // The calendar alone has no user property; its chosen day is what the user sets.
    const QMetaProperty user = control->metaObject()->userProperty();
    return control->setProperty(user.isValid() ? user.name() : "selectedDate", step.section(u'=', 1));
}

class tst_VariableViews : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_widget = m_dir.filePath(u"New.wdgt"_s);

private slots:
    void initTestCase()
    {
        // A zone west of UTC by a half hour shows the offset's sign and minutes.
        qputenv("TZ", "XST+5:30");
        // The user's own files, outside the widget, are found from here.
        QVERIFY(QDir::setCurrent(m_dir.path()));
        Tree::write(m_dir.path(), u"sun.jpg"_s, "sunshine");
        Tree::write(m_dir.path(), u"moon.jpg"_s, "new moon");
    }

    void init()
    {
        QVERIFY(QDir(m_widget).removeRecursively());
        Tree::write(m_widget, u"Images/moon.jpg"_s, "the template's moon");
        Tree::write(m_widget, u"Shipped/star.jpg"_s, "the template's star");
        QVERIFY(QFile::link(u"../outside.txt"_s, m_widget + u"/link"_s));
        QVERIFY(QFile::link(m_dir.path(), m_widget + u"/Outside"_s));
    }

    void writesTheUsersValue_data();
    void writesTheUsersValue()
    {
        QFETCH(QVariantMap, info);
        QFETCH(QString, steps);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, copied);
        Tree::write(m_dir.path(), u"outside.txt"_s, before);
        QMap<QString, QByteArray> expected = Tree::snapshot(m_widget);
        expected.insert(u"main.js"_s, after);
        if (!copied.isEmpty())
            expected.insert(u"Images/"_s + QFileInfo(copied).fileName(), Tree::read(copied));

        std::unique_ptr<VariableView> view(VariableView::makeForType(info.value(u"TPVType"_s).toString()));
        view->setInfoDictionary(info);
        for (const QString &step : steps.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(perform(view.get(), step), qPrintable(step));
        // Written over where it stands, as in the wizard's private copy, the file ends the same.
        for (const FileManager::Writing writing : {FileManager::Writing::Replacing, FileManager::Writing::InPlace}) {
            Tree::write(m_widget, u"main.js"_s, before);
            view->setWriting(writing);
            const Outcome saved = view->saveToPath(m_widget, info);
            QVERIFY2(saved, qPrintable(saved.reason()));
            QCOMPARE(Tree::read(m_widget + u"/main.js"_s), after);
            QCOMPARE(Tree::snapshot(m_widget), expected);
        }
        QCOMPARE(Tree::read(u"outside.txt"_s), before);
        QVERIFY(!QFileInfo::exists(u"missing.js"_s));
    }

    // A binary property list is filled in string by string and comes back as
    // XML: replacing its bytes would leave its offsets pointing anywhere.
    void binaryListsAreFilledInAndStayReadable()
    {
        const QByteArray key = "CFBundleName", value = "Template_Name Clock";
        QByteArray list = "bplist00\xD1\x01\x02";
        list += char(0x50 + key.size()) + key + QByteArray("\x5F\x10") + char(value.size()) + value;
        const QByteArray offsets{"\x08", 1};
        list += offsets + char(11) + char(11 + 1 + key.size());
        const qsizetype table = list.size() - 3;
        list += QByteArray(6, '\0') + "\x01\x01" + QByteArray(7, '\0') + "\x03" + QByteArray(8, '\0')
            + QByteArray(7, '\0') + char(table);
        QVERIFY(Tree::write(m_widget, u"Info.plist"_s, list));
        QCOMPARE(PropertyList::read(m_widget + u"/Info.plist"_s)->toMap().value(u"CFBundleName"_s),
                 u"Template_Name Clock"_s);
        const QVariantMap info = variable("Text", "Name", {{u"TPVFiles"_s, QStringList{u"Info.plist"_s}}});
        std::unique_ptr<VariableView> view(VariableView::makeForType(u"Text"_s));
        view->setInfoDictionary(info);
        QVERIFY(perform(view.get(), u"valueField=Big & <Small>"_s));
        const Outcome saved = view->saveToPath(m_widget, info);
        QVERIFY2(saved, qPrintable(saved.reason()));
        QVERIFY(Tree::read(m_widget + u"/Info.plist"_s).startsWith("<?xml"));
        QCOMPARE(PropertyList::read(m_widget + u"/Info.plist"_s)->toMap().value(u"CFBundleName"_s),
                 u"Big & <Small> Clock"_s);
    }

    void imageVariable()
    {
        Tree::write(m_widget, u"Default.png"_s, "the template's own");
        const QVariantMap info =
            variable("Image", "Picture",
                     {{u"TPVDefaultValue"_s, u"Shipped/star.jpg"_s},
                      {u"TPVFiles"_s,
                       QStringList{u"Default.png"_s, u"Images/new.png"_s, u"../outside.png"_s, u"Outside/new.png"_s}}});
        std::unique_ptr<VariableView> view(VariableView::makeForType(u"Image"_s));
        view->setInfoDictionary(info);
        // Without a picture the default fills only places the template left empty.
        QVERIFY(view->saveToPath(m_widget, info));
        QCOMPARE(Tree::read(m_widget + u"/Default.png"_s), "the template's own"_ba);
        QCOMPARE(Tree::read(m_widget + u"/Images/new.png"_s), "the template's star"_ba);

        QImage picture(30, 20, QImage::Format_ARGB32);
        picture.fill(Qt::darkGreen);
        view->findChild<ImageCanvas *>()->setImage(picture);
        QVERIFY(view->saveToPath(m_widget, info));
        QCOMPARE(QImage(m_widget + u"/Default.png"_s).size(), QSize(30, 20));
        QCOMPARE(Tree::read(m_widget + u"/Images/new.png"_s), Tree::read(m_widget + u"/Default.png"_s));
        QVERIFY(!QFileInfo::exists(u"outside.png"_s) && !QFileInfo::exists(u"new.png"_s));
    }
};

void tst_VariableViews::writesTheUsersValue_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("copied");
    const auto row = [](const QByteArray &name, const QVariantMap &info, const QByteArray &steps,
                        const QByteArray &before, const QByteArray &after, const QString &copied = {}) {
        QTest::newRow(name.constData()) << info << QString::fromUtf8(steps) << before << after << copied;
    };

    const QVariantMap text = variable("Text", "Name"),
                      hello = variable("Text", "Name", {{u"TPVDefaultValue"_s, u"Hello"_s}});
    row("text: an empty field writes the default", hello, "", "[Template_Name]", "[Hello]");
    row("text: a blank is typed text", hello, "valueField= ", "[Template_Name]", "[ ]");
    row("text: no default removes the placeholder", text, "", "[Template_Name][Template_Name]", "[][]");
    row("text: what the value brings is not replaced", text, "valueField=Hi Template_Name", "Template_Name",
        "Hi Template_Name");
    row("text: no placeholder, bytes kept", text, "valueField=€", "caf\xE9 \x80\x81", "caf\xE9 \x80\x81");
    row("text: iso 8859-1 value", text, "valueField=ü", "caf\xE9 Template_Name", "caf\xE9 \xFC");
    row("text: a value beyond iso 8859-1 makes utf-8", text, "valueField=€", "caf\xE9 Template_Name",
        "caf\xC3\xA9 \xE2\x82\xAC");
    row("text: utf-8 stays utf-8", text, "valueField=é", "\xE2\x82\xAC Template_Name", "\xE2\x82\xAC \xC3\xA9");
    row("text: utf-16", variable("Text", "N"), "valueField=ok",
        "\xFF\xFE"
        "T\0e\0m\0p\0l\0a\0t\0e\0_\0N\0!\0"_ba,
        "\xFF\xFE"
        "o\0k\0!\0"_ba);
    // A file is rewritten piece by piece from disk; nothing of that may show, however large.
    const auto large = [&](const char *name, const QByteArray &before, const QString &value) {
        row("text, large: "_ba + name, text, "valueField=" + value.toUtf8(), before,
            PlaceholderSubstitution::substitute(before, u"Template_Name"_s, value));
    };
    large("one mebibyte, both ends", "Template_Name caf\xE9 Template_Name"_ba.repeated(32 * 1024), u"Weather"_s);
    large("a placeholder every fourteen bytes", "-Template_Name"_ba.repeated(300'000), u"xy"_s);
    large("removed everywhere", "<Template_Name>"_ba.repeated(200'000), {});
    large("value beyond iso 8859-1", "Template_Name caf\xE9\n"_ba.repeated(100'000), u"\u20ac"_s);

    const QVariantMap box =
        variable("Checkbox", "Flag", {{u"TPVCheckedValue"_s, u"on"_s}, {u"TPVUncheckedValue"_s, u"off"_s}});
    const auto starting = [&box](const QString &start) {
        QVariantMap info = box;
        info.insert(u"TPVDefaultValue"_s, start);
        return info;
    };
    row("checkbox: a default of 0 starts unchecked", starting(u"0"_s), "", "[Template_Flag]", "[off]");
    row("checkbox: without a default it starts checked, and the user unchecks it", box, "checkBox", "[Template_Flag]",
        "[off]");
    row("checkbox: without texts removes the placeholder", variable("Checkbox", "Flag"), "", "[Template_Flag]", "[]");

    const auto popUp = [](const QStringList &options, const QStringList &values = {u"1"_s, u"2"_s, u"3"_s}) {
        return variable("PopupButton", "Pick", {{u"TPVOptions"_s, options}, {u"TPVValues"_s, values}});
    };
    row("pop-up: unchanged writes the first value", popUp({u"A"_s, u"B"_s}), "", "[Template_Pick]", "[1]");
    row("pop-up: a repeated title moves to its last place", popUp({u"A"_s, u"B"_s, u"A"_s}), "popUp=A",
        "[Template_Pick]", "[2]");
    row("pop-up: no value at the chosen place", popUp({u"A"_s, u"B"_s}, {u"1"_s}), "popUp=B", "[Template_Pick]", "[]");
    row("pop-up: no options", popUp({}), "", "[Template_Pick]", "[]");

    const QVariantMap day = variable("Date", "day");
    const std::pair<char, const char *> renderings[] = {
        {'a', "Mon"},      {'A', "Monday"}, {'b', "Mar"},  {'B', "March"}, {'c', "09:04:07 03/05/07"},
        {'d', "05"},       {'e', "5"},      {'F', "250"},  {'H', "09"},    {'j', "064"},
        {'m', "03"},       {'M', "04"},     {'S', "07"},   {'w', "1"},     {'x', "03/05/07"},
        {'X', "09:04:07"}, {'y', "07"},     {'Y', "2007"}, {'Z', "XST"},   {'z', "-0530"}};
    for (const auto &[letter, shown] : renderings)
        row("date: "_ba + letter, day, "calendar=2007-03-05|timeEdit=09:04:07.250", "Template_day_"_ba + letter, shown);
    row("date: only known letters, and what a value makes is not read again", day, "calendar=2007-03-05",
        "Template_day|Template_day_ab|Template_day_q|Template_day_Template_day_a",
        "Template_day|Monb|Template_day_q|Template_day_Mon");
    row("date: 12-hour clock after midnight", day, "timeEdit=00:30:00", "Template_day_I Template_day_p", "12 AM");
    row("date: 12-hour clock in the afternoon", day, "timeEdit=15:00:00", "Template_day_I Template_day_p", "03 PM");
    row("date: untouched, the day it was shown", day, "", "Template_day_Y-Template_day_m-Template_day_d",
        QDate::currentDate().toString(u"yyyy-MM-dd"_s).toLatin1());

    const QVariantMap each = variable(
        "Array", "Tags", {{u"TPVFormat"_s, u"[Template_Val]"_s}, {u"TPVDefaultValue"_s, QStringList{u"x"_s, u"y"_s}}});
    const auto format = [](const QString &format) { return variable("Array", "Tags", {{u"TPVFormat"_s, format}}); };
    const QByteArray tags = "<Template_Tags>", addAB = "entryField=a|addButton|entryField=b|addButton";
    row("array: a value added again moves to the end, and remove takes the chosen one", each,
        addAB + "|entryField=c|addButton|entryField=a|addButton|popUp=c|removeButton", tags, "<[b][a]>");
    row("array: emptied, writes the default", each, "entryField=a|addButton|removeButton|addButton", tags, "<[x][y]>");
    row("array: Template_Val1 holds Template_Val", format(u"Template_Val1,"_s), addAB, tags, "<a1,b1,>");
    row("array: nothing listed and no default", format(u"[Template_Val]"_s), "", tags, "<>");

    const QVariantList xy12{QStringList{u"x"_s, u"y"_s}, QStringList{u"1"_s, u"2"_s}};
    const auto pairs = [](const QString &format, const QVariant &fallback = {}) {
        return variable("Array2", "Colour{+}Value", {{u"TPVFormat"_s, format}, {u"TPVDefaultValue"_s, fallback}});
    };
    const QString pair = u"Template_Val1=Template_Val2;"_s;
    const QByteArray colours = "{Template_Colour{+}Value}";
    row("pairs: typed pairs keep the blanks of their titles, and the second value may be empty", pairs(pair, xy12),
        "firstField=x|secondField=1|addButton|firstField=y|addButton", colours, "{x = 1;y = ;}");
    row("pairs: an empty list writes the default pairs", pairs(pair, xy12), "secondField=1|addButton", colours,
        "{x=1;y=2;}");
    // What the user typed is data: neither "{+}" nor a placeholder's name in a value is read as syntax.
    row("pairs: a first value holding {+}", pairs(pair), "firstField=a{+}b|secondField=c|addButton", colours,
        "{a{+}b = c;}");
    row("pairs: a value naming the other placeholder", pairs(u"Template_Val1/Template_Val2"_s),
        "firstField=Template_Val2|secondField=z|addButton", colours, "{Template_Val2 / z}");
    row("pairs: a short second default list",
        pairs(pair, QVariantList{QStringList{u"x"_s, u"y"_s}, QStringList{u"1"_s}}), "", colours, "{x=1;y=;}");
    row("pairs: no format writes nothing", pairs(QString(), xy12), "", colours, "{}");

    const auto file = [](const QString &fallback) {
        return variable("File", "Picture", {{u"TPVDefaultValue"_s, fallback}});
    };
    row("file: the chosen file is copied and named", file({}), "pathField=sun.jpg", "'Template_Picture'",
        "'Images/sun.jpg'", u"sun.jpg"_s);
    row("file: a file of that name in the widget stays", file({}), "pathField=moon.jpg", "'Template_Picture'",
        "'Images/moon.jpg'");
    row("file: nothing chosen copies the default", file(u"Shipped/star.jpg"_s), "", "'Template_Picture'",
        "'Images/star.jpg'", u"New.wdgt/Shipped/star.jpg"_s);
    // A default names a file the template ships, never one where the editor runs.
    row("file: a missing default is still named", file(u"sun.jpg"_s), "", "'Template_Picture'", "'Images/sun.jpg'");
    row("file: an absolute default is ignored", file(m_dir.filePath(u"sun.jpg"_s)), "", "'Template_Picture'", "''");
    row("file: a default climbing out is ignored", file(u"../sun.jpg"_s), "", "'Template_Picture'", "''");
    row("file: a default through a link out is ignored", file(u"Outside/sun.jpg"_s), "", "'Template_Picture'", "''");
    row("file: nothing chosen and no default", file({}), "", "'Template_Picture'", "''");
}

QTEST_MAIN(tst_VariableViews)
#include "tst_VariableViews.moc"
