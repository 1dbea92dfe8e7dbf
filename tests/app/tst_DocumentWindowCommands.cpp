// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/DocumentWindowCommands.h"

#include "app/RunLogPanel.h"
#include "app/WidgetPanels.h"
#include "check/WidgetChecker.h"
#include "editors/TextEditorView.h"
#include "platform/Toolbar.h"
#include "platform/WidgetShelf.h"
#include "platform/Workspace.h"
#include "templates/TemplateWizardPanel.h"

#include "tests/common/DocumentFixture.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

class tst_DocumentWindowCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void previewFromTheMenuAndTheToolbar();
    void madeWidgetsPreviewOverAndOver();
    void runLogShowsThePreviewsLog();
    void insertedPartsWorkInThePreview();
    void buildAndRun_data();
    void buildAndRun();

private:
    QAction *command(WidgetDocument *document, const char *name) const
    {
        return document->window()->findChild<QAction *>(QLatin1String(name));
    }

    std::unique_ptr<DocumentFixture> m_fixture;
    QStringList m_started;
};

void tst_DocumentWindowCommands::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    m_started.clear();
    Workspace::responder = [this](const QString &path, const QString &application) {
        m_started.append(path + u' ' + application);
        return true;
    };
}

void tst_DocumentWindowCommands::cleanup()
{
    m_fixture.reset();
    Workspace::responder = nullptr;
}

// The toolbar's Preview turns into Stop while the widget shows; the Widget
// menu gives the keyboard the same commands, and the inspector.
void tst_DocumentWindowCommands::previewFromTheMenuAndTheToolbar()
{
    Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"),
                "<plist><dict><key>Width</key><integer>300</integer><key>Height</key><string>150</string>"
                "<key>MainHTML</key><string>main.html</string></dict></plist>");
    WidgetDocument *document = m_fixture->open(m_fixture->bundle());
    DocumentWindowCommands *delegate = document->windowCommands();
    QVERIFY(!delegate->preview()); // the web engine waits for the first preview
    const auto toolbarPreview = [document] {
        return Toolbar::toolbarOf(document->window())
            ->toolBar()
            ->findChild<QAction *>(QStringLiteral("Preview Toolbar Item Identifier"));
    };

    command(document, "actionPreview")->trigger();
    QVERIFY(delegate->isPreviewShowing());
    QCOMPARE(delegate->preview()->window()->size(), QSize(300, 150));
    QCOMPARE(toolbarPreview()->text(), QStringLiteral("Stop"));
    QVERIFY(!command(document, "actionPreview")->isEnabled() && command(document, "actionStopPreview")->isEnabled());
    delegate->preview()->window()->close(); // as the window manager closes it
    QTRY_COMPARE(toolbarPreview()->text(), QStringLiteral("Preview"));
    QVERIFY(command(document, "actionPreview")->isEnabled() && !command(document, "actionStopPreview")->isEnabled());
    command(document, "actionPreview")->trigger();
    toolbarPreview()->trigger();
    QVERIFY(!delegate->isPreviewShowing());
    QCOMPARE(toolbarPreview()->text(), QStringLiteral("Preview"));
    command(document, "actionPreview")->trigger();
    command(document, "actionStopPreview")->trigger();
    QVERIFY(!delegate->isPreviewShowing());

    // Inspecting previews first; the tools keep their own profile, out of the widget runtime's reach.
    const auto inspector = [] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->windowTitle().startsWith(u"Inspector"_s))
                return qobject_cast<QWebEngineView *>(window);
        }
        return static_cast<QWebEngineView *>(nullptr);
    };
    command(document, "actionInspectPreview")->trigger();
    QWebEngineView *tools = inspector();
    QVERIFY(delegate->isPreviewShowing() && tools && tools->isVisible());
    QWebEnginePage *shown = delegate->preview()->window()->findChild<QWebEngineView *>()->page();
    QCOMPARE(tools->page()->inspectedPage(), shown);
    QVERIFY(tools->page()->profile() != shown->profile());
    tools->close();
    command(document, "actionInspectPreview")->trigger();
    QCOMPARE(inspector(), tools);
    QVERIFY(tools->isVisible());
}

