// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/SelectionTableView.h"

#include "platform/Images.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// The image leaves a thin strip of background under each painted row, so
// two selected neighbours never merge into one band.
constexpr int UnpaintedRowBottom = 2;
// Large enough that stretching the rendered image never shows its pixels.
constexpr QSize SelectionImageResolution(256, 64);

} // namespace

SelectionTableView::SelectionTableView(QWidget *parent)
    : QTableView(parent)
{
    setAlternatingRowColors(false);
    // Cells paint no highlight of their own: the image is the highlight, and
    // a selected cell's text stays as readable on it as on the background.
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, Qt::transparent);
        colours.setColor(group, QPalette::HighlightedText, colours.color(group, QPalette::Text));
    }
    setPalette(colours);
}

int SelectionTableView::paintedSelectionRow() const
{
    if (!selectionModel())
        return -1;
    const int current = currentIndex().row();
    if (current >= 0 && selectionModel()->isRowSelected(current, rootIndex()))
        return current;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.last().row();
}

QRect SelectionTableView::selectionImageRect() const
{
    const int row = paintedSelectionRow();
    if (row < 0)
        return {};
    const QRect rect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row) - UnpaintedRowBottom);
    return rect.width() > 0 && rect.height() > 0 ? rect : QRect();
}

void SelectionTableView::paintEvent(QPaintEvent *event)
{
    const QRect target = selectionImageRect();
    const QIcon image = Images::named(QStringLiteral("middle"));
    if (!target.isEmpty() && !image.isNull()) {
        // Of several lists side by side, the one the keys go to shows its
        // selection in colour, the others in grey.
        const QIcon::Mode mode = hasFocus() ? QIcon::Normal : QIcon::Disabled;
        QPainter painter(viewport());
        painter.drawPixmap(target, image.pixmap(SelectionImageResolution, mode));
    }
    QTableView::paintEvent(event);
}

void SelectionTableView::mouseReleaseEvent(QMouseEvent *event)
{
    // Qt finishes clicks and drags on release, so its handling stays.
    QTableView::mouseReleaseEvent(event);
    emit reloadRequested();
    viewport()->update();
}
