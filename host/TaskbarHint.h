// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

/// Keeps the tool windows it watches out of task bars and pagers on X11
/// (_NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER), which some list when the
/// window has no parent, and lets the others back in. The states are
/// written as each window is about to map: Qt adds its own to what it finds
/// there, and a window manager drops them all when the window is hidden.
class TaskbarHint : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
