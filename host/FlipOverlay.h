// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>

/// A widget turning over, as from its front to its back: the side it showed
/// turns away about the vertical axis, then the new side turns in. It
/// stands in for the page, pictures of whose sides it shows, so that the
/// page can change sides unseen.
class FlipOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit FlipOverlay(QWidget *parent = nullptr);

    /// How long a whole turn takes, in milliseconds.
    static constexpr int Duration = 600;

    /// Shows `side` as it is, where the page was; the turn that follows
    /// goes one way to the back and the other way to the front.
    void cover(const QPixmap &side, bool toBack);
    /// Turns from the side covered to `side`, then hides and emits
    /// finished().
    void turnTo(const QPixmap &side);
    bool isTurning() const;

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void end();

    QVariantAnimation m_turn;
    QPixmap m_from;
    QPixmap m_to;
    qreal m_direction = 1;
};
