// SPDX-License-Identifier: GPL-2.0-or-later
#include "filelist/FileListController.h"

#include "editors/MyEmptyView.h"
#include "editors/MyImageFileView.h"
#include "editors/MyInfoPlistView.h"
#include "editors/MyTextFileView.h"
#include "platform/Document.h"
#include "platform/DocumentController.h"
#include "platform/FileManager.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QDialog>
#include <QHeaderView>
#include <QImageReader>
#include <QLineEdit>
#include <QMainWindow>
#include <QTableView>

namespace {

constexpr int DelayedSetUpMilliseconds = 500;
// Changes on disk often come in bursts (a copy, a save); one refresh serves them.
constexpr int ReloadOnChangeMilliseconds = 100;
constexpr int IconColumnWidth = 28;
constexpr int RowHeight = 24;

bool isImageExtension(const QString &extension)
{
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    return formats.contains(extension.toLatin1());
}

} // namespace

FileListController::FileListController(QMainWindow *mainWindow, QTableView *fileList,
                                       QWidget *contentView)
    : QAbstractTableModel(mainWindow)
    , m_mainWindow(mainWindow)
    , m_fileList(fileList)
    , m_contentView(contentView)
{
    m_reloadOnChange.setSingleShot(true);
    m_reloadOnChange.setInterval(ReloadOnChangeMilliseconds);
    connect(&m_reloadOnChange, &QTimer::timeout, this, &FileListController::reloadData);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_reloadOnChange,
            qOverload<>(&QTimer::start));
}

void FileListController::awakeFromNib()
{
    m_fileList->setModel(this);
    m_fileList->horizontalHeader()->setSectionResizeMode(IconColumn, QHeaderView::Fixed);
    m_fileList->horizontalHeader()->resizeSection(IconColumn, IconColumnWidth);
    m_fileList->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_fileList->verticalHeader()->setDefaultSectionSize(RowHeight);
    connect(m_fileList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListController::tableViewSelectionDidChange);
    // File URLs dropped on the list are moved into the bundle.
    m_fileList->setAcceptDrops(true);
    m_fileList->setDragEnabled(true);
    addToContentArea(new MyEmptyView);
    QTimer::singleShot(DelayedSetUpMilliseconds, this, &FileListController::delayedAwakeFromNib);
}

void FileListController::delayedAwakeFromNib()
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

QStringList FileListController::visibleDirectoryContentsAtPath(const QString &path)
{
    QStringList names = FileManager::contentsOfDirectory(path);
    names.removeIf([](const QString &name) { return name.startsWith(u'.'); });
    return names;
}

QStringList FileListController::searchFilteredDirectoryContentsAtPath(const QString &path)
{
    const QString text = searchText();
    QStringList names = visibleDirectoryContentsAtPath(path);
    names.removeIf([&text](const QString &name) {
        return !name.toLower().contains(text.toLower());
    });
    for (ContentView *view : contentViews()) {
        if (!view->searchString(text))
            continue;
        const QString component = view->viewIdentifier().section(u'/', 0, 0);
        if (!names.contains(component))
            names.append(component);
    }
    return names;
}

QStringList FileListController::computeRowList()
{
    const QString bundle = bundlePath();
    if (bundle.isEmpty())
        return {};
    return searchText().isEmpty() ? visibleDirectoryContentsAtPath(bundle)
                                  : searchFilteredDirectoryContentsAtPath(bundle);
}

void FileListController::reloadData()
{
    const QString selected = selectedName();
    m_reloading = true;
    beginResetModel();
    m_rows = computeRowList();
    m_icons.clear();
    endResetModel();
    selectRowNamed(selected);
    m_reloading = false;
    watchBundle();
}

void FileListController::watchBundle()
{
    const QString bundle = bundlePath();
    const QStringList watched = m_watcher.directories();
    if (watched == QStringList{bundle})
        return;
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    if (FileManager::isDirectory(bundle))
        m_watcher.addPath(bundle);
}

