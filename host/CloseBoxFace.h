// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QQuickPaintedItem>

/// What a close box looks like: a dark disc with a light rim and cross,
/// clear around the disc, darker while pressed.
class CloseBoxFace : public QQuickPaintedItem
{
    Q_OBJECT

public:
    explicit CloseBoxFace(QQuickItem *parent = nullptr);

    void setPressed(bool pressed);
    void paint(QPainter *painter) override;

private:
    bool m_pressed = false;
};
