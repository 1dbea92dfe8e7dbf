// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WidgetPreviewView.h"

#include "host/WidgetWebPage.h"

#include <QChildEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWindow>

namespace {

// Answers whether the page point holds something the user clicks rather than
// drags: a control, a link, editable text, a scroll bar, or an element with a
// click or mouse-down handler, set as a property or added as a listener
// (widgets' own controls, such as resize grips and sliders). It runs in the
// page's own world, the only one that sees what the page's scripts set.
const char16_t ControlAtPointScript[] = uR"(
(function (x, y) {
    for (var node = document.elementFromPoint(x, y); node; node = node.parentElement) {
        if (node.onclick || node.onmousedown || node[Symbol.for('quillet.pressHandled')]
            || node.matches('a, button, input, select, textarea, label, [contenteditable], '
                            + '[onclick], [onmousedown], [role="button"], [role="scrollbar"], '
                            + '[role="slider"]'))
            return true;
    }
    return false;
})(%1, %2))";

} // namespace

WidgetPreviewView::WidgetPreviewView(QWebEngineProfile *profile, QWidget *parent)
    : QWebEngineView(parent)
{
    WidgetWebPage::prepareEngine();
    setUpPage(profile ? profile : QWebEngineProfile::defaultProfile());
    setContextMenuPolicy(Qt::NoContextMenu);
}

void WidgetPreviewView::renewPage()
{
    QWebEnginePage *old = page();
    setUpPage(old->profile());
    old->deleteLater();
}

void WidgetPreviewView::setUpPage(QWebEngineProfile *profile)
{
    setPage(new WidgetWebPage(profile, this));
    settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    page()->setBackgroundColor(Qt::transparent);
}

// The page's mouse events arrive at a child widget the engine makes, and
// makes again, when it renders; watching each child sees them all.
bool WidgetPreviewView::event(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    return QWebEngineView::event(event);
}

bool WidgetPreviewView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        watchMouse(static_cast<QWidget *>(watched), static_cast<const QMouseEvent *>(event));
        break;
    default:
        break;
    }
    return QWebEngineView::eventFilter(watched, event);
}

void WidgetPreviewView::watchMouse(const QWidget *child, const QMouseEvent *event)
{
    const QPoint globalPosition = event->globalPosition().toPoint();
    if (event->type() == QEvent::MouseMove) {
        moved(globalPosition);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    // The second press of a double click arrives as a double click.
    if (event->type() == QEvent::MouseButtonRelease)
        m_buttonDown = m_dragging = false;
    else
        pressed(child->mapTo(this, event->position().toPoint()), globalPosition);
}

void WidgetPreviewView::pressed(const QPoint &viewPosition, const QPoint &globalPosition)
{
    const int press = ++m_press;
    m_buttonDown = true;
    m_dragging = false;
    m_pressGlobal = m_pointerGlobal = globalPosition;
    m_windowAtPress = window()->pos();
    const QPointF pagePoint = QPointF(viewPosition) / zoomFactor();
    const QString script = QString::fromUtf16(ControlAtPointScript).arg(pagePoint.x()).arg(pagePoint.y());
    page()->runJavaScript(script, [this, press](const QVariant &onControl) { dragWhenNotOnControl(onControl, press); });
}

void WidgetPreviewView::moved(const QPoint &globalPosition)
{
    m_pointerGlobal = globalPosition;
    if (m_dragging)
        followPointer();
}

// An empty answer comes from a page that went away before answering, when
// this view may be half destroyed: it must not be touched then.
void WidgetPreviewView::dragWhenNotOnControl(const QVariant &onControl, int press)
{
    if (!onControl.isValid() || press != m_press || !m_buttonDown || onControl.toBool())
        return;
    // Under Wayland no program may place its own windows: the compositor
    // moves this one for as long as the button is held.
    if (QGuiApplication::platformName().startsWith(u"wayland") && window()->windowHandle()->startSystemMove()) {
        m_buttonDown = false;
        return;
    }
    m_dragging = true;
    // The pointer may have moved while the page was answering.
    followPointer();
}

// Moving the window by the pointer's travel since the press, rather than
// asking the window manager to move it, also works without one.
void WidgetPreviewView::followPointer()
{
    window()->move(m_windowAtPress + m_pointerGlobal - m_pressGlobal);
    emit dragged();
}
