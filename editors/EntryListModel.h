// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/EntryIcons.h"
#include "platform/Outcome.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>

/// The listing of one folder as a table: its visible entries (names not
/// starting with "."), an icon column and the name column. Entries are
/// dragged out as file URLs; files dropped anywhere on the list move into
/// its folder. A list that shows no folder has no rows and takes no drops.
/// The bundle's file list and every column of the folder browser are one.
class EntryListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { IconColumn = 0, NameColumn = 1, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    /// The folder's entry names as file managers order them (case ignored,
    /// accents too, numbers by value: "file2" before "file10"), without the
    /// hidden ones; empty when it is empty or unreadable.
    static QStringList visibleDirectoryContentsAtPath(const QString &path);

    /// Reads `folder` from disk again ("" lists nothing). Returns whether the
    /// rows changed; the model is reset only then (or when `force`d), so an
    /// unchanged listing keeps its view's selection.
    bool setFolder(const QString &folder, bool force = false);
    QString folder() const { return m_folder; }
    QStringList items() const { return m_items; }
    /// Full path of the entry at `row`; empty for a row that is not listed.
    QString pathAt(int row) const;
    /// The widget folder the listing belongs to; by default the listed
    /// folder itself. Links leading outside it show a badge and say where
    /// they lead, and a folder outside it takes no drops.
    void setBoundary(const QString &folder) { m_boundary = folder; }

    /// Called with the dragged entry's full path as a drag starts; a drag
    /// whose handler fails does not start, and the failure is reported.
    void setDragHandler(std::function<Outcome(const QString &)> handler);

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
    /// Moves the dropped items into the list's folder, skipping any that
    /// cannot move (a name already there, the folder itself or one of its
    /// ancestors) and saying why. Accepted only when something moved, so
    /// that a source whose item stayed keeps it.
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    /// Items were moved by a drop; listings may have changed.
    void itemsDropped();

protected:
    /// The rows to show for `folder`; by default its visible entries.
    virtual QStringList listing(const QString &folder);
    /// What visibleDirectoryContentsAtPath gives for `folder`.
    QStringList visibleEntries(const QString &folder);
    /// Shows a failed drag or drop to the user, over the active window.
    virtual void report(const QString &title, const Outcome &outcome) const;

private:
    QString boundary() const { return m_boundary.isEmpty() ? m_folder : m_boundary; }
    static QStringList visibleNamesAsListed(const QString &path);

    QString m_folder;
    QString m_boundary;
    QStringList m_items;
    // The last folder sorted, its names as the system listed them, sorted.
    QString m_sortedFolder;
    QStringList m_namesAsListed;
    QStringList m_namesSorted;
    /// Whether an entry is a link leading outside the boundary, found when
    /// first asked after each reading.
    bool leadsOutside(const QString &name) const;
    mutable QHash<QString, bool> m_outsideLinks;
    mutable EntryIcons m_icons;
    std::function<Outcome(const QString &)> m_dragHandler;
};
