// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDockWidget>

class QListWidget;
class QListWidgetItem;
class QMainWindow;

/// The Run Log: a panel at the foot of the document window that shows the
/// preview's log as it comes (console messages, uncaught errors with their
/// file and line, what the runtime refused, `alert()` lines). Double-clicking
/// a line that names a file and line asks to open the file there.
class RunLogPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit RunLogPanel(QMainWindow *window);

    void append(const QString &line);
    void clear();
    QStringList lines() const;

signals:
    /// A line naming `file` (relative to the widget) and `line` was chosen.
    void placeChosen(const QString &file, int line);

private:
    void choose(const QListWidgetItem *item);

    QListWidget *m_lines;
};
