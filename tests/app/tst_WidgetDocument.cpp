// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/WidgetDocument.h"

#include "app/DocumentWindowCommands.h"
#include "app/ProblemsPanel.h"
#include "app/WidgetPanels.h"
#include "editors/TextEditorView.h"
#include "platform/Settings.h"
#include "platform/Toolbar.h"
#include "templates/TemplateFolder.h"

#include "tests/common/DocumentFixture.h"

#include <QMenu>

namespace {

const QString Edited = QStringLiteral("Images/notes.txt");
const QByteArray OldNotes = "old notes\n";

} // namespace

class tst_WidgetDocument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }

    void opening_data();
    void opening();
    void recentMenuListsTheLatestTenThatStillExist();
    void openingAtALineSavesNothing();
    void earlierSettingsStillApply();

private:
    std::unique_ptr<DocumentFixture> m_fixture;
};

void tst_WidgetDocument::init()
{
    m_fixture = std::make_unique<DocumentFixture>();
    Tree::writeBundle(m_fixture->bundle());
    Tree::write(m_fixture->bundle(), Edited, OldNotes);
    m_fixture->answerAlerts(Alert::DefaultButton);
}

void tst_WidgetDocument::opening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind"); // what stands at the path: folder, file, nothing
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("opens"); // the document's path; "" for none
    QTest::addColumn<int>("alerts");
    QTest::newRow("widget, upper-case extension") << u"Clock.WDGT"_qs << u"folder"_qs << 0 << u"Clock.WDGT"_qs << 0;
    QTest::newRow("a second spelling") << u"Clock.wdgt/"_qs << u"folder"_qs << 0 << u"Clock.wdgt"_qs << 0;
    QTest::newRow("missing path") << u"Gone.wdgt"_qs << u"nothing"_qs << 0 << u"Gone.wdgt"_qs << 0;
    QTest::newRow("other folder") << u"Stuff.folder"_qs << u"folder"_qs << 0 << u"Stuff.folder"_qs << 0;
    // A plain file would open as an empty widget that Build and Run installs.
    QTest::newRow("plain file") << u"notes.txt"_qs << u"file"_qs << 0 << QString() << 1;
    QTest::newRow("template, Edit") << u"Clock.wdtp"_qs << u"folder"_qs << int(Alert::AlternateButton)
                                    << u"Clock.wdtp"_qs << 1;
    QTest::newRow("template, Install") << u"Clock.wdtp"_qs << u"folder"_qs << int(Alert::DefaultButton) << QString()
                                       << 1;
    QTest::newRow("template, Install over an installed one")
        << u"Taken.wdtp"_qs << u"folder"_qs << int(Alert::DefaultButton) << QString() << 2;
}

void tst_WidgetDocument::opening()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(int, answer);
    QFETCH(QString, opens);
    QFETCH(int, alerts);
    const QString folder = m_fixture->folder();
    const QString path = folder + u'/' + name;
    if (kind == u"folder" && !name.startsWith(u"Clock.wdgt"))
        Tree::write(path, QStringLiteral("template.plist"), "<array/>");
    else if (kind == u"file")
        Tree::write(folder, name, "text");
    TemplateFolder::prepare();
    const QString installed = TemplateFolder::templatesPath() + u'/' + QFileInfo(path).fileName();
    Tree::write(TemplateFolder::templatesPath(), QStringLiteral("Taken.wdtp/template.plist"), "<array>theirs</array>");
    const auto before = Tree::snapshot(folder);
    const auto installedBefore = Tree::snapshot(installed);
    m_fixture->answerAlerts(Alert::Response(answer));

    Document *document = DocumentController::shared().openDocumentWithPath(path);

    QCOMPARE(m_fixture->alerts.size(), alerts);
    QCOMPARE(document ? document->filePath() : QString(), opens.isEmpty() ? QString() : folder + u'/' + opens);
    if (name == u"Clock.wdtp" && opens.isEmpty()) {
        // The template goes, and a new widget opens in its place.
        QVERIFY(DocumentController::shared().documents().first()->filePath().isEmpty());
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(Tree::snapshot(installed).value(QStringLiteral("template.plist")), QByteArray("<array/>"));
        return;
    }
    // Opening reads nothing and changes nothing; a refused install replaces nothing.
    QCOMPARE(Tree::snapshot(folder), before);
    QCOMPARE(Tree::snapshot(installed), installedBefore);
    if (alerts > 0 && kind != u"folder")
        QVERIFY(m_fixture->alerts.last().message.contains(path));
}

