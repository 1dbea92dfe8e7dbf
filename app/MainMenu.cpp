// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MainMenu.h"

#include "ui_MainMenu.h"

#include "app/DocumentWindowCommands.h"
#include "app/PreferencesWindow.h"
#include "app/WidgetDocument.h"
#include "app/WidgetPanels.h"
#include "editors/WidgetPart.h"
#include "find/FindInWidgetPanel.h"
#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/SavePanel.h"
#include "platform/Settings.h"
#include "platform/ZipArchive.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Text editors of every kind (line edits, text edits, the code editor) answer
// the same argument-less slots, so the Edit menu needs to know none of them.
void sendToFocusedEditor(const char *slot)
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return;
    const QByteArray signature = QByteArray(slot) + "()";
    if (focus->metaObject()->indexOfMethod(signature.constData()) >= 0)
        QMetaObject::invokeMethod(focus, slot);
}

} // namespace

MainMenu::MainMenu(QMainWindow *window)
    : QObject(window)
    , m_window(window)
    , ui(std::make_unique<Ui::MainMenu>())
{
    ui->setupUi(window);
    connectFileMenu();
    connectEditMenu();
    connectWidgetMenu();
}

MainMenu::~MainMenu() = default;

void MainMenu::connectFileMenu()
{
    DocumentController &controller = DocumentController::shared();
    const auto withDocument = [this](bool (Document::*command)()) {
        return [this, command] {
            if (Document *document = DocumentController::shared().documentForWindow(m_window))
                (document->*command)();
        };
    };
    connect(ui->actionNewWidget, &QAction::triggered, &controller, &DocumentController::newDocument);
    connect(ui->actionOpen, &QAction::triggered, this, [this] { DocumentController::shared().openDocument(m_window); });
    connect(ui->menuOpenRecent, &QMenu::aboutToShow, this, &MainMenu::fillRecentMenu);
    connect(ui->actionSave, &QAction::triggered, this, withDocument(&Document::saveDocument));
    connect(ui->actionSaveAs, &QAction::triggered, this, withDocument(&Document::saveDocumentAs));
    connect(ui->actionRevertToSaved, &QAction::triggered, this, withDocument(&Document::revertDocumentToSaved));
    // Enabled while there are edits to drop, as the window's title marks them.
    connect(ui->menuFile, &QMenu::aboutToShow, this, [this] {
        const Document *document = DocumentController::shared().documentForWindow(m_window);
        ui->actionRevertToSaved->setEnabled(document && document->canRevertToSaved());
    });
    // The zip holds the widget as it is on disk: edits are saved first, and
    // an untitled widget is given its place before anything else.
    connect(ui->actionExportAsZip, &QAction::triggered, this, [this] {
        Document *document = DocumentController::shared().documentForWindow(m_window);
        if (!document || !document->saveDocument())
            return;
        const QFileInfo bundle(document->filePath());
        const QString path = SavePanel::run(m_window,
                                            {tr("Export as Zip"), QStringLiteral("zip"), bundle.absolutePath(),
                                             bundle.fileName() + QStringLiteral(".zip")});
        if (!path.isEmpty())
            Alert::report(m_window, tr("“%1” could not be exported.").arg(QFileInfo(path).fileName()),
                          ZipArchive::exportBundle(bundle.filePath(), path));
    });
    connect(ui->actionClose, &QAction::triggered, m_window, &QWidget::close);
    connect(ui->actionQuit, &QAction::triggered, &controller, &DocumentController::closeAllDocuments);
}

