// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FileListController.h"

#include "ui_AddPanel.h"
#include "ui_RenamePanel.h"

#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "editors/EmptyView.h"
#include "filelist/EntrySheet.h"
#include "filelist/FolderWatcher.h"
#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"
#include "platform/OpenPanel.h"
#include "platform/Workspace.h"

#include <QDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QTableView>

namespace {

constexpr int DelayedSetUpMilliseconds = 500;
constexpr int IconColumnWidth = 28;
constexpr int RowHeight = 24;

} // namespace

FileListController::FileListController(QMainWindow *mainWindow, QTableView *fileList, ContentArea *contentView)
    : EntryListModel(mainWindow)
    , m_mainWindow(mainWindow)
    , m_fileList(fileList)
    , m_contentView(contentView)
    , m_addUi(std::make_unique<Ui::AddPanel>())
    , m_renameUi(std::make_unique<Ui::RenamePanel>())
    , m_addPanel(new EntrySheet(mainWindow, [this](QDialog *sheet) { m_addUi->setupUi(sheet); }))
    , m_renamePanel(new EntrySheet(mainWindow, [this](QDialog *sheet) { m_renameUi->setupUi(sheet); }))
    , m_watcher(new FolderWatcher(this))
{
    connect(m_watcher, &FolderWatcher::changed, this, &FileListController::reloadData);
    connect(this, &EntryListModel::itemsDropped, this, &FileListController::reloadData);
}

FileListController::~FileListController() = default;

void FileListController::setUp()
{
    m_fileList->setModel(this);
    m_fileList->horizontalHeader()->setSectionResizeMode(IconColumn, QHeaderView::Fixed);
    m_fileList->horizontalHeader()->resizeSection(IconColumn, IconColumnWidth);
    m_fileList->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_fileList->verticalHeader()->setDefaultSectionSize(RowHeight);
    connect(m_fileList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListController::tableViewSelectionDidChange);
    connect(m_fileList, &QAbstractItemView::clicked, this, &FileListController::tableViewClicked);
    // File URLs dropped on the list are moved into the bundle; entries can
    // be dragged out. Rows take no drops, so a drop lands between rows.
    m_fileList->setDragDropMode(QAbstractItemView::DragDrop);
    m_fileList->setDefaultDropAction(Qt::MoveAction);
    m_fileList->setDragDropOverwriteMode(false);
    setDragHandler(
        [this](const QString &path) { return m_contentView->saveAndCloseInside(path.mid(bundlePath().size() + 1)); });
    setUpSheets();
    setUpContextMenu();
    m_contentView->add(new EmptyView);
    // The window shows its files from its first paint; the delayed set-up
    // reads them again, keeping the selection, before it may begin the wizard.
    reloadData();
    QTimer::singleShot(DelayedSetUpMilliseconds, this, &FileListController::delayedSetUp);
}

void FileListController::delayedSetUp()
{
    reloadData();
    if (bundlePath().isEmpty() && m_templateView)
        m_templateView->open();
}

void FileListController::setTemplateView(QDialog *wizard)
{
    m_templateView = wizard;
}

void FileListController::setSearchField(QLineEdit *field)
{
    m_searchField = field;
}

QString FileListController::searchText() const
{
    return m_searchField ? m_searchField->text() : QString();
}

QString FileListController::bundlePath() const
{
    const Document *document = DocumentController::shared().documentForWindow(m_mainWindow);
    return document ? document->filePath() : QString();
}

// ---- the row list ----------------------------------------------------------

// A view adds the row of the top-level entry it lies in when its text
// holds the search text; an entry no longer on disk adds none.
QStringList FileListController::searchFilteredDirectoryContentsAtPath(const QString &path)
{
    const QString text = searchText();
    const QStringList all = visibleDirectoryContentsAtPath(path);
    QStringList names = all;
    names.removeIf([&text](const QString &name) { return !name.contains(text, Qt::CaseInsensitive); });
    const QSet<QString> onDisk(all.cbegin(), all.cend());
    QSet<QString> shown(names.cbegin(), names.cend());
    for (ContentView *view : contentViews()) {
        const QString component = view->viewIdentifier().section(u'/', 0, 0);
        if (onDisk.contains(component) && !shown.contains(component) && view->searchString(text)) {
            names.append(component);
            shown.insert(component);
        }
    }
    return names;
}

QStringList FileListController::listing(const QString &folder)
{
    return searchText().isEmpty() ? visibleEntries(folder) : searchFilteredDirectoryContentsAtPath(folder);
}

void FileListController::reloadData()
{
    const QString selected = selectedName();
    m_reloading = true;
    // Icons may have changed with the entries' kinds: the model starts afresh.
    setFolder(bundlePath(), true);
    selectRowNamed(selected);
    m_reloading = false;
    m_watcher->watch(bundlePath());
}

