// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MyDocument.h"

#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/SavePanel.h"
#include "platform/Settings.h"
#include "templates/TemplateFolder.h"

#include "tests/common/TestHome.h"
#include "tests/common/Tree.h"

#include <QDir>
#include <QGridLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// Stands in for an editor with unsaved text: `save` writes it to the view's
// file, and the text stays unsaved when that fails.
class EditedView : public ContentView
{
public:
    EditedView(const QString &identifier, const QByteArray &text)
        : m_identifier(identifier), m_text(text) {}

    void setViewIdentifier(const QString &identifier) override { m_identifier = identifier; }
    QString viewIdentifier() const override { return m_identifier; }
    void openTheFile() override {}
    Outcome save() override
    {
        savedTo.append(fullPath());
        const Outcome written = FileManager::writeFile(fullPath(), m_text);
        m_edited = !written;
        return written.naming(m_identifier);
    }
    bool searchString(const QString &) override { return false; }
    bool isEdited() const override { return m_edited; }

    QStringList savedTo;

private:
    QString m_identifier;
    QByteArray m_text;
    bool m_edited = true;
};

} // namespace

class tst_MyDocument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opening_data();
    void opening();
    void installOntoAnInstalledTemplateReplacesNothing();

    void windowComesFromTheFormAndIsTitledWithTheBundle();
    void saveWithoutContentViewsWritesNothing();
    void saveWritesEveryContentViewInOrder();
    void saveAsCopiesTheTreeAndPutsTheEditsInTheCopy();
    void saveAsOntoAnExistingBundleReplacesItWhole();
    void saveAsIntoItselfFailsAndChangesNothing();
    void untitledSaveAsksForALocation();
    void closingWithEditsAsks_data();
    void closingWithEditsAsks();
    void recentMenuListsWidgetsLatestFirst();
    void recentListKeepsTheLatestTen();

private:
    MyDocument *open(const QString &path);
    QString makeBundle(const QString &name);
    void answerAlerts(Alert::Response response);
    static void settle();

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<Alert::Request> m_questions;
};

void tst_MyDocument::initTestCase()
{
    DocumentController::shared().setDocumentFactory([] { return new MyDocument; });
    DocumentController::shared().setQuitsWithLastDocument(false);
}

void tst_MyDocument::init()
{
    m_home.reset(); // restores HOME before the next one takes its place
    m_home = std::make_unique<TestHome>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_questions.clear();
}

void tst_MyDocument::cleanup()
{
    for (Document *document : DocumentController::shared().documents())
        document->close();
    settle();
    Alert::responder = nullptr;
    SavePanel::responder = nullptr;
}

void tst_MyDocument::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

MyDocument *tst_MyDocument::open(const QString &path)
{
    return qobject_cast<MyDocument *>(DocumentController::shared().openDocumentWithPath(path));
}

QString tst_MyDocument::makeBundle(const QString &name)
{
    return Tree::writeBundle(m_dir->filePath(name));
}

void tst_MyDocument::answerAlerts(Alert::Response response)
{
    Alert::responder = [this, response](const Alert::Request &request) {
        m_questions.append(request);
        return response;
    };
}

void tst_MyDocument::opening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("installed");

    QTest::newRow("widget, upper-case extension") << QStringLiteral("Clock.WDGT") << true << -1 << false << false;
    QTest::newRow("missing path") << QStringLiteral("Gone.wdgt") << false << -1 << false << false;
    QTest::newRow("other directory") << QStringLiteral("Stuff.folder") << true << -1 << false << false;
    QTest::newRow("missing template") << QStringLiteral("Gone.wdtp") << false << -1 << false << false;
    QTest::newRow("template, Edit") << QStringLiteral("Clock.wdtp") << true << int(Alert::AlternateButton) << true << false;
    QTest::newRow("template, Install") << QStringLiteral("Clock.wdtp") << true << int(Alert::DefaultButton) << true << true;
}

