// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/ToolbarDelegate.h"

#include "editors/MyTextFileView.h"
#include "host/BorderlessWindow.h"
#include "host/WidgetPreviewView.h"
#include "platform/FileManager.h"
#include "platform/Toolbar.h"
#include "platform/Workspace.h"

#include "tests/common/DocumentFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QWebEngineProfile>

namespace {
const QString NewItem = QStringLiteral("New Widget Toolbar Item Identifier");
const QString OpenItem = QStringLiteral("Open Toolbar Item Identifier");
const QString SaveItem = QStringLiteral("Save Toolbar Item Identifier");
const QString PreviewItem = QStringLiteral("Preview Toolbar Item Identifier");
const QString BuildRunItem = QStringLiteral("Build and Run Toolbar Item Identifier");
const QString SearchItem = QStringLiteral("Search Toolbar Item Identifier");
} // namespace

class tst_ToolbarDelegate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultAndAllowedItems();
    void items_data();
    void items();
    void searchItem();
    void searchFieldFiltersTheList();
    void previewTurnsIntoStopAndBack();
    void widgetMenuGivesTheCommands();
    void inspectorShowsThePreviewsPage();
    void findNextSearchesTheShownFile();

    void buildAndRunInstallsAfterAsking_data();
    void buildAndRunInstallsAfterAsking();
    void buildAndRunStartsABundleInTheWidgetFolderInPlace();
    void buildAndRunNeverRemovesTheOwnBundle();
    void buildAndRunOnAnUntitledDocumentStopsWhenSavingIsCancelled();

private:
    MyDocument *openClock();
    Toolbar *toolbar(MyDocument *document) const { return Toolbar::toolbarOf(document->window()); }
    QString widgetFolder() const { return QDir::homePath() + QStringLiteral("/Library/Widgets"); }

    std::unique_ptr<DocumentFixture> m_fixture;
    QList<QPair<QString, QString>> m_started;
    QList<Alert::Request> m_questions;
};

void tst_ToolbarDelegate::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    m_started.clear();
    m_questions.clear();
    Workspace::responder = [this](const QString &path, const QString &application) {
        m_started.append({path, application});
        return true;
    };
}

void tst_ToolbarDelegate::cleanup()
{
    m_fixture.reset();
    Workspace::responder = nullptr;
}

MyDocument *tst_ToolbarDelegate::openClock()
{
    Tree::writeBundle(m_fixture->bundle());
    return m_fixture->open(m_fixture->bundle());
}

void tst_ToolbarDelegate::defaultAndAllowedItems()
{
    MyDocument *document = openClock();
    ToolbarDelegate *delegate = document->toolbarDelegate();
    const QStringList defaults{NewItem, OpenItem, SaveItem, Toolbar::FlexibleSpaceItemIdentifier,
                               PreviewItem, BuildRunItem, SearchItem};
    QCOMPARE(delegate->toolbarDefaultItemIdentifiers(), defaults);
    QCOMPARE(toolbar(document)->itemIdentifiers(), defaults);
    const QStringList allowed{NewItem, OpenItem, BuildRunItem, SaveItem, PreviewItem,
                              Toolbar::SpaceItemIdentifier, Toolbar::FlexibleSpaceItemIdentifier,
                              Toolbar::CustomizeToolbarItemIdentifier, Toolbar::SeparatorItemIdentifier, SearchItem};
    QCOMPARE(delegate->toolbarAllowedItemIdentifiers(), allowed);
    QVERIFY(!delegate->itemForItemIdentifier(QStringLiteral("Unknown")));
    QVERIFY(!delegate->itemForItemIdentifier(Toolbar::SpaceItemIdentifier));
}

void tst_ToolbarDelegate::items_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("label");
    QTest::newRow("new") << NewItem << QStringLiteral("New Widget");
    QTest::newRow("open") << OpenItem << QStringLiteral("Open");
    QTest::newRow("save") << SaveItem << QStringLiteral("Save");
    QTest::newRow("preview") << PreviewItem << QStringLiteral("Preview");
    QTest::newRow("build and run") << BuildRunItem << QStringLiteral("Build and Run");
}

void tst_ToolbarDelegate::items()
{
    QFETCH(QString, identifier);
    QFETCH(QString, label);
    MyDocument *document = openClock();
    const std::optional<ToolbarItem> item = document->toolbarDelegate()->itemForItemIdentifier(identifier);
    QVERIFY(item);
    QCOMPARE(item->label, label);
    QCOMPARE(item->paletteLabel, label);
    QVERIFY(!item->image.isNull());
    QVERIFY(item->action);
    QVERIFY(item->toolTip.isEmpty());
}

