// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/MailSplitViewHandle.h"

#include "platform/Images.h"

#include <QPainter>

namespace {

constexpr qreal DimpleOffset = 5.0;
// Large enough that a bar stretched over a long divider stays smooth.
constexpr QSize BarResolution(64, 1024);

QString imagePrefix(Qt::Orientation orientation)
{
    // A horizontal splitter puts its panes side by side: its dividers stand upright.
    return orientation == Qt::Horizontal ? QStringLiteral("vertical_") : QStringLiteral("horizontal_");
}

QPixmap naturalPixmap(const QIcon &image)
{
    const QList<QSize> sizes = image.availableSizes();
    return sizes.isEmpty() ? QPixmap() : image.pixmap(sizes.first());
}

} // namespace

MailSplitViewHandle::MailSplitViewHandle(Qt::Orientation orientation, QSplitter *parent)
    : QSplitterHandle(orientation, parent)
{
}

QPointF MailSplitViewHandle::dimpleOrigin(const QRectF &divider, const QSizeF &dimple,
                                          Qt::Orientation orientation)
{
    const QPointF middle = divider.center();
    if (orientation == Qt::Horizontal)
        return {middle.x() + DimpleOffset - dimple.width(), middle.y() - dimple.height()};
    return {middle.x() - dimple.width(), middle.y() + DimpleOffset - dimple.height()};
}

void MailSplitViewHandle::paintEvent(QPaintEvent *)
{
    const QString prefix = imagePrefix(orientation());
    const QIcon bar = Images::named(prefix + QStringLiteral("splitview"));
    const QPixmap dimple = naturalPixmap(Images::named(prefix + QStringLiteral("dimple")));
    QPainter painter(this);
    if (!bar.isNull())
        painter.drawPixmap(rect(), bar.pixmap(BarResolution));
    if (!dimple.isNull()) {
        const QSizeF size = dimple.deviceIndependentSize();
        painter.drawPixmap(dimpleOrigin(rect(), size, orientation()), dimple);
    }
}