void tst_MyDocument::opening()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, installed);

    const QString path = exists ? makeBundle(name) : m_dir->filePath(name);
    if (exists && name.endsWith(QStringLiteral(".wdtp")))
        Tree::write(path, QStringLiteral("template.plist"), "<array/>");
    const auto before = exists ? Tree::snapshot(path) : QMap<QString, QByteArray>();
    answerAlerts(answer < 0 ? Alert::DefaultButton : Alert::Response(answer));

    MyDocument *document = open(path);

    QCOMPARE(m_questions.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(m_questions.first().title, QStringLiteral("Edit or Install"));
        QCOMPARE(m_questions.first().message, QStringLiteral("Would you like to edit or install this template?"));
        QCOMPARE(m_questions.first().defaultButton, QStringLiteral("Install"));
        QCOMPARE(m_questions.first().alternateButton, QStringLiteral("Edit"));
    }
    const QList<Document *> documents = DocumentController::shared().documents();
    QCOMPARE(documents.size(), 1);
    if (installed) {
        QVERIFY(!document);
        QVERIFY(documents.first()->filePath().isEmpty());
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(Tree::snapshot(TemplateFolder::templatesPath() + QStringLiteral("/Clock.wdtp")), before);
    } else {
        QVERIFY(document);
        QCOMPARE(document->filePath(), path);
        QVERIFY(document->window()->isVisible());
        // Opening reads nothing and changes nothing.
        const auto after = exists ? Tree::snapshot(path) : QMap<QString, QByteArray>();
        QCOMPARE(after, before);
        QCOMPARE(QFileInfo::exists(path), exists);
    }
}

void tst_MyDocument::installOntoAnInstalledTemplateReplacesNothing()
{
    TemplateFolder::prepare();
    const QString installed = TemplateFolder::templatesPath() + QStringLiteral("/Clock.wdtp");
    Tree::write(installed, QStringLiteral("template.plist"), "<array>installed</array>");
    const QString path = makeBundle(QStringLiteral("Clock.wdtp"));
    const auto mine = Tree::snapshot(path);
    const auto theirs = Tree::snapshot(installed);
    answerAlerts(Alert::DefaultButton);

    QVERIFY(!open(path));

    // The Edit-or-Install question, then one message saying why nothing moved.
    QCOMPARE(m_questions.size(), 2);
    QCOMPARE(m_questions.last().icon, Alert::Icon::Critical);
    QVERIFY(m_questions.last().message.contains(QStringLiteral("File exists")));
    QCOMPARE(Tree::snapshot(path), mine);
    QCOMPARE(Tree::snapshot(installed), theirs);
    QCOMPARE(DocumentController::shared().documents().size(), 1);
    QVERIFY(DocumentController::shared().documents().first()->filePath().isEmpty());
}

