// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStyledItemDelegate>

/// Draws a cell's content centred vertically in its row, and a selected cell
/// as an unselected one but for its text in black, so that it reads well on
/// the selection image of a SelectionTableView and its icon keeps its colours.
class CenteredTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    /// The band of `frame` the content is drawn in: as high as the content
    /// needs, with equal space above and below.
    static QRect centredRect(const QRect &frame, int contentHeight);
};
