// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QObject>

class ProblemsPanel;
class QMainWindow;
class RunLogPanel;
class WidgetFiles;

/// The panels under the editor that speak of the widget as a whole, a tab
/// each in one place: the Run Log (what the preview's page said) and the
/// Problems (what the check found). A line chosen in either opens its file
/// at that line.
class WidgetPanels : public QObject
{
    Q_OBJECT

public:
    /// Opens chosen lines among `files`, which lives as long as the window.
    WidgetPanels(QMainWindow *window, WidgetFiles *files);

    /// Shows the Run Log, or hides it when it shows.
    void toggleRunLog();
    /// Shows the Problems, or hides them when they show.
    void toggleProblems();
    /// Checks the saved bundle again for the Problems.
    void check(const QString &bundlePath);

    RunLogPanel *runLog() const { return m_runLog; }
    ProblemsPanel *problems() const { return m_problems; }

private:
    /// Opens the widget's `file` in its editor at `line`.
    void openAtLine(const QString &file, int line);

    WidgetFiles *m_files;
    RunLogPanel *m_runLog;
    ProblemsPanel *m_problems;
};
