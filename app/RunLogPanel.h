// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/LinesPanel.h"

/// The Run Log: a panel at the foot of the document window that shows the
/// preview's log as it comes (console messages, uncaught errors with their
/// file and line, what the runtime refused, `alert()` lines). Double-clicking
/// a line that names a file and line asks to open the file there.
class RunLogPanel : public LinesPanel
{
    Q_OBJECT

public:
    explicit RunLogPanel(QMainWindow *window);

    void append(const QString &line);
    void clear();

private:
    void choose(const QListWidgetItem *item) override;
};