void tst_ToolbarDelegate::searchItem()
{
    MyDocument *document = openClock();
    const std::optional<ToolbarItem> item = document->toolbarDelegate()->itemForItemIdentifier(SearchItem);
    QVERIFY(item);
    QCOMPARE(item->label, QStringLiteral("Search"));
    QCOMPARE(item->toolTip, QStringLiteral("Search Your Document"));
    QCOMPARE(item->minSize.width(), 123);
    QCOMPARE(item->maxSize.width(), 123);
    QCOMPARE(item->view.data(), document->toolbarDelegate()->searchView());
    QCOMPARE(document->toolbarDelegate()->searchView()->width(), 123);
    QVERIFY(item->menuForm);
    QCOMPARE(item->menuForm->actions().size(), 1);
    QCOMPARE(item->menuForm->actions().first()->text(), QStringLiteral("Search Panel"));
    QVERIFY(!item->menuForm->actions().first()->isEnabled());
}

void tst_ToolbarDelegate::searchFieldFiltersTheList()
{
    MyDocument *document = openClock();
    QLineEdit *field = document->toolbarDelegate()->searchView();
    field->setText(QStringLiteral("MAIN"));
    QCOMPARE(document->fileListController()->rowList(), QStringList{QStringLiteral("main.html")});
    field->clear();
    QCOMPARE(document->fileListController()->rowList().size(), 3);
}

void tst_ToolbarDelegate::previewTurnsIntoStopAndBack()
{
    Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_fixture->bundle(), QStringLiteral("Info.plist"),
                "<plist><dict><key>Width</key><integer>300</integer><key>Height</key><string>150</string>"
                "<key>MainHTML</key><string>main.html</string></dict></plist>");
    MyDocument *document = m_fixture->open(m_fixture->bundle());
    ToolbarDelegate *delegate = document->toolbarDelegate();
    QVERIFY(!delegate->previewWindow()); // the web engine waits for the first preview
    QCOMPARE(delegate->itemForItemIdentifier(PreviewItem)->label, QStringLiteral("Preview"));

    delegate->previewWidget();
    QVERIFY(delegate->isPreviewShowing());
    QCOMPARE(delegate->previewWindow()->size(), QSize(300, 150));
    QAction *stop = toolbar(document)->toolBar()->findChild<QAction *>(PreviewItem);
    QVERIFY(stop);
    QCOMPARE(stop->text(), QStringLiteral("Stop"));

    stop->trigger();
    QVERIFY(!delegate->isPreviewShowing());
    QCOMPARE(toolbar(document)->toolBar()->findChild<QAction *>(PreviewItem)->text(), QStringLiteral("Preview"));
}

// The keyboard's way to the toolbar's commands.
void tst_ToolbarDelegate::widgetMenuGivesTheCommands()
{
    MyDocument *document = openClock();
    const auto menuCommand = [document](const char *name) {
        return document->window()->findChild<QAction *>(QLatin1String(name));
    };
    QVERIFY(menuCommand("actionPreview") && menuCommand("actionStopPreview") && menuCommand("actionBuildAndRun"));
    Alert::responder = [this](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::AlternateButton;
    };

    menuCommand("actionPreview")->trigger();
    QVERIFY(document->toolbarDelegate()->isPreviewShowing());
    menuCommand("actionStopPreview")->trigger();
    QVERIFY(!document->toolbarDelegate()->isPreviewShowing());
    menuCommand("actionBuildAndRun")->trigger();
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_questions.first().title, QStringLiteral("Install"));
}

void tst_ToolbarDelegate::inspectorShowsThePreviewsPage()
{
    MyDocument *document = openClock();
    QAction *inspect = document->window()->findChild<QAction *>(QStringLiteral("actionInspectPreview"));
    QVERIFY(inspect);

    inspect->trigger();

    ToolbarDelegate *delegate = document->toolbarDelegate();
    QVERIFY(delegate->isPreviewShowing());
    PageInspector *inspector = delegate->inspector();
    QVERIFY(inspector && inspector->isVisible());
    QCOMPARE(inspector->inspectedPage(), delegate->previewWindow()->widgetView()->page());
    QCOMPARE(inspector->windowTitle(), QStringLiteral("Inspector — Clock.wdgt"));
    // The tools keep their own profile: the widget runtime stays out of them.
    QVERIFY(inspector->page()->profile() != delegate->previewWindow()->widgetView()->page()->profile());

    inspector->close();
    inspect->trigger();
    QCOMPARE(delegate->inspector(), inspector);
    QVERIFY(inspector->isVisible());
}

