// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/PaneFileListModel.h"

#include "editors/PaneFileBrowser.h"
#include "platform/FileManager.h"

#include <QMimeData>
#include <QUrl>

bool PaneFileListModel::setFolder(const QString &folder)
{
    const QStringList items = folder.isEmpty() ? QStringList()
                                               : PaneFileBrowser::visibleDirectoryContentsAtPath(folder);
    if (folder == m_folder && items == m_items)
        return false;
    beginResetModel();
    m_folder = folder;
    m_items = items;
    m_icons.clear();
    endResetModel();
    return true;
}

QString PaneFileListModel::pathAt(int row) const
{
    return row >= 0 && row < m_items.size() ? m_folder + u'/' + m_items.at(row) : QString();
}

void PaneFileListModel::setDragHandler(std::function<void(const QString &)> handler)
{
    m_dragHandler = std::move(handler);
}

int PaneFileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int PaneFileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PaneFileListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    return m_icons.cell(m_items.at(index.row()), pathAt(index.row()), index.column() == NameColumn, role);
}

Qt::ItemFlags PaneFileListModel::flags(const QModelIndex &index) const
{
    // Rows take no drops themselves: whatever row a drop is aimed at, it
    // lands in the folder the column lists.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList PaneFileListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

Qt::DropActions PaneFileListModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions PaneFileListModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

QMimeData *PaneFileListModel::mimeData(const QModelIndexList &indexes) const
{
    // Only one entry is dragged, however many rows are selected.
    const QString path = indexes.isEmpty() ? QString() : pathAt(indexes.first().row());
    if (path.isEmpty())
        return nullptr;
    if (m_dragHandler)
        m_dragHandler(path);
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

bool PaneFileListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                        const QModelIndex &) const
{
    return data && data->hasUrls() && !m_folder.isEmpty();
}

bool PaneFileListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                     const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    FileManager::moveItemsInto(data->urls(), m_folder);
    emit itemsDropped();
    return true;
}