// Made afresh each time it opens: another window may have added to the list,
// and a widget moved or deleted since is left out.
void MainMenu::fillRecentMenu()
{
    QMenu *menu = ui->menuOpenRecent;
    menu->clear();
    const QString home = QDir::homePath();
    for (const QString &path : Settings::shared().recentDocuments()) {
        const QFileInfo bundle(path);
        if (!bundle.isDir())
            continue;
        QString folder = QDir::toNativeSeparators(bundle.path());
        if (folder == home || folder.startsWith(home + u'/'))
            folder = u'~' + folder.sliced(home.size());
        QAction *entry = menu->addAction(tr("%1 — %2").arg(bundle.fileName(), folder));
        connect(entry, &QAction::triggered, this, [path] { DocumentController::shared().openDocumentWithPath(path); });
    }
    if (menu->isEmpty())
        menu->addAction(tr("No Recent Widgets"))->setEnabled(false);
    menu->addSeparator();
    QAction *clear = menu->addAction(tr("Clear Menu"), this, [] { Settings::shared().clearRecentDocuments(); });
    clear->setEnabled(!Settings::shared().recentDocuments().isEmpty());
}

void MainMenu::connectEditMenu()
{
    const std::pair<QAction *, const char *> commands[] = {
        {ui->actionUndo, "undo"}, {ui->actionRedo, "redo"},   {ui->actionCut, "cut"},
        {ui->actionCopy, "copy"}, {ui->actionPaste, "paste"}, {ui->actionSelectAll, "selectAll"},
    };
    for (const auto &[action, slot] : commands)
        connect(action, &QAction::triggered, this, [slot] { sendToFocusedEditor(slot); });
    // The desktop's own keys: F3 or Ctrl+G, with Shift for the way back.
    ui->actionFindNext->setShortcuts(QKeySequence::FindNext);
    ui->actionFindPrevious->setShortcuts(QKeySequence::FindPrevious);
    connect(ui->actionFindNext, &QAction::triggered, this, toolbarCommand(&DocumentWindowCommands::findNext));
    connect(ui->actionFindPrevious, &QAction::triggered, this, toolbarCommand(&DocumentWindowCommands::findPrevious));
    connect(ui->actionFindInWidget, &QAction::triggered, this, [this] {
        auto *document = qobject_cast<WidgetDocument *>(DocumentController::shared().documentForWindow(m_window));
        if (document && document->findPanel())
            document->findPanel()->showAndFocus();
    });
    connect(ui->actionPreferences, &QAction::triggered, this, [] { PreferencesWindow::shared().show(); });
}

// A toolbar command of the document this menu's window shows.
std::function<void()> MainMenu::toolbarCommand(const std::function<void(DocumentWindowCommands &)> &command) const
{
    return [this, command] {
        const auto *document = qobject_cast<WidgetDocument *>(DocumentController::shared().documentForWindow(m_window));
        if (document && document->windowCommands())
            command(*document->windowCommands());
    };
}

void MainMenu::setPreviewShowing(bool showing)
{
    ui->actionPreview->setEnabled(!showing);
    ui->actionStopPreview->setEnabled(showing);
}

void MainMenu::connectWidgetMenu()
{
    setPreviewShowing(false);
    connect(ui->actionPreview, &QAction::triggered, this, toolbarCommand(&DocumentWindowCommands::previewWidget));
    connect(ui->actionStopPreview, &QAction::triggered, this,
            toolbarCommand(&DocumentWindowCommands::closeWidgetPreview));
    connect(ui->actionInspectPreview, &QAction::triggered, this,
            toolbarCommand(&DocumentWindowCommands::inspectPreview));
    connect(ui->actionRunLog, &QAction::triggered, this,
            toolbarCommand([](DocumentWindowCommands &commands) { commands.panels()->toggleRunLog(); }));
    connect(ui->actionProblems, &QAction::triggered, this,
            toolbarCommand([](DocumentWindowCommands &commands) { commands.panels()->toggleProblems(); }));
    connect(ui->actionBuildAndRun, &QAction::triggered, this, toolbarCommand(&DocumentWindowCommands::saveRunWidget));
    QMenu *parts = new QMenu(tr("Insert &Part"), ui->menuWidget);
    parts->setObjectName(QStringLiteral("menuInsertPart"));
    ui->menuWidget->insertMenu(ui->actionBuildAndRun, parts);
    for (const WidgetPart &part : WidgetPart::library()) {
        connect(parts->addAction(part.title), &QAction::triggered, this,
                toolbarCommand([&part](DocumentWindowCommands &commands) { commands.insertPart(part); }));
    }
}
