// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/ChangedOnDiskBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ChangedOnDiskBar::ChangedOnDiskBar(QWidget *parent)
    : QFrame(parent)
    , m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("changedOnDiskBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette tinted = palette();
    tinted.setColor(QPalette::Window, QColor(0xfc, 0xf3, 0xcf));
    tinted.setColor(QPalette::WindowText, Qt::black);
    setPalette(tinted);
    m_message->setWordWrap(true);
    auto *reload = new QPushButton(tr("Reload"), this);
    reload->setObjectName(QStringLiteral("reloadButton"));
    auto *keep = new QPushButton(tr("Keep Your Edits"), this);
    keep->setObjectName(QStringLiteral("keepButton"));
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_message, 1);
    layout->addWidget(reload);
    layout->addWidget(keep);
    connect(reload, &QPushButton::clicked, this, [this] {
        hide();
        emit reloadChosen();
    });
    connect(keep, &QPushButton::clicked, this, [this] {
        hide();
        emit keepChosen();
    });
    hide();
}

void ChangedOnDiskBar::showFor(const QString &name)
{
    m_message->setText(tr("“%1” was changed by another program. Reload it and lose your "
                          "edits, or keep your edits and write them over that change at the "
                          "next save?")
                           .arg(name));
    show();
}
