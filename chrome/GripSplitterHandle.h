// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSplitterHandle>

/// A divider drawn from the palette: a bar in the window colour, shaded
/// across its thickness and edged in the mid colour, and a small round grip
/// (dimple) in the text colour at its middle.
class GripSplitterHandle : public QSplitterHandle
{
    Q_OBJECT

public:
    GripSplitterHandle(Qt::Orientation orientation, QSplitter *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /// Top-left corner of the dimple of size `dimple` in the divider
    /// `divider` of a splitter with `orientation`. The offset of 5 centres a
    /// dimple 10 pixels across on the divider's thickness.
    static QPointF dimpleOrigin(const QRectF &divider, const QSizeF &dimple, Qt::Orientation orientation);
};
