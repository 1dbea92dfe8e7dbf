// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/EntryListModel.h"

#include "platform/Alert.h"
#include "platform/FileManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

QStringList EntryListModel::visibleDirectoryContentsAtPath(const QString &path)
{
    QStringList names = FileManager::contentsOfDirectory(path);
    names.removeIf([](const QString &name) { return name.startsWith(u'.'); });
    return names;
}

QStringList EntryListModel::listing(const QString &folder)
{
    return visibleDirectoryContentsAtPath(folder);
}

bool EntryListModel::setFolder(const QString &folder, bool force)
{
    const QStringList items = folder.isEmpty() ? QStringList() : listing(folder);
    if (folder == m_folder && items == m_items && !force)
        return false;
    beginResetModel();
    m_folder = folder;
    m_items = items;
    m_outsideLinks.clear();
    m_icons.clear();
    endResetModel();
    return true;
}

// Asked when a row is first drawn, not for every entry at each reading: a
// refresh of a large folder then costs little more than the reading.
bool EntryListModel::leadsOutside(const QString &name) const
{
    auto known = m_outsideLinks.constFind(name);
    if (known == m_outsideLinks.cend()) {
        const QString path = m_folder + u'/' + name;
        known = m_outsideLinks.insert(name, QFileInfo(path).isSymLink() && FileManager::leadsOutside(boundary(), path));
    }
    return *known;
}

QString EntryListModel::pathAt(int row) const
{
    return row >= 0 && row < m_items.size() ? m_folder + u'/' + m_items.at(row) : QString();
}

void EntryListModel::setDragHandler(std::function<Outcome(const QString &)> handler)
{
    m_dragHandler = std::move(handler);
}

int EntryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

int EntryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QString &name = m_items.at(index.row());
    const bool outside = leadsOutside(name);
    if (outside && role == Qt::ToolTipRole)
        return tr("%1 leads outside the widget, to %2").arg(name, QFileInfo(pathAt(index.row())).symLinkTarget());
    return m_icons.cell(name, pathAt(index.row()), index.column() == NameColumn, role, outside);
}

Qt::ItemFlags EntryListModel::flags(const QModelIndex &index) const
{
    // Rows take no drops themselves: whatever row a drop is aimed at, it
    // lands in the folder the list shows.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList EntryListModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

Qt::DropActions EntryListModel::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions EntryListModel::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

QMimeData *EntryListModel::mimeData(const QModelIndexList &indexes) const
{
    // Only one entry is dragged, however many rows are selected.
    const QString path = indexes.isEmpty() ? QString() : pathAt(indexes.first().row());
    if (path.isEmpty())
        return nullptr;
    // The entry travels as it is on disk: its edits go first, or it stays.
    if (m_dragHandler) {
        const Outcome saved = m_dragHandler(path);
        if (!saved) {
            report(tr("The file could not be saved before dragging it."), saved);
            return nullptr;
        }
    }
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

bool EntryListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &) const
{
    return data && data->hasUrls() && !m_folder.isEmpty() && !FileManager::leadsOutside(boundary(), m_folder);
}

bool EntryListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                  const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    int moved = 0;
    const Outcome outcome = FileManager::moveItemsInto(data->urls(), m_folder, &moved);
    report(tr("Some items could not be moved into the widget."), outcome);
    emit itemsDropped();
    return moved > 0;
}

void EntryListModel::report(const QString &title, const Outcome &outcome) const
{
    Alert::report(QApplication::activeWindow(), title, outcome);
}
