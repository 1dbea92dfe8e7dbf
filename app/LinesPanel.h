// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDockWidget>

class QListWidget;
class QListWidgetItem;
class QMainWindow;

/// A panel at the foot of the document window that lists lines, some of
/// which lead to a place in the widget's files: the Run Log and the
/// Problems panel. Hidden until asked for.
class LinesPanel : public QDockWidget
{
    Q_OBJECT

public:
    QStringList lines() const;

signals:
    /// A line naming `file` (relative to the widget) and `line` was chosen;
    /// `line` is 0 when the line names none.
    void placeChosen(const QString &file, int line);

protected:
    LinesPanel(const QString &title, const QString &name, QMainWindow *window);
    QListWidget *list() const { return m_lines; }
    /// A line was double-clicked.
    virtual void choose(const QListWidgetItem *item) = 0;

private:
    QListWidget *m_lines;
};
