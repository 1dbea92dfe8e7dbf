// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/GripSplitterHandle.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr qreal DimpleOffset = 5.0;
constexpr QSizeF DimpleSize(10.0, 10.0);
constexpr qreal DotRadius = 3.5;
// How much darker the bar's far side is than its near one.
constexpr int BarShading = 108;

} // namespace

GripSplitterHandle::GripSplitterHandle(Qt::Orientation orientation, QSplitter *parent)
    : QSplitterHandle(orientation, parent)
{ }

QPointF GripSplitterHandle::dimpleOrigin(const QRectF &divider, const QSizeF &dimple, Qt::Orientation orientation)
{
    const QPointF middle = divider.center();
    if (orientation == Qt::Horizontal)
        return {middle.x() + DimpleOffset - dimple.width(), middle.y() - dimple.height()};
    return {middle.x() - dimple.width(), middle.y() + DimpleOffset - dimple.height()};
}

// Colours come from the palette, so that a dark theme gets a dark divider,
// and the shapes are drawn at the screen's own resolution, so that they stay
// sharp at any scale.
void GripSplitterHandle::paintEvent(QPaintEvent *)
{
    const QRectF bar = rect();
    // A horizontal splitter puts its panes side by side: its dividers stand upright.
    const bool upright = orientation() == Qt::Horizontal;
    const QColor window = palette().color(QPalette::Window);
    QLinearGradient shading(bar.topLeft(), upright ? bar.topRight() : bar.bottomLeft());
    shading.setColorAt(0, window);
    shading.setColorAt(1, window.darker(BarShading));
    QPainter painter(this);
    painter.fillRect(bar, shading);
    const QColor edge = palette().color(QPalette::Mid);
    if (upright) {
        painter.fillRect(QRectF(bar.left(), bar.top(), 1, bar.height()), edge);
        painter.fillRect(QRectF(bar.right() - 1, bar.top(), 1, bar.height()), edge);
    } else {
        painter.fillRect(QRectF(bar.left(), bar.top(), bar.width(), 1), edge);
        painter.fillRect(QRectF(bar.left(), bar.bottom() - 1, bar.width(), 1), edge);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::WindowText));
    const QRectF dimple(dimpleOrigin(bar, DimpleSize, orientation()), DimpleSize);
    painter.drawEllipse(dimple.center(), DotRadius, DotRadius);
}
