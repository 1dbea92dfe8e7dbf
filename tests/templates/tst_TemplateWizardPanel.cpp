// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateWizardPanel.h"

#include "editors/ImageCanvas.h"
#include "host/WidgetBundle.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "templates/TemplateFolder.h"
#include "templates/TemplateList.h"
#include "templates/VariableView.h"

#include "tests/common/DocumentFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

namespace {

QVariantMap variable(const QString &type, const QString &name, const QVariantMap &more = {})
{
    QVariantMap info = more;
    info.insert(QStringLiteral("TPVType"), type);
    info.insert(QStringLiteral("TPVName"), name);
    return info;
}

QVariantList files(std::initializer_list<const char *> names)
{
    QVariantList list;
    for (const char *name : names)
        list.append(QString::fromUtf8(name));
    return list;
}

} // namespace

class tst_TemplateWizardPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newDocumentBeginsTheWizard();
    void layout_data();
    void layout();
    void makesTheWidget();
    void cancelClosesTheDocument_data();
    void cancelClosesTheDocument();
    void openClosesTheDocumentAndRunsTheOpenPanel();
    void checkboxStartsChecked_data();
    void checkboxStartsChecked();
    void popUpWritesTheValueAtTheChosenPosition_data();
    void popUpWritesTheValueAtTheChosenPosition();
    void textWritesTypedTextOrTheDefault_data();
    void textWritesTypedTextOrTheDefault();
    void shippedTemplatesMakeWholeWidgets_data();
    void shippedTemplatesMakeWholeWidgets();

private:
    void writeTemplate(const QString &name, const QVariantList &variables, const QByteArray &page);
    TemplateWizardPanel *wizardFor(const QString &templateName);
    QString make(TemplateWizardPanel *wizard);

    std::unique_ptr<DocumentFixture> m_fixture;
};

void tst_TemplateWizardPanel::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    QVERIFY(QDir().mkpath(TemplateFolder::templatesPath()));
}

void tst_TemplateWizardPanel::cleanup()
{
    m_fixture.reset();
}

void tst_TemplateWizardPanel::writeTemplate(const QString &name, const QVariantList &variables, const QByteArray &page)
{
    const QString bundle = TemplateFolder::templateBundlePath(name);
    Tree::write(bundle, QStringLiteral("main.html"), page);
    Tree::write(bundle, QStringLiteral("Images/.keep"), "");
    QVERIFY(PropertyList::writeXml(bundle + QStringLiteral("/template.plist"), variables));
}

// A new document with its wizard at the customize stage of the template.
TemplateWizardPanel *tst_TemplateWizardPanel::wizardFor(const QString &templateName)
{
    auto *document = qobject_cast<MyDocument *>(DocumentController::shared().newDocument());
    TemplateWizardPanel *wizard = document->teplatePanel();
    wizard->open();
    auto *table = wizard->findChild<QTableView *>(QStringLiteral("tableView"));
    auto *list = qobject_cast<TemplateList *>(table->model());
    for (int row = 0; row < list->rowCount(); ++row) {
        if (list->nameAt(row) == templateName)
            table->selectRow(row);
    }
    wizard->okButton();
    return wizard;
}

QString tst_TemplateWizardPanel::make(TemplateWizardPanel *wizard)
{
    const QString target = m_fixture->folder() + QStringLiteral("/Made.wdgt");
    SavePanel::responder = [target](const SavePanel::Options &options) {
        return options.requiredExtension == u"wdgt" ? target : QString();
    };
    wizard->okButton();
    return target;
}