QString FileListController::selectedName() const
{
    if (!m_fileList || !m_fileList->selectionModel())
        return {};
    const QModelIndexList rows = m_fileList->selectionModel()->selectedRows(NameColumn);
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

void FileListController::selectRowNamed(const QString &name)
{
    const qsizetype row = name.isEmpty() ? -1 : m_rows.indexOf(name);
    if (row >= 0 && m_fileList)
        m_fileList->selectRow(int(row));
}

// ---- the table model -------------------------------------------------------

int FileListController::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FileListController::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListController::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString &name = m_rows.at(index.row());
    if (index.column() == NameColumn)
        return role == Qt::DisplayRole || role == Qt::ToolTipRole ? QVariant(name) : QVariant();
    if (role != Qt::DecorationRole)
        return {};
    auto icon = m_icons.constFind(name);
    if (icon == m_icons.cend()) {
        static const QFileIconProvider provider;
        icon = m_icons.insert(name, provider.icon(QFileInfo(bundlePath() + u'/' + name)));
    }
    return *icon;
}

Qt::ItemFlags FileListController::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled
        | Qt::ItemNeverHasChildren;
}

QStringList FileListController::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

// ---- content switching -----------------------------------------------------

int FileListController::fileTypeForPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return FolderKind;
    if (info.fileName().compare(u"info.plist", Qt::CaseInsensitive) == 0)
        return InfoPlistKind;
    if (info.suffix().isEmpty())
        return TextKind;
    return isImageExtension(info.suffix()) ? ImageKind : TextKind;
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

void FileListController::showOnlyEmptyView()
{
    for (ContentView *view : contentViews())
        view->setHidden(!view->viewIdentifier().isEmpty());
}

void FileListController::openFileAtPath(const QString &path)
{
    const QList<ContentView *> views = contentViews();
    const QString identifier = path.mid(bundlePath().size() + 1);
    const int kind = fileTypeForPath(path);
    bool found = false;
    for (ContentView *view : views) {
        const bool match = view->viewIdentifier() == identifier;
        view->setHidden(!match);
        if (match && kind == FolderKind)
            view->openTheFile();
        found = found || match;
    }
    if (found)
        return;
    ContentView *view = makeContentView(kind);
    if (!view) {
        showOnlyEmptyView();
        return;
    }
    view->setViewIdentifier(identifier);
    addToContentArea(view);
    view->openTheFile();
}

// The one place that chooses a view's form by the entry's kind. The folder
// view plugs in here; until then a folder shows the empty view.
ContentView *FileListController::makeContentView(int kind)
{
    switch (kind) {
    case FolderKind:
        return nullptr;
    case ImageKind:
        return new MyImageFileView;
    case InfoPlistKind:
        return new MyInfoPlistView;
    case TextKind:
    default:
        return new MyTextFileView;
    }
}

void FileListController::addToContentArea(ContentView *view)
{
    auto *layout = qobject_cast<QGridLayout *>(m_contentView->layout());
    Q_ASSERT(layout);
    // Every view takes the same cell: the shown one fills the area.
    layout->addWidget(view, 0, 0);
    view->show();
}

bool FileListController::contentViewExistsWithIdentifier(const QString &identifier) const
{
    return contentViewWithIdentifier(identifier) != nullptr;
}

ContentView *FileListController::contentViewWithIdentifier(const QString &identifier) const
{
    const QList<ContentView *> views = contentViews();
    for (auto it = views.crbegin(); it != views.crend(); ++it) {
        if ((*it)->viewIdentifier() == identifier)
            return *it;
    }
    return nullptr;
}

QList<ContentView *> FileListController::contentViews() const
{
    return m_contentView ? m_contentView->findChildren<ContentView *>(Qt::FindDirectChildrenOnly)
                         : QList<ContentView *>();
}
