// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FileListController.h"

#include "editors/ContentArea.h"
#include "editors/ContentView.h"
#include "editors/EmptyView.h"
#include "filelist/EntryOperations.h"
#include "filelist/FolderWatcher.h"
#include "platform/Alert.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"

#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
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
    , m_operations(new EntryOperations(mainWindow, this, contentView))
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
    m_operations->attachTo(m_fileList);
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

void FileListController::tableViewSelectionDidChange()
{
    if (m_reloading)
        return;
    const QString name = selectedName();
    if (name.isEmpty())
        m_contentView->showEmpty();
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

void FileListController::openFileAtPath(const QString &path)
{
    m_contentView->open(path.mid(bundlePath().size() + 1), ContentView::fileKindForPath(path, true));
}

// Files inside the widget are named as the list names them, "Images/a.png".
void FileListController::report(const QString &title, const Outcome &outcome) const
{
    const QString inside = bundlePath() + u'/';
    Alert::report(m_mainWindow, title,
                  outcome.file().startsWith(inside) ? outcome.naming(outcome.file().mid(inside.size())) : outcome);
}

ContentView *FileListController::contentViewWithIdentifier(const QString &identifier) const
{
    return m_contentView ? m_contentView->viewFor(identifier) : nullptr;
}

QList<ContentView *> FileListController::contentViews() const
{
    return m_contentView ? m_contentView->views() : QList<ContentView *>();
}

ContentView *FileListController::shownView() const
{
    return m_contentView ? qobject_cast<ContentView *>(m_contentView->currentWidget()) : nullptr;
}