void tst_TemplateWizardPanel::newDocumentBeginsTheWizard()
{
    Tree::writeBundle(m_fixture->bundle());
    MyDocument *opened = m_fixture->open(m_fixture->bundle());
    auto *untitled = qobject_cast<MyDocument *>(DocumentController::shared().newDocument());
    QVERIFY(!untitled->teplatePanel()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(untitled->teplatePanel()->isVisible(), 10000);
    QVERIFY(untitled->teplatePanel()->isChoosing());
    QCOMPARE(untitled->teplatePanel()->windowModality(), Qt::WindowModal);
    QVERIFY(!opened->teplatePanel()->isVisible());
}

void tst_TemplateWizardPanel::layout_data()
{
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<int>("height");
    QTest::addColumn<QList<int>>("fromBottom");
    QTest::newRow("text, image, checkbox") << QStringList{QStringLiteral("Text"), QStringLiteral("Image"), QStringLiteral("Checkbox")}
                                           << 236 << QList<int>{185, 111, 76};
    QTest::newRow("every kind") << QStringList{QStringLiteral("Text"), QStringLiteral("Image"), QStringLiteral("File"), QStringLiteral("Date"),
                                               QStringLiteral("Array"), QStringLiteral("Array2"), QStringLiteral("Checkbox"), QStringLiteral("PopupButton")}
                                << 735 << QList<int>{684, 610, 543, 353, 247, 86, 51, 0};
    QTest::newRow("short stack keeps 236") << QStringList{QStringLiteral("Text"), QStringLiteral("PopupButton"), QStringLiteral("Checkbox")}
                                           << 236 << QList<int>{185, 134, 99};
    QTest::newRow("unknown types take no room") << QStringList{QStringLiteral("Text"), QStringLiteral("Gauge"), QStringLiteral("Checkbox")}
                                                << 236 << QList<int>{185, 150};
    QTest::newRow("tall stack scrolls") << QStringList(5, QStringLiteral("Text")) << 255 << QList<int>{204, 153, 102, 51, 0};
    QTest::newRow("no variables") << QStringList() << 236 << QList<int>();
}

void tst_TemplateWizardPanel::layout()
{
    QFETCH(QStringList, types);
    QFETCH(int, height);
    QFETCH(QList<int>, fromBottom);
    QVariantList variables;
    for (const QString &type : types)
        variables.append(variable(type, type + QString::number(variables.size())));
    writeTemplate(QStringLiteral("Stack"), variables, "x");
    TemplateWizardPanel *wizard = wizardFor(QStringLiteral("Stack"));
    QVERIFY(!wizard->isChoosing());
    QCOMPARE(wizard->documentView()->size(), QSize(451, height));
    QList<int> placed;
    for (VariableView *view : wizard->variableViews())
        placed.append(height - (view->y() + view->height()));
    QCOMPARE(placed, fromBottom);
    QCOMPARE(wizard->findChild<QScrollArea *>()->verticalScrollBar()->value(), 0);
}

void tst_TemplateWizardPanel::makesTheWidget()
{
    const QVariantList variables{
        variable(QStringLiteral("Text"), QStringLiteral("Title"), {{QStringLiteral("TPVFiles"), files({"main.html", "Images/../main.js", "../escape.txt"})}}),
        variable(QStringLiteral("Gauge"), QStringLiteral("Title"), {{QStringLiteral("TPVFiles"), files({"main.html"})}}),
        variable(QStringLiteral("Text"), QStringLiteral("Title2"), {{QStringLiteral("TPVFiles"), files({"main.html"})},
                                                                     {QStringLiteral("TPVDefaultValue"), QStringLiteral("two")}}),
    };
    writeTemplate(QStringLiteral("Hello"), variables, "<h1>Template_Title</h1>Template_Title<p>Template_Title2</p>Template_Title");
    Tree::write(TemplateFolder::templateBundlePath(QStringLiteral("Hello")), QStringLiteral("main.js"), "var t = 'Template_Title';");
    Tree::write(m_fixture->folder(), QStringLiteral("escape.txt"), "Template_Title");
    TemplateWizardPanel *wizard = wizardFor(QStringLiteral("Hello"));
    wizard->variableViews().first()->findChild<QLineEdit *>()->setText(QStringLiteral("Hi Template_Title"));
    MyDocument *document = qobject_cast<MyDocument *>(DocumentController::shared().documentForWindow(wizard->parentWidget()));

    const QString target = make(wizard);

    QVERIFY(!wizard->isVisible());
    QCOMPARE(document->filePath(), target);
    QVERIFY(!QFileInfo::exists(target + QStringLiteral("/template.plist")));
    QVERIFY(QFileInfo::exists(TemplateFolder::templateBundlePath(QStringLiteral("Hello")) + QStringLiteral("/template.plist")));
    // Title's value is not scanned again for Title; but Title runs first and
    // turns Template_Title2 into "Hi Template_Title2", which Title2 then
    // replaces. The unknown type in between writes nothing.
    QCOMPARE(Tree::read(target + QStringLiteral("/main.html")),
             QByteArray("<h1>Hi Template_Title</h1>Hi Template_Title<p>Hi two</p>Hi Template_Title"));
    QCOMPARE(Tree::read(target + QStringLiteral("/main.js")), QByteArray("var t = 'Hi Template_Title';"));
    QCOMPARE(Tree::read(m_fixture->folder() + QStringLiteral("/escape.txt")), QByteArray("Template_Title"));
    QVERIFY(QFileInfo(target + QStringLiteral("/Images/.keep")).exists());
    QCOMPARE(document->fileListController()->rowList().size(), 3);
}

void tst_TemplateWizardPanel::cancelClosesTheDocument_data()
{
    QTest::addColumn<bool>("atSavePanel");
    QTest::newRow("cancel button") << false;
    QTest::newRow("save panel cancelled") << true;
}

void tst_TemplateWizardPanel::cancelClosesTheDocument()
{
    QFETCH(bool, atSavePanel);
    writeTemplate(QStringLiteral("Hello"), {}, "x");
    TemplateWizardPanel *wizard = wizardFor(QStringLiteral("Hello"));
    QCOMPARE(DocumentController::shared().documents().size(), 1);
    if (atSavePanel) {
        SavePanel::responder = [](const SavePanel::Options &) { return QString(); };
        wizard->okButton();
    } else {
        wizard->cancelButton();
    }
    QVERIFY(DocumentController::shared().documents().isEmpty());
    QCOMPARE(FileManager::contentsOfDirectory(m_fixture->folder()), QStringList{QStringLiteral("Clock.wdgt")});
}

void tst_TemplateWizardPanel::openClosesTheDocumentAndRunsTheOpenPanel()
{
    Tree::writeBundle(m_fixture->bundle());
    auto *document = qobject_cast<MyDocument *>(DocumentController::shared().newDocument());
    document->teplatePanel()->open();
    OpenPanel::responder = [this](const OpenPanel::Options &) { return QStringList{m_fixture->bundle()}; };
    document->teplatePanel()->openButton();
    const QList<Document *> open = DocumentController::shared().documents();
    QCOMPARE(open.size(), 1);
    QCOMPARE(open.first()->filePath(), m_fixture->bundle());
}

void tst_TemplateWizardPanel::checkboxStartsChecked_data()
{
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<bool>("checked");
    QTest::newRow("0") << QVariant(QStringLiteral("0")) << false;
    QTest::newRow("1") << QVariant(QStringLiteral("1")) << true;
    QTest::newRow("no") << QVariant(QStringLiteral("no")) << true;
    QTest::newRow("empty") << QVariant(QString()) << true;
    QTest::newRow("absent") << QVariant() << true;
}

void tst_TemplateWizardPanel::checkboxStartsChecked()
{
    QFETCH(QVariant, defaultValue);
    QFETCH(bool, checked);
    QVariantMap more{{QStringLiteral("TPVFiles"), files({"main.html"})},
                     {QStringLiteral("TPVCheckedValue"), QStringLiteral("on")},
                     {QStringLiteral("TPVUncheckedValue"), QStringLiteral("off")}};
    if (defaultValue.isValid())
        more.insert(QStringLiteral("TPVDefaultValue"), defaultValue);
    writeTemplate(QStringLiteral("Box"), {variable(QStringLiteral("Checkbox"), QStringLiteral("Flag"), more)}, "[Template_Flag]");
    TemplateWizardPanel *wizard = wizardFor(QStringLiteral("Box"));
    auto *box = wizard->variableViews().first()->findChild<QCheckBox *>();
    QCOMPARE(box->isChecked(), checked);
    QCOMPARE(box->text(), QStringLiteral("Flag"));
    // Toggled twice, it writes the text of the state it started in.
    box->toggle();
    box->toggle();
    QCOMPARE(Tree::read(make(wizard) + QStringLiteral("/main.html")), checked ? QByteArray("[on]") : QByteArray("[off]"));
}

void tst_TemplateWizardPanel::popUpWritesTheValueAtTheChosenPosition_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QByteArray>("written");
    const QStringList abc{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    const QStringList numbers{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    QTest::newRow("unchanged") << abc << numbers << -1 << abc << QByteArray("[1]");
    QTest::newRow("second") << abc << numbers << 1 << abc << QByteArray("[2]");
    QTest::newRow("repeated title listed once, at its last place")
        << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A")} << numbers << 1
        << QStringList{QStringLiteral("B"), QStringLiteral("A")} << QByteArray("[2]");
    QTest::newRow("fewer values than options") << abc << QStringList{QStringLiteral("1")} << 2 << abc << QByteArray("[]");
    QTest::newRow("no options") << QStringList() << QStringList() << -1 << QStringList() << QByteArray("[]");
}

void tst_TemplateWizardPanel::popUpWritesTheValueAtTheChosenPosition()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, values);
    QFETCH(int, choice);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, written);
    writeTemplate(QStringLiteral("Pop"), {variable(QStringLiteral("PopupButton"), QStringLiteral("Pick"),
                                                   {{QStringLiteral("TPVFiles"), files({"main.html"})},
                                                    {QStringLiteral("TPVOptions"), options},
                                                    {QStringLiteral("TPVValues"), values}})}, "[Template_Pick]");
    TemplateWizardPanel *wizard = wizardFor(QStringLiteral("Pop"));
    auto *popUp = wizard->variableViews().first()->findChild<QComboBox *>();
    QStringList titles;
    for (int i = 0; i < popUp->count(); ++i)
        titles.append(popUp->itemText(i));
    QCOMPARE(titles, shown);
    if (choice >= 0)
        popUp->setCurrentIndex(choice);
    QCOMPARE(Tree::read(make(wizard) + QStringLiteral("/main.html")), written);
}

