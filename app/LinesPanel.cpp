// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/LinesPanel.h"

#include <QListWidget>
#include <QMainWindow>

LinesPanel::LinesPanel(const QString &title, const QString &name, QMainWindow *window)
    : QDockWidget(title, window)
    , m_lines(new QListWidget(this))
{
    setObjectName(name);
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    m_lines->setObjectName(name + QStringLiteral("Lines"));
    m_lines->setUniformItemSizes(true);
    setWidget(m_lines);
    window->addDockWidget(Qt::BottomDockWidgetArea, this);
    hide();
    connect(m_lines, &QListWidget::itemDoubleClicked, this, &LinesPanel::choose);
}

QStringList LinesPanel::lines() const
{
    QStringList all;
    for (int row = 0; row < m_lines->count(); ++row)
        all.append(m_lines->item(row)->text());
    return all;
}
