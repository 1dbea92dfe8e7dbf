// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/ProblemsPanel.h"

#include "check/WidgetChecker.h"

#include <QListWidget>
#include <QStyle>

ProblemsPanel::ProblemsPanel(QMainWindow *window)
    : LinesPanel(tr("Problems"), QStringLiteral("problems"), window)
{
    list()->setIconSize(QSize(16, 16));
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible && m_stale)
            check();
    });
}

void ProblemsPanel::refresh(const QString &bundlePath)
{
    m_bundlePath = bundlePath;
    m_stale = true;
    if (!isHidden())
        check();
}

void ProblemsPanel::check()
{
    m_stale = false;
    m_problems = WidgetChecker::check(m_bundlePath);
    list()->clear();
    const QIcon error =
        QIcon::fromTheme(QStringLiteral("dialog-error"), style()->standardIcon(QStyle::SP_MessageBoxCritical));
    const QIcon warning =
        QIcon::fromTheme(QStringLiteral("dialog-warning"), style()->standardIcon(QStyle::SP_MessageBoxWarning));
    for (const Problem &problem : std::as_const(m_problems)) {
        const QString place = problem.place();
        auto *item = new QListWidgetItem(problem.severity == Problem::Severity::Error ? error : warning,
                                         place.isEmpty() ? problem.text : place + QStringLiteral(": ") + problem.text);
        item->setData(Qt::UserRole, problem.file);
        item->setData(Qt::UserRole + 1, problem.line);
        list()->addItem(item);
    }
    if (m_problems.isEmpty())
        list()->addItem(tr("No problems found."));
    setWindowTitle(m_problems.isEmpty() ? tr("Problems") : tr("Problems (%1)").arg(m_problems.size()));
}

void ProblemsPanel::choose(const QListWidgetItem *item)
{
    const QString file = item->data(Qt::UserRole).toString();
    if (!file.isEmpty())
        emit placeChosen(file, item->data(Qt::UserRole + 1).toInt());
}