void tst_TemplateWizardPanel::textWritesTypedTextOrTheDefault_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("default") << QString() << QVariant(QStringLiteral("Hello")) << QByteArray("[Hello]");
    QTest::newRow("a blank is typed text") << QStringLiteral(" ") << QVariant(QStringLiteral("Hello")) << QByteArray("[ ]");
    QTest::newRow("no default removes") << QString() << QVariant() << QByteArray("[]");
}

void tst_TemplateWizardPanel::textWritesTypedTextOrTheDefault()
{
    QFETCH(QString, typed);
    QFETCH(QVariant, defaultValue);
    QFETCH(QByteArray, written);
    QVariantMap more{{QStringLiteral("TPVFiles"), files({"main.html"})}, {QStringLiteral("TPVTooltip"), QStringLiteral("tip")}};
    if (defaultValue.isValid())
        more.insert(QStringLiteral("TPVDefaultValue"), defaultValue);
    writeTemplate(QStringLiteral("Text"), {variable(QStringLiteral("Text"), QStringLiteral("Name"), more)}, "[Template_Name]");
    TemplateWizardPanel *wizard = wizardFor(QStringLiteral("Text"));
    VariableView *view = wizard->variableViews().first();
    QCOMPARE(view->toolTip(), QStringLiteral("tip"));
    QVERIFY(view->findChild<QLineEdit *>()->text().isEmpty());
    view->findChild<QLineEdit *>()->setText(typed);
    QCOMPARE(Tree::read(make(wizard) + QStringLiteral("/main.html")), written);
}