QString FileListController::selectedName() const
{
    if (!m_fileList || !m_fileList->selectionModel())
        return {};
    const QModelIndexList rows = m_fileList->selectionModel()->selectedRows(NameColumn);
    return rows.isEmpty() ? QString() : items().value(rows.first().row());
}

void FileListController::selectRowNamed(const QString &name)
{
    const qsizetype row = name.isEmpty() ? -1 : items().indexOf(name);
    if (row >= 0 && m_fileList)
        m_fileList->selectRow(int(row));
}

// ---- content switching -----------------------------------------------------

int FileListController::fileTypeForPath(const QString &path)
{
    return ContentView::fileKindForPath(path, true);
}

void FileListController::tableViewSelectionDidChange()
{
    if (m_reloading)
        return;
    const QString name = selectedName();
    if (name.isEmpty())
        showOnlyEmptyView();
    else
        openFileAtPath(bundlePath() + u'/' + name);
}

// A drag out, Open With or a file opened from a folder's view leaves the
// area without the selected entry's view; a click on its row brings it back.
void FileListController::tableViewClicked()
{
    const QString name = selectedName();
    if (!name.isEmpty() && m_contentView->currentWidget() != m_contentView->viewFor(name))
        openFileAtPath(bundlePath() + u'/' + name);
}

void FileListController::showOnlyEmptyView()
{
    m_contentView->showEmpty();
}

void FileListController::openFileAtPath(const QString &path)
{
    m_contentView->open(path.mid(bundlePath().size() + 1), fileTypeForPath(path));
}

// ---- file operations -------------------------------------------------------

QDialog *FileListController::addPanel() const
{
    return m_addPanel;
}

QDialog *FileListController::renamePanel() const
{
    return m_renamePanel;
}

void FileListController::setUpSheets()
{
    connect(m_addPanel, &EntrySheet::okClicked, this, &FileListController::addPanelOK);
    connect(m_addPanel, &EntrySheet::cancelled, this, &FileListController::addPanelCancel);
    connect(m_addUi->browseButton, &QPushButton::clicked, this, &FileListController::addPanelBrowse);
    connect(m_renamePanel, &EntrySheet::okClicked, this, &FileListController::renamePanelOK);
    connect(m_renamePanel, &EntrySheet::cancelled, this, &FileListController::renamePanelCancel);
}

void FileListController::setUpContextMenu()
{
    const std::pair<QString, void (FileListController::*)()> commands[] = {
        {tr("Add…"), &FileListController::addFile},
        {tr("Rename…"), &FileListController::renameFile},
        {tr("Open With…"), &FileListController::openFileWith},
        {tr("Remove"), &FileListController::removeFile},
    };
    m_fileList->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto &[title, command] : commands)
        connect(new QAction(title, m_fileList), &QAction::triggered, this, command);
    for (QAction *action : m_fileList->findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly))
        m_fileList->addAction(action);
    auto *remove = new QShortcut(QKeySequence::Delete, m_fileList, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &FileListController::removeFile);
    auto *rename = new QShortcut(QKeySequence(Qt::Key_F2), m_fileList, nullptr, nullptr, Qt::WidgetShortcut);
    connect(rename, &QShortcut::activated, this, &FileListController::renameFile);
}

std::optional<QString> FileListController::newEntryPath(const QString &name, EntrySheet *sheet, const QString &allowed)
{
    const std::optional<QString> path = FileManager::pathInside(bundlePath(), name);
    const QString entry = path ? QFileInfo(*path).fileName() : QString();
    QString problem;
    if (!path)
        problem = tr("“%1” would lie outside the widget. Choose a name inside it.").arg(name);
    else if (entry.trimmed().isEmpty())
        problem = tr("A name of spaces alone would show as a blank row. Choose another name.");
    // The list, like the file managers, leaves such entries out.
    else if (entry.startsWith(u'.'))
        problem = tr("“%1” begins with a dot, which would hide it from the list. Choose another name.").arg(entry);
    else if (name != allowed && FileManager::isOccupied(*path))
        problem = tr("“%1” already exists in the widget. Choose another name.").arg(name);
    sheet->showProblem(problem);
    return problem.isEmpty() ? path : std::nullopt;
}

void FileListController::addFile()
{
    if (!bundlePath().isEmpty())
        m_addPanel->ask();
}

void FileListController::addPanelOK()
{
    const QString name = m_addPanel->name();
    if (name.isEmpty())
        return;
    const std::optional<QString> path = newEntryPath(name, m_addPanel);
    if (!path)
        return;
    const Outcome made =
        m_addUi->folderCheckbox->isChecked() ? FileManager::createDirectory(*path) : FileManager::createFile(*path);
    reloadData();
    if (!made) {
        report(tr("“%1” could not be added.").arg(name), made);
        return;
    }
    m_addPanel->finish();
}