void tst_MyDocument::windowComesFromTheFormAndIsTitledWithTheBundle()
{
    MyDocument *document = open(makeBundle(QStringLiteral("River Levels.wdgt")));
    QVERIFY(document);
    QCOMPARE(document->window()->objectName(), document->windowNibName());
    QCOMPARE(document->window()->windowTitle(), QStringLiteral("River Levels.wdgt"));
    QCOMPARE(document->window()->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(document->window()->menuBar()->actions().size() >= 2);
    QCOMPARE(DocumentController::shared().documentForWindow(document->contentView()), document);
    // The same path again brings the open document forward instead of a twin.
    QCOMPARE(open(document->filePath()), document);
    QCOMPARE(DocumentController::shared().documents().size(), 1);
}

void tst_MyDocument::saveWithoutContentViewsWritesNothing()
{
    const QString path = makeBundle(QStringLiteral("Clock.wdgt"));
    const QDateTime modified = QFileInfo(path + QStringLiteral("/main.html")).lastModified();
    const auto before = Tree::snapshot(m_dir->path());
    MyDocument *document = open(path);
    QVERIFY(document->saveDocument());
    QCOMPARE(Tree::snapshot(m_dir->path()), before);
    QCOMPARE(QFileInfo(path + QStringLiteral("/main.html")).lastModified(), modified);
    QCOMPARE(document->filePath(), path);
}

void tst_MyDocument::saveWritesEveryContentViewInOrder()
{
    const QString path = makeBundle(QStringLiteral("Clock.wdgt"));
    MyDocument *document = open(path);
    auto *first = new EditedView(QStringLiteral("main.html"), "<html>new</html>");
    auto *second = new EditedView(QStringLiteral("Images/notes.txt"), "notes");
    document->contentView()->add(first);
    document->contentView()->add(second);
    second->hide();
    QVERIFY(document->saveDocument());
    QCOMPARE(first->savedTo, QStringList{path + QStringLiteral("/main.html")});
    QCOMPARE(second->savedTo, QStringList{path + QStringLiteral("/Images/notes.txt")});
    QCOMPARE(Tree::read(path + QStringLiteral("/main.html")), QByteArray("<html>new</html>"));
    QCOMPARE(Tree::read(path + QStringLiteral("/Images/notes.txt")), QByteArray("notes"));
}

void tst_MyDocument::saveAsCopiesTheTreeAndPutsTheEditsInTheCopy()
{
    const QString path = makeBundle(QStringLiteral("Clock.wdgt"));
    const auto original = Tree::snapshot(path);
    MyDocument *document = open(path);
    document->contentView()->add(new EditedView(QStringLiteral("main.html"), "<html>new</html>"));
    const QString copy = m_dir->filePath(QStringLiteral("Copy.wdgt"));
    SavePanel::responder = [copy](const SavePanel::Options &options) {
        return options.requiredExtension == u"wdgt" ? copy : QString();
    };

    QVERIFY(document->saveDocumentAs());

    QCOMPARE(Tree::snapshot(path), original);
    auto expected = original;
    expected[QStringLiteral("main.html")] = "<html>new</html>";
    QCOMPARE(Tree::snapshot(copy), expected);
    QCOMPARE(document->filePath(), copy);
    QCOMPARE(document->window()->windowTitle(), QStringLiteral("Copy.wdgt"));
    // Later saves go to the new place.
    Tree::write(copy, QStringLiteral("main.html"), "changed on disk");
    QVERIFY(document->saveDocument());
    QCOMPARE(Tree::read(copy + QStringLiteral("/main.html")), QByteArray("<html>new</html>"));
    QCOMPARE(Tree::snapshot(path), original);
}

void tst_MyDocument::saveAsOntoAnExistingBundleReplacesItWhole()
{
    const QString path = makeBundle(QStringLiteral("Clock.wdgt"));
    const QString other = m_dir->filePath(QStringLiteral("Other.wdgt"));
    Tree::write(other, QStringLiteral("stale.js"), "old");
    MyDocument *document = open(path);
    SavePanel::responder = [other](const SavePanel::Options &) { return other; };

    QVERIFY(document->saveDocumentAs());

    QCOMPARE(Tree::snapshot(other), Tree::snapshot(path));
    // No staging folder is left behind beside the bundles.
    QStringList names = FileManager::contentsOfDirectory(m_dir->path());
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("Clock.wdgt"), QStringLiteral("Other.wdgt")}));
}

void tst_MyDocument::saveAsIntoItselfFailsAndChangesNothing()
{
    const QString path = makeBundle(QStringLiteral("Clock.wdgt"));
    const auto before = Tree::snapshot(m_dir->path());
    MyDocument *document = open(path);
    auto *view = new EditedView(QStringLiteral("main.html"), "<html>new</html>");
    document->contentView()->add(view);
    SavePanel::responder = [path](const SavePanel::Options &) {
        return path + QStringLiteral("/Images/Inner.wdgt");
    };
    answerAlerts(Alert::DefaultButton);

    QVERIFY(!document->saveDocumentAs());

    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(Tree::snapshot(m_dir->path()), before);
    QCOMPARE(document->filePath(), path);
    QVERIFY(view->savedTo.isEmpty());
}

