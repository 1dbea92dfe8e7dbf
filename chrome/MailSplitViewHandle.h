// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QSplitterHandle>

/// A divider drawn from two images: a bar stretched over the whole divider
/// and a small grip (dimple) at its middle. Panes side by side use the
/// "vertical_" images, stacked panes the "horizontal_" ones.
class MailSplitViewHandle : public QSplitterHandle
{
    Q_OBJECT

public:
    MailSplitViewHandle(Qt::Orientation orientation, QSplitter *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    /// Top-left corner of the dimple of size `dimple` in the divider
    /// `divider` of a splitter with `orientation`. The offset of 5 centres a
    /// dimple 10 pixels across on the divider's thickness.
    static QPointF dimpleOrigin(const QRectF &divider, const QSizeF &dimple,
                                Qt::Orientation orientation);
};
