// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/CloseBoxFace.h"

#include <QPainter>

CloseBoxFace::CloseBoxFace(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void CloseBoxFace::setPressed(bool pressed)
{
    m_pressed = pressed;
    update();
}

// Light on dark stays visible on light and dark widgets alike.
void CloseBoxFace::paint(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF disc = boundingRect().adjusted(1, 1, -1, -1);
    painter->setPen(QPen(Qt::white, 1.5));
    painter->setBrush(QColor(0, 0, 0, m_pressed ? 230 : 170));
    painter->drawEllipse(disc);
    const qreal arm = disc.width() / 5;
    const QPointF centre = disc.center();
    painter->setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter->drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
    painter->drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
}
