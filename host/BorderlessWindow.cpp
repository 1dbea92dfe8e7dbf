// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"

#include "host/WidgetBundle.h"
#include "host/WidgetPreviewView.h"

#include <QScreen>
#include <QShortcut>
#include <QStyle>

// A plain window, not a tool window: tool windows may hide while the
// application is in the background, and may refuse the keyboard.
BorderlessWindow::BorderlessWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_view(new WidgetPreviewView(this))
    , m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close))
{
    m_escape->setEnabled(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_view);
}

void BorderlessWindow::showWidget(const WidgetBundle &bundle)
{
    hide();
    // A bundle without a page shows an empty window rather than the page
    // of whatever it showed before.
    const QUrl page = bundle.mainPage();
    m_view->load(page.isEmpty() ? QUrl(QStringLiteral("about:blank")) : page);
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, bundle.size(),
                                    screen()->availableGeometry()));
    show();
    raise();
}

void BorderlessWindow::setClosesOnEscape(bool closes)
{
    m_escape->setEnabled(closes);
}

bool BorderlessWindow::closesOnEscape() const
{
    return m_escape->isEnabled();
}

void BorderlessWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

void BorderlessWindow::keyPressEvent(QKeyEvent *)
{
    qInfo("-");
}

// No layout: a layout would impose the view's minimum size on the window,
// whose size must be exactly the widget's.
void BorderlessWindow::resizeEvent(QResizeEvent *event)
{
    m_view->setGeometry(rect());
    QWidget::resizeEvent(event);
}
