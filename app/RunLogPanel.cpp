// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/RunLogPanel.h"

#include <QListWidget>
#include <QMainWindow>
#include <QRegularExpression>

namespace {
// Far more than anyone reads, few enough that a widget logging every frame
// never fills the memory.
constexpr int MostLines = 5000;
} // namespace

RunLogPanel::RunLogPanel(QMainWindow *window)
    : QDockWidget(tr("Run Log"), window)
    , m_lines(new QListWidget(this))
{
    setObjectName(QStringLiteral("runLog"));
    setFeatures(DockWidgetClosable | DockWidgetMovable);
    m_lines->setObjectName(QStringLiteral("runLogLines"));
    m_lines->setUniformItemSizes(true);
    m_lines->setFont(QFont(QStringLiteral("monospace")));
    setWidget(m_lines);
    window->addDockWidget(Qt::BottomDockWidgetArea, this);
    hide();
    connect(m_lines, &QListWidget::itemDoubleClicked, this, &RunLogPanel::choose);
}

void RunLogPanel::append(const QString &line)
{
    if (m_lines->count() >= MostLines)
        delete m_lines->takeItem(0);
    m_lines->addItem(line);
    m_lines->scrollToBottom();
    show();
}

void RunLogPanel::clear()
{
    m_lines->clear();
}

QStringList RunLogPanel::lines() const
{
    QStringList all;
    for (int row = 0; row < m_lines->count(); ++row)
        all.append(m_lines->item(row)->text());
    return all;
}

// Lines that name a place begin "file:line: ".
void RunLogPanel::choose(const QListWidgetItem *item)
{
    static const QRegularExpression place(QStringLiteral("^([^:]+):(\\d+): "));
    const QRegularExpressionMatch match = place.match(item->text());
    if (match.hasMatch())
        emit placeChosen(match.captured(1), match.captured(2).toInt());
}
