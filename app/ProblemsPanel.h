// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/LinesPanel.h"
#include "check/Problem.h"

/// The Problems panel: what WidgetChecker finds in the saved bundle, one
/// line each, under the editor. Double-clicking a line that names a file
/// asks to open the file there. A hidden panel checks only once it shows,
/// so opening and saving cost nothing while no one looks.
class ProblemsPanel : public LinesPanel
{
    Q_OBJECT

public:
    explicit ProblemsPanel(QMainWindow *window);

    /// Checks the bundle on disk again and lists what it finds, at once when
    /// the panel shows, else when it next shows.
    void refresh(const QString &bundlePath);
    QList<Problem> problems() const { return m_problems; }

private:
    void check();
    void choose(const QListWidgetItem *item) override;

    QString m_bundlePath;
    bool m_stale = false;
    QList<Problem> m_problems;
};
