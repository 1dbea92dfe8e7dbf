// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/CenteredTextDelegate.h"

QRect CenteredTextDelegate::centredRect(const QRect &frame, int contentHeight)
{
    const int top = frame.y() + (frame.height() - contentHeight) / 2;
    return {frame.x(), top, frame.width(), contentHeight};
}

void CenteredTextDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem centred(option);
    const int contentHeight = qMin(sizeHint(option, index).height(), option.rect.height());
    centred.rect = centredRect(option.rect, contentHeight);
    QStyledItemDelegate::paint(painter, centred, index);
}

void CenteredTextDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // The selection image marks the current row; a focus frame around one cell would say it twice.
    option->state &= ~QStyle::State_HasFocus;
    // The image is the whole of the selection: drawn as selected, the cell
    // would also tint its icon with the highlight colour, washing it out.
    if (option->state.testFlag(QStyle::State_Selected)) {
        option->state &= ~QStyle::State_Selected;
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            option->palette.setColor(group, QPalette::Text, Qt::black);
    }
}