void tst_WidgetDocument::recentMenuListsTheLatestTenThatStillExist()
{
    const QString first = Tree::writeBundle(m_fixture->folder() + QStringLiteral("/First.wdgt"));
    const QString gone = Tree::writeBundle(m_fixture->folder() + QStringLiteral("/Gone.wdgt"));
    for (int i = 0; i < 12; ++i)
        Settings::shared().noteRecentDocument(m_fixture->folder() + QStringLiteral("/%1.wdgt").arg(i));
    QVERIFY(m_fixture->open(gone) && m_fixture->open(first));
    WidgetDocument *document = m_fixture->open(m_fixture->bundle());
    QCOMPARE(m_fixture->open(first)->filePath(), first); // brought forward, not listed twice
    QVERIFY(QDir(gone).removeRecursively());
    auto *menu = document->window()->findChild<QMenu *>(QStringLiteral("menuOpenRecent"));
    const auto entries = [menu] {
        emit menu->aboutToShow();
        QStringList names;
        for (const QAction *action : menu->actions()) {
            if (!action->isSeparator())
                names.append(action->text().section(QStringLiteral(" — "), 0, 0)
                             + (action->isEnabled() ? QString() : QStringLiteral(" (off)")));
        }
        return names;
    };
    QCOMPARE(Settings::shared().recentDocuments().size(), Settings::MaximumRecentDocuments);
    QCOMPARE(entries(),
             (QStringList{QStringLiteral("Clock.wdgt"), QStringLiteral("First.wdgt"), QStringLiteral("Clear Menu")}));

    DocumentController::shared().documents().at(1)->close(); // First
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    menu->actions().at(1)->trigger();
    QCOMPARE(DocumentController::shared().documents().last()->filePath(), first);
    menu->actions().last()->trigger(); // Clear Menu
    QCOMPARE(entries(), (QStringList{QStringLiteral("No Recent Widgets (off)"), QStringLiteral("Clear Menu (off)")}));
}

// A line of the Problems panel or the Run Log opens its file there, and
// every other edit stays unsaved.
void tst_WidgetDocument::openingAtALineSavesNothing()
{
    TextEditorView *view = m_fixture->typeInto(Edited, QStringLiteral("typed "));
    auto *document = qobject_cast<WidgetDocument *>(DocumentController::shared().documentForWindow(view));
    emit document->windowCommands()->panels()->problems()->placeChosen(QStringLiteral("main.html"), 1);
    QCOMPARE(DocumentFixture::shownIdentifiers(document), QStringList{QStringLiteral("main.html")});
    QVERIFY(view->isEdited());
    QCOMPARE(Tree::read(m_fixture->bundle() + u'/' + Edited), OldNotes);
}

// Settings saved before the toolbar's classes were renamed: every saved item
// is still one the toolbar knows, in the saved order and display mode, and
// the editor's font keeps its size.
void tst_WidgetDocument::earlierSettingsStillApply()
{
    const QString settings = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quillet/Quillet.conf");
    QVERIFY(QDir().mkpath(QFileInfo(settings).path()));
    QVERIFY(QFile::copy(QStringLiteral(QUILLET_TEST_DATA "/earlier-user/Quillet.conf"), settings));
    const Toolbar *toolbar = Toolbar::toolbarOf(m_fixture->open(m_fixture->bundle())->window());
    QCOMPARE(toolbar->itemIdentifiers().size(), 7);
    QCOMPARE(toolbar->itemIdentifiers().first(), QStringLiteral("Search Toolbar Item Identifier"));
    QCOMPARE(toolbar->displayMode(), Toolbar::DisplayModeIconOnly);
    QCOMPARE(Settings::shared().editorFontSize(), 14);
}

QTEST_MAIN(tst_WidgetDocument)
#include "tst_WidgetDocument.moc"
