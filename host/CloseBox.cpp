// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/CloseBox.h"

#include "host/CloseBoxFace.h"

#include <QMouseEvent>
#include <QQuickWindow>

namespace {

constexpr int Diameter = 18;

} // namespace

CloseBox::CloseBox(QWidget *window)
    : QQuickWidget(window)
    , m_face(new CloseBoxFace(quickWindow()->contentItem()))
{
    setAttribute(Qt::WA_AlwaysStackOnTop);
    setClearColor(Qt::transparent);
    setFixedSize(Diameter, Diameter);
    m_face->setSize(QSizeF(Diameter, Diameter));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setToolTip(tr("Close"));
    hide();
    window->installEventFilter(this);
}

// The window is told when the pointer comes in and goes out, wherever in it.
bool CloseBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter)
        show();
    else if (event->type() == QEvent::Leave && !m_pressed)
        hide();
    return QQuickWidget::eventFilter(watched, event);
}

void CloseBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_face->setPressed(true);
}

// Like any button, it acts only when released over itself.
void CloseBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    m_face->setPressed(false);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}
