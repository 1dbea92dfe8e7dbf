// SPDX-License-Identifier: GPL-2.0-or-later
#include "editors/NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

NoticeBar::NoticeBar(QWidget *parent)
    : QFrame(parent)
    , m_message(new QLabel(this))
    , m_layout(new QHBoxLayout(this))
{
    setObjectName(QStringLiteral("noticeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette tinted = palette();
    tinted.setColor(QPalette::Window, QColor(0xfc, 0xf3, 0xcf));
    tinted.setColor(QPalette::WindowText, Qt::black);
    setPalette(tinted);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_layout->addWidget(m_message, 1);
    hide();
}

void NoticeBar::showNotice(const QString &message, const QStringList &buttons, const std::function<void(int)> &chosen)
{
    // A button may be the one whose click led here: it goes once that is over.
    for (QPushButton *old : findChildren<QPushButton *>()) {
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    m_message->setText(message);
    for (int index = 0; index < buttons.size(); ++index) {
        auto *button = new QPushButton(buttons.at(index), this);
        m_layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, index, chosen] {
            hide();
            if (chosen)
                chosen(index);
        });
    }
    show();
}

QString NoticeBar::message() const
{
    return m_message->text();
}
