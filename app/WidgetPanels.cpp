// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/WidgetPanels.h"

#include "app/ProblemsPanel.h"
#include "app/RunLogPanel.h"
#include "editors/TextEditorView.h"
#include "editors/WidgetFiles.h"
#include "platform/FileManager.h"

#include <QMainWindow>

WidgetPanels::WidgetPanels(QMainWindow *window, WidgetFiles *files)
    : QObject(window)
    , m_files(files)
    , m_runLog(new RunLogPanel(window))
    , m_problems(new ProblemsPanel(window))
{
    connect(m_runLog, &RunLogPanel::placeChosen, this, &WidgetPanels::openAtLine);
    connect(m_problems, &ProblemsPanel::placeChosen, this, &WidgetPanels::openAtLine);
    window->tabifyDockWidget(m_runLog, m_problems);
}

void WidgetPanels::toggleRunLog()
{
    m_runLog->setVisible(!m_runLog->isVisible());
}

void WidgetPanels::toggleProblems()
{
    m_problems->setVisible(!m_problems->isVisible());
    if (m_problems->isVisible())
        m_problems->raise();
}

void WidgetPanels::check(const QString &bundlePath)
{
    m_problems->refresh(bundlePath);
}

// Only opens: the edits of every file stay unsaved until the user saves.
void WidgetPanels::openAtLine(const QString &file, int line)
{
    const QString bundle = m_files->bundlePath();
    if (bundle.isEmpty() || !FileManager::pathInside(bundle, file))
        return;
    if (auto *text = m_files->openTextEditor(file))
        text->goToLine(line);
}