void tst_MyDocument::untitledSaveAsksForALocation()
{
    Document *document = DocumentController::shared().newDocument();
    QVERIFY(document->filePath().isEmpty());
    QVERIFY(document->window()->windowTitle().startsWith(QStringLiteral("Untitled")));
    const QString target = m_dir->filePath(QStringLiteral("Fresh.wdgt"));
    int asked = 0;
    SavePanel::responder = [&asked, target](const SavePanel::Options &) {
        ++asked;
        return target;
    };
    QVERIFY(document->saveDocument());
    QCOMPARE(asked, 1);
    QCOMPARE(document->filePath(), target);
    QVERIFY(QFileInfo(target).isDir());
    QVERIFY(document->saveDocument());
    QCOMPARE(asked, 1);
}

void tst_MyDocument::closingWithEditsAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("save") << int(Alert::DefaultButton) << true << QByteArray("<html>new</html>");
    QTest::newRow("cancel") << int(Alert::AlternateButton) << false << QByteArray("<html>old \xe9</html>");
    QTest::newRow("don't save") << int(Alert::OtherButton) << true << QByteArray("<html>old \xe9</html>");
}

void tst_MyDocument::closingWithEditsAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QByteArray, written);
    const QString path = makeBundle(QStringLiteral("Clock.wdgt"));
    MyDocument *document = open(path);
    document->contentView()->add(new EditedView(QStringLiteral("main.html"), "<html>new</html>"));
    answerAlerts(Alert::Response(answer));

    document->window()->close();
    settle();

    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(DocumentController::shared().documents().isEmpty(), closed);
    QCOMPARE(Tree::read(path + QStringLiteral("/main.html")), written);
}

// The entries of the File menu's Open Recent list, as the user sees them on opening it.
static QStringList recentEntries(MyDocument *document)
{
    auto *menu = document->window()->findChild<QMenu *>(QStringLiteral("menuOpenRecent"));
    if (!menu)
        return {};
    emit menu->aboutToShow();
    QStringList entries;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        const QString name = action->text().section(QStringLiteral(" — "), 0, 0);
        entries.append(action->isEnabled() ? name : name + QStringLiteral(" (off)"));
    }
    return entries;
}

void tst_MyDocument::recentMenuListsWidgetsLatestFirst()
{
    const QString first = makeBundle(QStringLiteral("First.wdgt"));
    const QString second = makeBundle(QStringLiteral("Second.wdgt"));
    const QString gone = makeBundle(QStringLiteral("Gone.wdgt"));
    QVERIFY(open(gone));
    QVERIFY(open(first));
    MyDocument *document = open(second);
    QVERIFY(document);
    QVERIFY(QDir(gone).removeRecursively());

    QCOMPARE(recentEntries(document), (QStringList{QStringLiteral("Second.wdgt"),
                                                   QStringLiteral("First.wdgt"),
                                                   QStringLiteral("Clear Menu")}));

    for (Document *open : DocumentController::shared().documents()) {
        if (open->filePath() == first)
            open->close();
    }
    settle();
    auto *menu = document->window()->findChild<QMenu *>(QStringLiteral("menuOpenRecent"));
    menu->actions().at(1)->trigger();
    QCOMPARE(DocumentController::shared().documents().last()->filePath(), first);

    menu->actions().last()->trigger(); // Clear Menu
    QCOMPARE(recentEntries(document),
             (QStringList{QStringLiteral("No Recent Widgets (off)"), QStringLiteral("Clear Menu (off)")}));
}

void tst_MyDocument::recentListKeepsTheLatestTen()
{
    for (int i = 0; i < 12; ++i)
        Settings::shared().noteRecentDocument(QStringLiteral("/w/%1.wdgt").arg(i));
    Settings::shared().noteRecentDocument(QStringLiteral("/w/5.wdgt"));

    const QStringList recent = Settings::shared().recentDocuments();
    QCOMPARE(recent.size(), Settings::MaximumRecentDocuments);
    QCOMPARE(recent.first(), QStringLiteral("/w/5.wdgt"));
    QCOMPARE(recent.count(QStringLiteral("/w/5.wdgt")), 1);
    QCOMPARE(recent.at(1), QStringLiteral("/w/11.wdgt"));
    QVERIFY(!recent.contains(QStringLiteral("/w/1.wdgt")));
}

QTEST_MAIN(tst_MyDocument)
#include "tst_MyDocument.moc"
