// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

/// The installed templates as the wizard's table shows them: an icon column
/// and the name column. The folder is read (and on first use filled with the
/// shipped templates) once per refresh.
class TemplateList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { IconColumn = 0, NameColumn = 1, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    /// Reads the templates folder again.
    void refresh();
    /// The template's name at the row, without its extension; empty beyond the end.
    QString nameAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QStringList m_entries;
};
