// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>

class BorderlessWindow;

/// Where the host's widgets sit: each where it was last, kept per widget
/// from run to run whether or not the user dragged it, relative to its
/// screen (see ScreenPlace); a widget seen for the first time where it
/// covers no other, shown or not, when there is such a place; a widget that
/// grows over another moved to such a place; and every widget back on its
/// own screen, or on the first while that is away, when screens come, go or
/// change size.
class WidgetPlacement : public QObject
{
    Q_OBJECT

public:
    explicit WidgetPlacement(QObject *parent = nullptr);

    /// Moves `window`, which shows the widget of `domain`, to its place, and
    /// remembers where the user drags it from then on.
    void place(BorderlessWindow *window, const QString &domain);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void remember(BorderlessWindow *window) const;
    QPoint freePosition(BorderlessWindow *window) const;
    QList<QRect> others(BorderlessWindow *window) const;
    void keepOnScreen();

    QHash<BorderlessWindow *, QString> m_domains;
};
