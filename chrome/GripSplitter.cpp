// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/GripSplitter.h"

#include "chrome/GripSplitterHandle.h"

GripSplitter::GripSplitter(QWidget *parent)
    : GripSplitter(Qt::Horizontal, parent)
{ }

GripSplitter::GripSplitter(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(DividerThickness);
}

QSplitterHandle *GripSplitter::createHandle()
{
    return new GripSplitterHandle(orientation(), this);
}
