// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/RunLogPanel.h"

#include <QListWidget>
#include <QRegularExpression>

namespace {
// Far more than anyone reads, few enough that a widget logging every frame
// never fills the memory.
constexpr int MostLines = 5000;
} // namespace

RunLogPanel::RunLogPanel(QMainWindow *window)
    : LinesPanel(tr("Run Log"), QStringLiteral("runLog"), window)
{
    list()->setFont(QFont(QStringLiteral("monospace")));
}

void RunLogPanel::append(const QString &line)
{
    if (list()->count() >= MostLines)
        delete list()->takeItem(0);
    list()->addItem(line);
    list()->scrollToBottom();
    show();
}

void RunLogPanel::clear()
{
    list()->clear();
}

// Lines that name a place begin "file:line: ".
void RunLogPanel::choose(const QListWidgetItem *item)
{
    static const QRegularExpression place(QStringLiteral("^([^:]+):(\\d+): "));
    const QRegularExpressionMatch match = place.match(item->text());
    if (match.hasMatch())
        emit placeChosen(match.captured(1), match.captured(2).toInt());
}
