// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/FlipOverlay.h"

#include <QPainter>

FlipOverlay::FlipOverlay(QWidget *parent)
    : QWidget(parent)
{
    hide();
    m_turn.setStartValue(0.0);
    m_turn.setEndValue(1.0);
    m_turn.setDuration(Duration);
    m_turn.setEasingCurve(QEasingCurve::InOutSine);
    connect(&m_turn, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(&m_turn, &QVariantAnimation::finished, this, &FlipOverlay::end);
}

void FlipOverlay::cover(const QPixmap &side, bool toBack)
{
    m_turn.stop();
    m_from = side;
    m_to = QPixmap();
    m_direction = toBack ? 1 : -1;
    show();
    update();
}

void FlipOverlay::turnTo(const QPixmap &side)
{
    m_to = side;
    m_turn.start();
}

bool FlipOverlay::isTurning() const
{
    return m_turn.state() == QAbstractAnimation::Running;
}

// The first half turns the old side from flat to edge-on, the second the
// new side from edge-on to flat.
void FlipOverlay::paintEvent(QPaintEvent *)
{
    const qreal progress = isTurning() ? m_turn.currentValue().toReal() : 0;
    const bool firstHalf = progress < 0.5;
    const qreal angle = (firstHalf ? progress : progress - 1) * 180 * m_direction;
    const QPointF centre = QRectF(rect()).center();
    QTransform turn;
    turn.translate(centre.x(), centre.y()).rotate(angle, Qt::YAxis).translate(-centre.x(), -centre.y());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(turn);
    painter.drawPixmap(rect(), firstHalf ? m_from : m_to);
}

void FlipOverlay::end()
{
    hide();
    m_from = m_to = QPixmap();
    emit finished();
}
