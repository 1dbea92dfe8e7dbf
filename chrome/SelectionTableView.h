// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QTableView>

/// A table that paints its selection with the image "middle" instead of the
/// style's highlight colour, on a plain background; greyed while the table
/// does not have the keyboard focus. Only one row is painted, even when
/// several are selected: the current row when it is selected, otherwise the
/// last selected one.
class SelectionTableView : public QTableView
{
    Q_OBJECT

public:
    explicit SelectionTableView(QWidget *parent = nullptr);

signals:
    /// A mouse button went up over the table: its owner may read its data
    /// again.
    void reloadRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int paintedSelectionRow() const;
    /// Where the selection image goes, in viewport coordinates: the painted
    /// row from its top edge, 2 pixels less than its height. Empty when no
    /// row is selected.
    QRect selectionImageRect() const;
};
