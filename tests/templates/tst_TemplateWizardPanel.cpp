// SPDX-License-Identifier: GPL-2.0-or-later
#include "templates/TemplateWizardPanel.h"

#include "editors/ImageCanvas.h"
#include "host/WidgetBundle.h"
#include "platform/FileManager.h"
#include "platform/PropertyList.h"
#include "templates/TemplateFolder.h"
#include "templates/TemplateList.h"

#include "tests/common/DocumentFixture.h"
#include "tests/common/FileSizeLimit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <csignal>

using namespace Qt::StringLiterals;

class tst_TemplateWizardPanel : public QObject
{
    Q_OBJECT

    inline static const QStringList Shipped{u"Blank.wdtp"_s, u"Countdown.wdtp"_s, u"Greeting.wdtp"_s, u"Links.wdtp"_s};
    std::unique_ptr<DocumentFixture> m_fixture;

    // A new document with its wizard past the choice of the template.
    QWidget *wizardFor(const QString &name)
    {
        auto *wizard = qobject_cast<WidgetDocument *>(DocumentController::shared().newDocument())->templatePanel();
        wizard->open();
        auto *table = wizard->findChild<QTableView *>(u"tableView"_s);
        const QModelIndex first = table->model()->index(0, TemplateList::NameColumn);
        table->selectRow(table->model()->match(first, Qt::DisplayRole, name, 1, Qt::MatchExactly).value(0).row());
        wizard->findChild<QPushButton *>(u"okButton"_s)->click();
        return wizard;
    }

