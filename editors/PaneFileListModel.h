// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/EntryIcons.h"

#include <QAbstractTableModel>

#include <functional>

/// The listing of one column of a PaneFileBrowser: the visible entries of
/// one folder, an icon column and the name column. Entries are dragged out
/// as file URLs; files dropped anywhere on the column move into its folder.
/// A column that lists no folder shows no rows and takes no drops.
class PaneFileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { IconColumn = 0, NameColumn = 1, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    /// Reads `folder` from disk again ("" lists nothing). Returns whether the
    /// rows changed; the model is reset only then, so an unchanged listing
    /// keeps its view's selection.
    bool setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    QStringList items() const { return m_items; }
    /// Full path of the entry at `row`; empty for a row that is not listed.
    QString pathAt(int row) const;

    /// Called with the dragged entry's full path as a drag starts.
    void setDragHandler(std::function<void(const QString &)> handler);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    /// Moves the dropped items into the column's folder, skipping any that
    /// cannot move: a name already there, or the folder itself or one of
    /// its ancestors.
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    /// Items were moved by a drop; listings may have changed.
    void itemsDropped();

private:
    QString m_folder;
    QStringList m_items;
    mutable EntryIcons m_icons;
    std::function<void(const QString &)> m_dragHandler;
};