// Widgets made from each template, previewed, stopped, previewed again while
// the next one is begun: the sequence that once crashed now and then.
// QUILLET_PREVIEW_ROUNDS repeats it for longer hunts under the sanitizers.
void tst_DocumentWindowCommands::madeWidgetsPreviewOverAndOver()
{
    for (int round = 0; round < std::max(qEnvironmentVariableIntValue("QUILLET_PREVIEW_ROUNDS"), 4); ++round) {
        auto *made = qobject_cast<WidgetDocument *>(DocumentController::shared().newDocument());
        made->templatePanel()->open();
        auto *templates = made->templatePanel()->findChild<QTableView *>(u"tableView"_s);
        templates->selectRow(round % templates->model()->rowCount());
        const QString target = m_fixture->folder() + u"/Made%1.wdgt"_s.arg(round);
        SavePanel::responder = [target](const SavePanel::Options &) { return target; };
        for (int step = 0; step < 2; ++step) // the template, then the name
            made->templatePanel()->findChild<QPushButton *>(u"okButton"_s)->click();
        QCOMPARE(made->filePath(), target);
        for (const char *step : {"actionPreview", "actionStopPreview", "actionPreview"}) {
            command(made, step)->trigger();
            QTest::qWait(50);
        }
        QVERIFY(made->windowCommands()->isPreviewShowing());
        DocumentController::shared().newDocument()->close();
        made->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The preview's alert() lines, console messages and uncaught errors reach
// the Run Log as they come, and no dialog waits for an answer; double-clicking
// an error opens its file there.
void tst_DocumentWindowCommands::runLogShowsThePreviewsLog()
{
    // Nothing to show says why, and shows nothing.
    m_fixture->answerAlerts(Alert::DefaultButton);
    Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"),
                "<plist><dict><key>Width</key><integer>9</integer></dict></plist>");
    WidgetDocument *document = m_fixture->open(m_fixture->bundle());
    command(document, "actionPreview")->trigger();
    QCOMPARE(m_fixture->alerts.size(), 1);
    QCOMPARE(m_fixture->alerts.first().message, u"“Info.plist”: It names no main page (MainHTML)."_s);
    QVERIFY(!document->windowCommands()->isPreviewShowing());
    // Wider than the screen: cut to it.
    Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"),
                "<plist><dict><key>MainHTML</key><string>main.html</string>"
                "<key>Width</key><integer>20000</integer><key>Height</key><integer>90</integer></dict></plist>");
    Tree::write(m_fixture->bundle(), QStringLiteral("main.html"), "<script src='main.js'></script>");
    Tree::write(m_fixture->bundle(), QStringLiteral("main.js"),
                "alert('tick');\nconsole.log('hello', confirm('?'), prompt('?'));\nnoSuchFunction();\n");
    command(document, "actionPreview")->trigger();
    QCOMPARE(document->windowCommands()->preview()->window()->width(),
             document->window()->screen()->availableGeometry().width());
    RunLogPanel *log = document->windowCommands()->panels()->runLog();
    QTRY_COMPARE_WITH_TIMEOUT(log->lines().size(), 5, 30000);
    QCOMPARE(log->lines().mid(0, 4),
             (QStringList{u"alert: tick"_s, u"confirm: ?"_s, u"prompt: ?"_s, u"main.js:2: hello false null"_s}));
    QVERIFY2(log->lines().last().startsWith(u"main.js:3: error: Uncaught ReferenceError"_s),
             qPrintable(log->lines().last()));
    QVERIFY(log->isVisible());

    auto *lines = log->findChild<QListWidget *>();
    emit lines->itemDoubleClicked(lines->item(4));
    auto *view = qobject_cast<TextEditorView *>(
        document->fileListController()->contentViewWithIdentifier(QStringLiteral("main.js")));
    QVERIFY(view && view->isVisible());
    int line = 0, index = 0;
    view->findChild<QsciScintilla *>()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
}

// Every part, put into a new widget's page from the menu (one twice, under
// ids of its own), leaves nothing for the check to find and sets itself up
// in the preview; the info button turns the widget to its back.
void tst_DocumentWindowCommands::insertedPartsWorkInThePreview()
{
    Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"),
                "<plist><dict><key>CFBundleIdentifier</key><string>com.example.parts</string><key>CFBundleName</key>"
                "<string>Parts</string><key>MainHTML</key><string>main.html</string><key>Width</key>"
                "<integer>400</integer><key>Height</key><integer>500</integer></dict></plist>");
    Tree::write(m_fixture->bundle(), QStringLiteral("main.html"),
                "<html>\n<head>\n</head>\n<body>\n</body>\n</html>\n");
    for (const QString &picture : {u"Default.png"_s, u"Icon.png"_s})
        QVERIFY(QImage(40, 40, QImage::Format_ARGB32).save(m_fixture->bundle() + u'/' + picture));
    WidgetDocument *document = m_fixture->open(m_fixture->bundle());
    const QList<QAction *> parts = document->window()->findChild<QMenu *>(u"menuInsertPart"_s)->actions();
    for (QAction *part : parts)
        part->trigger();
    parts.first()->trigger();
    command(document, "actionPreview")->trigger();
    const QString page = QString::fromUtf8(Tree::read(m_fixture->bundle() + u"/main.html"_s));
    QCOMPARE(page.count(u"AppleButton.js"_s), 1);
    QCOMPARE(WidgetChecker::check(m_fixture->bundle()).size(), 0);

    QWebEnginePage *shown = document->windowCommands()->preview()->window()->findChild<QWebEngineView *>()->page();
    const auto failing = std::make_shared<QVariant>();
    // Nothing (undefined) until the page has loaded; the picture shown
    // while it loads is another page.
    const QString checks = uR"((function () {
        if (document.readyState !== 'complete' || !document.getElementById('info'))
            return undefined;
        var set = function (id) { return document.getElementById(id).children.length > 0; };
        var ids = ['button', 'button2', 'glassButton', 'info', 'slider', 'verticalSlider', 'scrollBar'];
        var failing = ids.filter(function (id) { return !document.getElementById(id) || !set(id); });
        document.getElementById('info').click();
        if (getComputedStyle(document.getElementById('back')).display !== 'block')
            failing.push('the flip');
        return failing.join(' ');
    })())"_s;
    QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                 shown->runJavaScript(checks, [failing](const QVariant &result) { *failing = result; });
                                 return failing->isValid();
                             }()),
                             30000);
    QCOMPARE(failing->toString(), QString());
    for (const QString &line : document->windowCommands()->panels()->runLog()->lines())
        QVERIFY2(!line.contains(u"error"_s), qPrintable(line));
}