void tst_ToolbarDelegate::findNextSearchesTheShownFile()
{
    MyDocument *document = openClock();
    QVERIFY(DocumentFixture::select(document, QStringLiteral("main.html")));
    auto *view = qobject_cast<MyTextFileView *>(
        document->fileListController()->contentViewWithIdentifier(QStringLiteral("main.html")));
    QVERIFY(view);
    QAction *findNext = document->window()->findChild<QAction *>(QStringLiteral("actionFindNext"));
    QVERIFY(findNext);
    QLineEdit *field = document->toolbarDelegate()->searchView();

    findNext->trigger();
    QCOMPARE(document->window()->focusWidget(), field);

    field->setText(QStringLiteral("HTML"));
    findNext->trigger();
    QCOMPARE(view->selectedText().toLower(), QStringLiteral("html"));
    QCOMPARE(document->window()->focusWidget(), view->focusProxy());
}

void tst_ToolbarDelegate::buildAndRunInstallsAfterAsking_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("installed");
    QTest::newRow("install") << int(Alert::DefaultButton) << true;
    QTest::newRow("cancel") << int(Alert::AlternateButton) << false;
}

void tst_ToolbarDelegate::buildAndRunInstallsAfterAsking()
{
    QFETCH(int, answer);
    QFETCH(bool, installed);
    MyDocument *document = openClock();
    const QString copy = widgetFolder() + QStringLiteral("/Clock.wdgt");
    Tree::write(copy, QStringLiteral("old.js"), "installed before");
    const auto before = Tree::snapshot(widgetFolder());
    Alert::responder = [this, answer](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::Response(answer);
    };

    document->toolbarDelegate()->saveRunWidget();

    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_questions.first().title, QStringLiteral("Install"));
    QCOMPARE(m_questions.first().message,
             QStringLiteral("In order to run this widget a copy needs to be installed to your widgets folder.  "
                            "This will replace any widget in your widget folder with the same name."));
    QCOMPARE(m_questions.first().defaultButton, QStringLiteral("Install"));
    QCOMPARE(m_questions.first().alternateButton, QStringLiteral("Cancel"));
    if (installed) {
        QCOMPARE(Tree::snapshot(copy), Tree::snapshot(m_fixture->bundle()));
        QCOMPARE(m_started, (QList<QPair<QString, QString>>{{copy, QStringLiteral("Dock")}}));
        QCOMPARE(FileManager::contentsOfDirectory(widgetFolder()), QStringList{QStringLiteral("Clock.wdgt")});
    } else {
        QCOMPARE(Tree::snapshot(widgetFolder()), before);
        QVERIFY(m_started.isEmpty());
    }
}

void tst_ToolbarDelegate::buildAndRunStartsABundleInTheWidgetFolderInPlace()
{
    const QString bundle = Tree::writeBundle(widgetFolder() + QStringLiteral("/Clock.wdgt"));
    const auto before = Tree::snapshot(bundle);
    MyDocument *document = m_fixture->open(bundle);
    Alert::responder = [this](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::DefaultButton;
    };
    document->toolbarDelegate()->saveRunWidget();
    QVERIFY(m_questions.isEmpty());
    QCOMPARE(m_started, (QList<QPair<QString, QString>>{{bundle, QStringLiteral("Dock")}}));
    QCOMPARE(Tree::snapshot(bundle), before);
}

void tst_ToolbarDelegate::buildAndRunNeverRemovesTheOwnBundle()
{
    // ~/Library/Widgets is a link to the folder that holds the document's bundle.
    MyDocument *document = openClock();
    QVERIFY(QDir().mkpath(QDir::homePath() + QStringLiteral("/Library")));
    QVERIFY(QFile::link(m_fixture->folder(), widgetFolder()));
    const auto before = Tree::snapshot(m_fixture->bundle());
    Alert::responder = [this](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::DefaultButton;
    };
    document->toolbarDelegate()->saveRunWidget();
    QVERIFY(m_questions.isEmpty());
    QCOMPARE(m_started, (QList<QPair<QString, QString>>{{m_fixture->bundle(), QStringLiteral("Dock")}}));
    QCOMPARE(Tree::snapshot(m_fixture->bundle()), before);
}

void tst_ToolbarDelegate::buildAndRunOnAnUntitledDocumentStopsWhenSavingIsCancelled()
{
    auto *document = qobject_cast<MyDocument *>(DocumentController::shared().newDocument());
    int asked = 0;
    SavePanel::responder = [&asked](const SavePanel::Options &) {
        ++asked;
        return QString();
    };
    Alert::responder = [this](const Alert::Request &request) {
        m_questions.append(request);
        return Alert::DefaultButton;
    };
    document->toolbarDelegate()->saveRunWidget();
    document->toolbarDelegate()->previewWidget();
    document->toolbarDelegate()->inspectPreview();
    QCOMPARE(asked, 3);
    QVERIFY(!document->toolbarDelegate()->inspector());
    QVERIFY(m_questions.isEmpty());
    QVERIFY(m_started.isEmpty());
    QVERIFY(!document->toolbarDelegate()->previewWindow());
    QVERIFY(!QFileInfo::exists(widgetFolder()));
}

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    tst_ToolbarDelegate test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ToolbarDelegate.moc"
