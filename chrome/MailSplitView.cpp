// SPDX-License-Identifier: GPL-2.0-or-later
#include "chrome/MailSplitView.h"

#include "chrome/MailSplitViewHandle.h"

MailSplitView::MailSplitView(QWidget *parent)
    : MailSplitView(Qt::Horizontal, parent)
{
}

MailSplitView::MailSplitView(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(DividerThickness);
}

QSplitterHandle *MailSplitView::createHandle()
{
    return new MailSplitViewHandle(orientation(), this);
}
