// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <optional>

class BorderlessWindow;

/// Where the host's widgets sit: each where the user last left it, kept per
/// widget from run to run; a widget seen for the first time where it covers
/// no other, when there is such a place; and every widget on a screen when
/// screens come, go or change size.
class WidgetPlacement : public QObject
{
    Q_OBJECT

public:
    explicit WidgetPlacement(QObject *parent = nullptr);

    /// Moves `window`, which shows the widget of `domain`, to its place, and
    /// remembers where the user drags it from then on.
    void place(BorderlessWindow *window, const QString &domain);

private:
    std::optional<QPoint> savedPosition(const QString &domain) const;
    QPoint freePosition(const BorderlessWindow *window) const;
    void keepOnScreen();

    QHash<BorderlessWindow *, QString> m_domains;
};
