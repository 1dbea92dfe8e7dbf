// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/WidgetDocument.h"

#include "ui_WidgetDocument.h"

#include "app/DocumentWindowCommands.h"
#include "app/MainMenu.h"
#include "app/WidgetPanels.h"
#include "chrome/CenteredTextDelegate.h"
#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "filelist/EntryOperations.h"
#include "filelist/FileListController.h"
#include "find/FindInWidgetPanel.h"
#include "platform/Alert.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/ProgressPanel.h"
#include "templates/TemplateFolder.h"
#include "templates/TemplateWizardPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>

#include <algorithm>

namespace {
// The file list's share of a new window; the content area takes the rest.
constexpr int InitialFileListWidth = 220;

QString cleanAbsolute(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

WidgetDocument::WidgetDocument()
    : ui(std::make_unique<Ui::WidgetDocument>())
{ }

WidgetDocument::~WidgetDocument() = default;

QMainWindow *WidgetDocument::makeWindow()
{
    auto *window = new QMainWindow;
    ui->setupUi(window);
    auto *menu = new MainMenu(window);
    ui->fileList->setItemDelegate(new CenteredTextDelegate(ui->fileList));
    m_fileList = new FileListController(window, ui->fileList, ui->contentView);
    connect(ui->addButton, &QToolButton::clicked, m_fileList->operations(), &EntryOperations::addFile);
    connect(ui->removeButton, &QToolButton::clicked, m_fileList->operations(), &EntryOperations::removeFile);
    connect(ui->renameButton, &QToolButton::clicked, m_fileList->operations(), &EntryOperations::renameFile);
    connect(ui->openWithButton, &QToolButton::clicked, m_fileList->operations(), &EntryOperations::openFileWith);
    m_windowCommands = new DocumentWindowCommands(window, m_fileList);
    connect(m_windowCommands, &DocumentWindowCommands::previewShowingChanged, menu, &MainMenu::setPreviewShowing);
    m_fileList->setSearchField(m_windowCommands->searchView());
    m_templatePanel = new TemplateWizardPanel(window, [fileList = QPointer(m_fileList)] {
        if (fileList)
            fileList->reloadData();
    });
    m_fileList->setTemplateView(m_templatePanel);
    return window;
}

FindInWidgetPanel *WidgetDocument::findPanel()
{
    if (!m_findPanel && window())
        m_findPanel = new FindInWidgetPanel(window(), m_fileList);
    return m_findPanel;
}

void WidgetDocument::windowControllerDidLoadNib()
{
    // The window is as light (or as dark) as the lists and editors in it.
    QPalette palette = window()->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    window()->setPalette(palette);
    window()->setAutoFillBackground(true);
    ui->splitView->setSizes({InitialFileListWidth, window()->width() - InitialFileListWidth});
    m_fileList->setUp();
    m_windowCommands->installToolbar();
    if (fileURL().isLocalFile())
        m_windowCommands->panels()->check(fileURL().toLocalFile());
}

QString WidgetDocument::requiredFileExtension() const
{
    return QStringLiteral("wdgt");
}

ContentArea *WidgetDocument::contentView() const
{
    return window() ? ui->contentView : nullptr;
}

bool WidgetDocument::readFromURL(const QUrl &url)
{
    const QString path = url.toLocalFile();
    const QString extension = QFileInfo(path).suffix().toLower();
    // A bundle is a folder; a plain file would open as an empty widget and
    // could then be installed as one.
    if (FileManager::exists(path) && !FileManager::isDirectory(path)) {
        Alert::report(nullptr, tr("“%1” could not be opened.").arg(QFileInfo(path).fileName()),
                      Outcome::failure(path, tr("It is a file, not a widget bundle folder")));
        return false;
    }
    if (FileManager::isDirectory(path))
        FileManager::removeLeftovers(path);
    if (!FileManager::exists(path) || extension != u"wdtp")
        return true;
    const Alert::Request question{
        tr("Edit or Install"), tr("Would you like to edit or install this template?"), tr("Install"), tr("Edit"), {}};
    if (Alert::run(nullptr, question) == Alert::AlternateButton)
        return true;
    return installTemplate(path);
}

bool WidgetDocument::installTemplate(const QString &path)
{
    TemplateFolder::prepare();
    // Never replaces an installed template of the same name: the move fails
    // and the template stays where it was.
    const QString name = QFileInfo(path).fileName();
    Alert::report(nullptr, tr("The template “%1” could not be installed.").arg(name),
                  FileManager::moveItem(path, TemplateFolder::templatesPath() + u'/' + name));
    DocumentController::shared().newDocument();
    // The template itself is not shown: the opening document goes away.
    return false;
}

// A view that could not write its edits keeps them, and the save must not
// pass for done, or closing would throw them away.
Outcome WidgetDocument::writeToURL(const QUrl &destination, const QUrl &original)
{
    const QString target = cleanAbsolute(destination.toLocalFile());
    const QString source = cleanAbsolute(original.toLocalFile());
    if (target != source) {
        // Views waiting for the user's answer to another program's change
        // stay waiting at the new place; the others hold what is copied.
        const QList<ContentView *> current =
            ui->contentView ? ui->contentView->viewsCurrentWithDisk() : QList<ContentView *>();
        const Outcome placed = placeCopyAt(target, source);
        if (!placed)
            return placed;
        Alert::report(window(), QString(), placed); // the entries the copy left out, if any
        // The content views write under the document's location: moving it
        // first puts the unsaved edits into the new copy, not the old bundle.
        // Once the copy is whole the document goes with it, so that edits
        // written there are never left behind.
        setFileURL(QUrl::fromLocalFile(target));
        if (ui->contentView)
            ui->contentView->rememberFilesOnDisk(current);
    }
    const Outcome written = ui->contentView ? ui->contentView->saveAll() : Outcome();
    // A preview that shows, and the Problems panel, follow what was just saved.
    if (m_windowCommands) {
        m_windowCommands->reloadPreview(target);
        m_windowCommands->panels()->check(target);
    }
    return written;
}

// A bundle another program moved or removed is not an untitled one: a copy
// made of nothing would pass for the widget and take the document along.
Outcome WidgetDocument::placeCopyAt(const QString &destination, const QString &original)
{
    if (!original.isEmpty() && !FileManager::isDirectory(original))
        return Outcome::failure(original, tr("The widget is no longer there; another program moved or removed it"));
    if (!original.isEmpty()) {
        ProgressPanel progress(window(), tr("Saving a copy of the widget…"));
        return FileManager::copyItemReplacing(original, destination, [&progress] { progress.step(); });
    }
    // Nothing on disk yet: the new location becomes an empty bundle.
    const QTemporaryDir empty;
    if (!empty.isValid())
        return Outcome::failure(empty.path(), empty.errorString());
    return FileManager::copyItemReplacing(empty.path(), destination);
}

void WidgetDocument::revertToSaved()
{
    if (ContentArea *area = contentView())
        area->revertAll();
}

bool WidgetDocument::isDocumentEdited() const
{
    if (!window())
        return false;
    const QList<ContentView *> views = ui->contentView->views();
    return std::any_of(views.begin(), views.end(), [](const ContentView *view) { return view->isEdited(); });
}