void tst_DocumentWindowCommands::buildAndRun_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("started"); // "copy", "bundle" or ""
    QTest::newRow("installed after asking") << u"home"_qs << int(Alert::DefaultButton) << true << u"copy"_qs;
    QTest::newRow("cancelled") << u"home"_qs << int(Alert::AlternateButton) << true << QString();
    QTest::newRow("already in the widget folder: runs in place") << u"widgets"_qs << 0 << false << u"bundle"_qs;
    // Replacing "the installed copy" would remove the bundle itself.
    QTest::newRow("widget folder is a link to the bundle's folder") << u"linked"_qs << 0 << false << u"bundle"_qs;
    QTest::newRow("untitled, saving cancelled") << u"untitled"_qs << 0 << false << QString();
    // Installed, then one message says the widget host could not be found.
    QTest::newRow("no widget host") << u"no host"_qs << int(Alert::DefaultButton) << true << QString();
}

void tst_DocumentWindowCommands::buildAndRun()
{
    QFETCH(QString, place);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(QString, started);
    QString bundle = m_fixture->bundle();
    if (place == u"widgets")
        bundle = WidgetShelf::folder() + QStringLiteral("/Clock.wdgt");
    else if (place == u"linked")
        QVERIFY(QDir().mkpath(QDir::homePath() + QStringLiteral("/Library"))
                && QFile::link(m_fixture->folder(), WidgetShelf::folder()));
    else if (place == u"home")
        Tree::write(WidgetShelf::folder(), QStringLiteral("Clock.wdgt/old.js"), "installed before");
    else if (place == u"no host") {
        Workspace::responder = nullptr;
        qputenv("PATH", "");
    }
    if (place != u"untitled")
        Tree::writeBundle(bundle);
    const auto bundleBefore = Tree::snapshot(bundle);
    const auto installedBefore = Tree::snapshot(WidgetShelf::folder());
    auto *document = place == u"untitled" ? qobject_cast<WidgetDocument *>(DocumentController::shared().newDocument())
                                          : m_fixture->open(bundle);
    SavePanel::responder = [](const SavePanel::Options &) { return QString(); };
    m_fixture->answerAlerts(Alert::Response(answer));

    document->windowCommands()->saveRunWidget();

    QCOMPARE(m_fixture->alerts.size(), (asked ? 1 : 0) + (place == u"no host" ? 1 : 0));
    if (asked)
        QCOMPARE(m_fixture->alerts.first().title, QStringLiteral("Install"));
    if (place == u"no host")
        QVERIFY(m_fixture->alerts.last().icon == Alert::Icon::Critical
                && m_fixture->alerts.last().message.contains(u"quillet-host"));
    const QString copy = WidgetShelf::folder() + QStringLiteral("/Clock.wdgt");
    const QString expected = started == u"copy" ? copy : started == u"bundle" ? bundle : QString();
    QCOMPARE(m_started, expected.isEmpty() ? QStringList() : QStringList{expected + QStringLiteral(" quillet-host")});
    if (place != u"untitled")
        QCOMPARE(Tree::snapshot(bundle), bundleBefore);
    if (started == u"copy")
        QCOMPARE(Tree::snapshot(copy), bundleBefore);
    else if (place == u"home")
        QCOMPARE(Tree::snapshot(WidgetShelf::folder()), installedBefore);
}

// Started as the editor is: the web engine comes with the first preview.
QTEST_MAIN(tst_DocumentWindowCommands)

#include "tst_DocumentWindowCommands.moc"
