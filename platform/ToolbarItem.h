// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QIcon>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>

/// One item a toolbar delegate makes: a command with an image, or a view the
/// toolbar carries (a search field). The toolbar turns it into buttons; the
/// item itself is plain data.
struct ToolbarItem
{
    QString identifier;
    QString label;
    QString paletteLabel; ///< the name in the customization palette
    QString toolTip;
    QIcon image;
    std::function<void()> action;
    /// A view shown in place of a button. It belongs to the delegate and
    /// survives every rebuild of the toolbar.
    QPointer<QWidget> view;
    QSize minSize; ///< for a view: equal min and max fix its size
    QSize maxSize;
};