void tst_TemplateWizardPanel::shippedTemplatesMakeWholeWidgets_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Blank", "Greeting", "Countdown", "Links"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Every shipped template, with a value in every kind of view, makes a widget
// with no placeholder left and a page the widget window can show.
void tst_TemplateWizardPanel::shippedTemplatesMakeWholeWidgets()
{
    QFETCH(QString, name);
    FileManager::removeItem(TemplateFolder::templatesPath()); // so the shipped ones are copied in
    Tree::write(m_fixture->folder(), QStringLiteral("icon.png"), "not really a picture");
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QApplication::clipboard()->setImage(picture);
    TemplateWizardPanel *wizard = wizardFor(name);
    QVERIFY(!wizard->isChoosing());
    for (VariableView *view : wizard->variableViews()) {
        for (QLineEdit *field : view->findChildren<QLineEdit *>()) {
            if (!field->isReadOnly())
                field->setText(field->objectName() == u"pathField" ? m_fixture->folder() + QStringLiteral("/icon.png")
                                                                    : QStringLiteral("value"));
        }
        for (QPushButton *add : view->findChildren<QPushButton *>(QStringLiteral("addButton")))
            add->click();
        for (ImageCanvas *well : view->findChildren<ImageCanvas *>())
            well->paste();
    }
    const QString made = make(wizard);
    const auto files = Tree::snapshot(made);
    QVERIFY(files.contains(QStringLiteral("Info.plist")));
    QVERIFY(!files.contains(QStringLiteral("template.plist")));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        QVERIFY2(!it.value().contains("Template_"), qPrintable(it.key() + u'\n' + QString::fromUtf8(it.value())));
    const WidgetBundle bundle = WidgetBundle::read(made);
    QVERIFY(!bundle.size().isEmpty());
    QVERIFY(QFileInfo::exists(bundle.mainPage().toLocalFile()));
}

QTEST_MAIN(tst_TemplateWizardPanel)
#include "tst_TemplateWizardPanel.moc"