void FileListController::addPanelCancel()
{
    m_addPanel->finish();
}

void FileListController::addPanelBrowse()
{
    m_addPanel->finish();
    const QStringList chosen = OpenPanel::run(m_mainWindow, {tr("Copy Into the Widget"), {}, {}, false, true, {}});
    if (chosen.isEmpty())
        return;
    // Never over an entry of the same name.
    const QString name = QFileInfo(chosen.first()).fileName();
    const Outcome copied = FileManager::copyItem(chosen.first(), bundlePath() + u'/' + name);
    reloadData();
    report(tr("“%1” could not be copied into the widget.").arg(name), copied);
}

void FileListController::removeFile()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    const QList<ContentView *> views = m_contentView->viewsInside(name);
    QStringList edited;
    for (const ContentView *view : views) {
        if (view->isEdited())
            edited.append(view->viewIdentifier());
    }
    Alert::Request question{tr("Delete"),
                            tr("Are you sure you would like remove the file %1 permanently?").arg(name),
                            tr("Yes"),
                            tr("No"),
                            {}};
    if (!edited.isEmpty()) {
        question.message += u' ' + tr("Your unsaved edits to %1 will be lost.").arg(edited.join(QStringLiteral(", ")));
        question.icon = Alert::Icon::Warning;
    }
    if (Alert::run(m_mainWindow, question) != Alert::DefaultButton)
        return;
    const Outcome removed = FileManager::removeItem(bundlePath() + u'/' + name);
    // Editors go with their files; those whose files stayed keep them.
    for (ContentView *view : views) {
        if (!FileManager::exists(bundlePath() + u'/' + view->viewIdentifier()))
            m_contentView->close(view);
    }
    reloadData();
    report(tr("“%1” could not be removed.").arg(name), removed);
}

void FileListController::renameFile()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    m_renamePanel->ask(name);
}

void FileListController::renamePanelOK()
{
    const QString name = m_renamePanel->name();
    const QString old = selectedName();
    if (name.isEmpty() || old.isEmpty())
        return;
    const std::optional<QString> path = newEntryPath(name, m_renamePanel, old);
    if (!path)
        return;
    // The entry's own edits are written under the old name first; a rename
    // whose save failed does not happen, and the edits stay.
    if (ContentView *view = contentViewWithIdentifier(old)) {
        const Outcome saved = view->save();
        if (!saved) {
            report(tr("“%1” could not be saved before renaming it.").arg(old), saved);
            return;
        }
    }
    if (name != old) {
        // The editors of the entry and of all inside it follow it, edits and all.
        const Outcome moved = FileManager::moveItem(bundlePath() + u'/' + old, *path);
        if (!moved) {
            report(tr("“%1” could not be renamed.").arg(old), moved);
            return;
        }
        m_contentView->repoint(old, name);
        reloadData();
        selectRowNamed(name);
    }
    m_renamePanel->finish();
}

void FileListController::renamePanelCancel()
{
    m_renamePanel->finish();
}

void FileListController::openFileWith()
{
    const QStringList application = OpenPanel::run(m_mainWindow,
                                                   {tr("Choose an Application"),
                                                    tr("Applications"),
                                                    {QStringLiteral("desktop")},
                                                    false,
                                                    false,
                                                    QStringLiteral("/usr/share/applications")});
    const QString name = selectedName();
    if (application.isEmpty() || name.isEmpty())
        return;
    // The other application reads the file as the editor last wrote it.
    if (saveAndCloseContentView(name, tr("“%1” could not be saved before opening it.").arg(name)))
        report(tr("“%1” could not be opened.").arg(name),
               Workspace::openFile(bundlePath() + u'/' + name, application.first()));
}

bool FileListController::saveAndCloseContentView(const QString &identifier, const QString &title)
{
    const Outcome saved = m_contentView->saveAndCloseInside(identifier);
    report(title, saved);
    return saved.succeeded();
}

// Files inside the widget are named as the list names them, "Images/a.png".
void FileListController::report(const QString &title, const Outcome &outcome) const
{
    const QString inside = bundlePath() + u'/';
    Alert::report(m_mainWindow, title,
                  outcome.file().startsWith(inside) ? outcome.naming(outcome.file().mid(inside.size())) : outcome);
}

bool FileListController::contentViewExistsWithIdentifier(const QString &identifier) const
{
    return contentViewWithIdentifier(identifier) != nullptr;
}

ContentView *FileListController::contentViewWithIdentifier(const QString &identifier) const
{
    return m_contentView ? m_contentView->viewFor(identifier) : nullptr;
}

QList<ContentView *> FileListController::contentViews() const
{
    return m_contentView ? m_contentView->views() : QList<ContentView *>();
}
