// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QVariant>

#include <optional>

/// A widget's place, kept relative to the screen it was on, by the screen's
/// name: it comes back to that screen however the screens are arranged,
/// onto the first screen while that one is away, and back again when it
/// returns.
struct ScreenPlace
{
    /// A screen as places know it: its name, and the area windows may use.
    struct Screen
    {
        QString name;
        QRect available;
    };

    QString screen;
    /// From the top left of the screen's available area.
    QPoint offset;
    /// The widget's size when it was there.
    QSize size;

    /// The place of `geometry`, on the screen it covers most (the first
    /// screen when it covers none).
    static ScreenPlace of(const QRect &geometry, const QList<Screen> &screens);
    /// Where a widget of `size` (the size kept, when none is given) goes
    /// among `screens` (the first being the primary): at its offset on its
    /// own screen when that is there, else on the first, moved just enough to
    /// lie inside the available area.
    QRect restoredOn(const QList<Screen> &screens, QSize size = {}) const;

    /// As kept in the positions file.
    QVariant toVariant() const;
    /// A kept place; one kept as a rectangle or a point of the whole desktop,
    /// as earlier versions kept them, is on the screen it lies on.
    static std::optional<ScreenPlace> fromVariant(const QVariant &kept, const QList<Screen> &screens);
};