    QString make(QWidget *wizard)
    {
        const QString target = m_fixture->folder() + u"/Made.wdgt"_s;
        SavePanel::responder = [target](const SavePanel::Options &options) {
            return options.requiredExtension == u"wdgt" ? target : QString();
        };
        wizard->findChild<QPushButton *>(u"okButton"_s)->click();
        return target;
    }

private slots:
    void init() { m_fixture = std::make_unique<DocumentFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void firstUseInstallsTheShippedTemplatesOnce()
    {
        const auto installed = [] {
            QStringList names = TemplateFolder::installedTemplates();
            names.sort();
            return names;
        };
        TemplateFolder::prepare();
        QCOMPARE(installed(), Shipped);
        // Copied out of read-only resources, the files must still take values.
        const QString blank = TemplateFolder::templateBundlePath(u"Blank"_s);
        QVERIFY(QFileInfo(blank + u"/Default.png"_s).isWritable());
        // What the user removed stays removed; only exact template bundles count.
        QVERIFY(FileManager::removeItem(blank));
        for (const QString &entry :
             {u"Old.WDTP/x"_s, u"My Widget.wdtp/x"_s, u"Clock.wdgt/x"_s, u"Note.txt"_s, u"Plain.wdtp"_s})
            QVERIFY(Tree::write(TemplateFolder::templatesPath(), entry, "x"));
        TemplateFolder::prepare();
        QCOMPARE(installed(),
                 (QStringList{u"Countdown.wdtp"_s, u"Greeting.wdtp"_s, u"Links.wdtp"_s, u"My Widget.wdtp"_s}));
    }

    void newDocumentBeginsTheWizard()
    {
        WidgetDocument *opened = m_fixture->open(Tree::writeBundle(m_fixture->bundle()));
        auto *untitled = qobject_cast<WidgetDocument *>(DocumentController::shared().newDocument());
        QVERIFY(!untitled->templatePanel()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(untitled->templatePanel()->isVisible(), 10000);
        QVERIFY(untitled->templatePanel()->findChild<QTableView *>(u"tableView"_s)->isVisible());
        QVERIFY(!opened->templatePanel()->isVisible());
    }

    void makesTheWidget()
    {
        const auto text = [](const QString &name, const QStringList &files, const QString &fallback = {}) {
            return QVariantMap{{u"TPVType"_s, u"Text"_s},
                               {u"TPVName"_s, name},
                               {u"TPVFiles"_s, files},
                               {u"TPVDefaultValue"_s, fallback}};
        };
        const QVariantList variables{text(u"Title"_s, {u"main.html"_s, u"Images/../main.js"_s}),
                                     QVariantMap{{u"TPVType"_s, u"Gauge"_s}, {u"TPVName"_s, u"Title"_s}},
                                     text(u"Title2"_s, {u"main.html"_s}, u"two"_s)};
        // A dot in the name is part of it, not an extension.
        const QString bundle = TemplateFolder::templateBundlePath(u"Hello 1.0"_s);
        Tree::write(bundle, u"main.html"_s,
                    "<h1>Template_Title</h1>Template_Title<p>Template_Title2</p>Template_Title");
        Tree::write(bundle, u"main.js"_s, "var t = 'Template_Title';");
        QVERIFY(PropertyList::writeXml(bundle + u"/template.plist"_s, variables));
        Tree::write(m_fixture->folder(), u"Made.wdgt/stale.txt"_s, "replaced");
        QWidget *wizard = wizardFor(u"Hello 1.0"_s);
        auto *document =
            qobject_cast<WidgetDocument *>(DocumentController::shared().documentForWindow(wizard->parentWidget()));
        // A value that cannot be written (a full disk) makes nothing: the old widget stays, one alert says why.
        m_fixture->answerAlerts(Alert::DefaultButton);
        wizard->findChild<QLineEdit *>()->setText(QString(8192, u'x'));
        std::signal(SIGXFSZ, SIG_IGN);
        const QString target = [&] {
            const FileSizeLimit limit(4096);
            return make(wizard);
        }();
        QCOMPARE(m_fixture->alerts.size(), 1);
        QCOMPARE(m_fixture->alerts.first().message, u"“main.html”: File too large."_s);
        QVERIFY(wizard->isVisible() && document->filePath().isEmpty());
        QCOMPARE(Tree::snapshot(m_fixture->folder()).keys(),
                 (QStringList{u"Clock.wdgt"_s, u"Made.wdgt"_s, u"Made.wdgt/stale.txt"_s}));
        wizard->findChild<QLineEdit *>()->setText(u"Hi Template_Title"_s);
        make(wizard);

        QVERIFY(!wizard->isVisible());
        QCOMPARE(document->filePath(), target);
        QVERIFY(QFileInfo::exists(bundle + u"/template.plist"_s));
        // Title's value is not scanned again for Title; but Title runs first and
        // turns Template_Title2 into "Hi Template_Title2", which Title2 then
        // replaces. The unknown type in between writes nothing.
        QCOMPARE(Tree::read(target + u"/main.html"_s),
                 "<h1>Hi Template_Title</h1>Hi Template_Title<p>Hi two</p>Hi Template_Title"_ba);
        QCOMPARE(Tree::read(target + u"/main.js"_s), "var t = 'Hi Template_Title';"_ba);
        QCOMPARE(Tree::snapshot(target).keys(), (QStringList{u"main.html"_s, u"main.js"_s}));
        QCOMPARE(document->fileListController()->rowList().size(), 2);
    }

    void leavingTheWizardClosesTheDocument_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("cancel") << u"cancelButton"_s;
        QTest::newRow("save panel cancelled") << u"okButton"_s;
        QTest::newRow("open another widget") << u"openButton"_s;
    }

    void leavingTheWizardClosesTheDocument()
    {
        QFETCH(QString, button);
        Tree::writeBundle(m_fixture->bundle());
        Tree::write(TemplateFolder::templateBundlePath(u"Hello"_s), u"template.plist"_s, "unreadable");
        QWidget *wizard = wizardFor(u"Hello"_s);
        SavePanel::responder = [](const SavePanel::Options &) { return QString(); };
        OpenPanel::responder = [this](const OpenPanel::Options &) { return QStringList{m_fixture->bundle()}; };
        wizard->findChild<QPushButton *>(button)->click();
        const QList<Document *> open = DocumentController::shared().documents();
        // Only the widget chosen to open instead stays.
        QCOMPARE(open.size(), button == u"openButton" ? 1 : 0);
        QVERIFY(open.isEmpty() || open.first()->filePath() == m_fixture->bundle());
        QCOMPARE(FileManager::contentsOfDirectory(m_fixture->folder()), QStringList{u"Clock.wdgt"_s});
    }

    void templatesMakeWholeWidgets_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : Shipped)
            QTest::newRow(qPrintable(name)) << QFileInfo(name).completeBaseName();
        // A user's template, as the shipped ones were copied out before the
        // classes behind its kinds of variable were renamed: one of each.
        QTest::newRow("an earlier user's") << u"Everything"_s;
    }

    // Every template, with a value in every kind of view, makes a widget with
    // no placeholder left, a readable Info.plist and a page the widget window
    // can show.
    void templatesMakeWholeWidgets()
    {
        QFETCH(QString, name);
        TemplateFolder::prepare();
        const QString earlier = QStringLiteral(QUILLET_TEST_DATA "/earlier-user/Templates/Everything.wdtp");
        QVERIFY(FileManager::copyItem(earlier, TemplateFolder::templatesPath() + u"/Everything.wdtp"_s));
        Tree::write(m_fixture->folder(), u"icon.png"_s, "not really a picture");
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QApplication::clipboard()->setImage(picture);
        QWidget *wizard = wizardFor(name);
        for (QLineEdit *field : wizard->findChildren<QLineEdit *>())
            field->setText(field->objectName() == u"pathField" ? m_fixture->folder() + u"/icon.png"_s
                                                               : u"Tom & Jerry <3"_s);
        for (QPushButton *add : wizard->findChildren<QPushButton *>(u"addButton"_s))
            add->click();
        for (ImageCanvas *well : wizard->findChildren<ImageCanvas *>())
            well->paste();
        const QString made = make(wizard);
        const QMap<QString, QByteArray> files = Tree::snapshot(made);
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QVERIFY2(!it.value().contains("Template_"), qPrintable(it.key() + u'\n' + QString::fromUtf8(it.value())));
        // Values went into the property lists escaped, so they still read.
        QVERIFY(PropertyList::read(made + u"/Info.plist"_s));
        QVERIFY(!files.value(u"Info.plist"_s).contains("Tom & Jerry"));
        const WidgetBundle bundle = WidgetBundle::read(made);
        QVERIFY(!bundle.size().isEmpty());
        QVERIFY(QFileInfo::exists(bundle.mainPage().toLocalFile()));
    }
};

QTEST_MAIN(tst_TemplateWizardPanel)
#include "tst_TemplateWizardPanel.moc"
