// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/BorderlessWindow.h"

#include "host/FlipOverlay.h"
#include "host/LegacyMarkup.h"
#include "host/NetworkBridge.h"
#include "host/RendererWatchdog.h"
#include "host/WidgetAccess.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreviewView.h"
#include "host/WidgetRuntime.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace {

// How long a page may take over its removal handler, and over changing
// sides between prepareForTransition and performTransition.
constexpr int RemovalTimeout = 3000;
constexpr int TransitionTimeout = 1000;
// The page asks for the turn right after a frame with its new side; the
// frame needs a little longer to reach the view.
constexpr int NewSideDelay = 50;

QString stoppedReason(int status)
{
    switch (status) {
    case QWebEnginePage::CrashedTerminationStatus:
        return u"its page crashed"_s;
    case QWebEnginePage::KilledTerminationStatus:
        return u"its page was ended"_s;
    default:
        return u"its page ended abnormally"_s;
    }
}

} // namespace

// A plain window, not a tool window: tool windows may hide while the
// application is in the background, and may refuse the keyboard.
BorderlessWindow::BorderlessWindow(QWebEngineProfile *profile, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_view(new WidgetPreviewView(profile, this))
    , m_runtime(new WidgetRuntime(m_view, this))
    , m_watchdog(new RendererWatchdog(m_view->page(), this))
    , m_flip(new FlipOverlay(this))
    , m_stopped(new QLabel(tr("This widget stopped."), this))
    , m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &BorderlessWindow::removeWidget))
{
    m_escape->setEnabled(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_view);

    m_stopped->hide();
    m_stopped->setAlignment(Qt::AlignCenter);
    m_stopped->setWordWrap(true);
    m_stopped->setStyleSheet(u"QLabel { color: white; background: rgba(0, 0, 0, 180);"
                             " border-radius: 10px; padding: 8px; font-weight: bold; }"_s);

    // Waiting for a server (a synchronous request) is not hanging.
    m_watchdog->setExcuse([this] { return m_runtime->isHoldingPage() || NetworkBridge::isWaitingForServers(); });
    watchRenderer();
    // Widgets resize themselves in place, never beyond their screen.
    connect(m_runtime, &WidgetRuntime::resizeRequested, this,
            [this](const QSize &size) { resize(size.boundedTo(screen()->availableGeometry().size())); });

    m_removal.setSingleShot(true);
    m_removal.setInterval(RemovalTimeout);
    connect(&m_removal, &QTimer::timeout, this, &BorderlessWindow::finishRemoval);
    m_transition.setSingleShot(true);
    m_transition.setInterval(TransitionTimeout);
    connect(&m_transition, &QTimer::timeout, this, &BorderlessWindow::performTransition);
    connect(m_runtime, &WidgetRuntime::transitionPrepared, this, &BorderlessWindow::prepareTransition);
    connect(m_runtime, &WidgetRuntime::transitionPerformed, this, &BorderlessWindow::performTransition);
    connect(m_flip, &FlipOverlay::finished, this, &BorderlessWindow::finishTransition);
}

void BorderlessWindow::showWidget(const WidgetBundle &bundle)
{
    hide();
    loadPage(bundle);
    // A widget larger than the screen would cover everything, the editor's
    // Stop included: it is cut to the screen, as its own resizes are.
    const QRect available = screen()->availableGeometry();
    setGeometry(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, bundle.size().boundedTo(available.size()), available));
    show();
    raise();
}

void BorderlessWindow::reloadWidget(const WidgetBundle &bundle)
{
    loadPage(bundle);
    resize(bundle.size().boundedTo(screen()->availableGeometry().size()));
}

// A bundle without a page shows an empty window rather than the page of
// whatever it showed before. A page that needs repair loads from the
// repaired text, with its own address, so it still finds its files.
void BorderlessWindow::loadPage(const WidgetBundle &bundle)
{
    finishTransition();
    if (hasStopped())
        renewPage();
    m_stopped->hide();
    m_view->show();
    m_runtime->prepare(bundle);
    const QUrl page = bundle.mainPage();
    if (page.isEmpty())
        m_view->load(QUrl(u"about:blank"_s));
    else if (const auto repaired = LegacyMarkup::repairedPage(page.toLocalFile()))
        m_view->setContent(*repaired, u"text/html"_s, page);
    else
        m_view->load(page);
    if (isVisible())
        m_watchdog->start();
}

void BorderlessWindow::renewPage()
{
    m_view->renewPage();
    m_runtime->attachPage();
    m_watchdog->watch(m_view->page());
    watchRenderer();
}

void BorderlessWindow::watchRenderer()
{
    connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) { stop(status); });
}

void BorderlessWindow::removeWidget()
{
    if (m_removing)
        return;
    m_removing = true;
    if (hasStopped()) {
        finishRemoval();
        return;
    }
    m_removal.start();
    const QPointer<BorderlessWindow> self(this);
    m_runtime->notifyRemoval([self] {
        if (self)
            self->finishRemoval();
    });
}

// Whichever comes first, the page's answer or the timeout, closes the window.
void BorderlessWindow::finishRemoval()
{
    if (!m_removing)
        return;
    m_removing = false;
    m_removal.stop();
    close();
}

bool BorderlessWindow::hasStopped() const
{
    return m_stopped->isVisibleTo(this);
}

void BorderlessWindow::setUnresponsiveTimeout(std::chrono::milliseconds timeout)
{
    m_watchdog->setTimeout(timeout);
}

// Said once on standard error too, for the widget's author.
void BorderlessWindow::stop(int status)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    m_watchdog->stop();
    finishTransition();
    m_view->hide();
    m_stopped->show();
    m_runtime->access().report(u"stopped: "_s + stoppedReason(status));
}

// While the flip overlay stands in for the page, the page lies beside the
// window, out of sight but still drawing, so that its new side can be
// pictured.
void BorderlessWindow::placeView()
{
    m_view->setGeometry(m_flip->isVisibleTo(this) ? rect().translated(width(), 0) : rect());
}

void BorderlessWindow::prepareTransition(bool toBack)
{
    m_flip->setGeometry(rect());
    m_flip->cover(m_view->grab(), toBack);
    placeView();
    m_transition.start();
}

void BorderlessWindow::performTransition()
{
    m_transition.stop();
    if (!m_flip->isVisibleTo(this) || m_flip->isTurning())
        return;
    QTimer::singleShot(NewSideDelay, m_flip, [this] {
        if (m_flip->isVisibleTo(this))
            m_flip->turnTo(m_view->grab());
    });
}

void BorderlessWindow::finishTransition()
{
    m_transition.stop();
    m_flip->hide();
    placeView();
}

void BorderlessWindow::setClosesOnEscape(bool closes)
{
    m_escape->setEnabled(closes);
}

void BorderlessWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

// Keys the page did not take end here: the window has no use for them.
void BorderlessWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
}

// No layout: a layout would impose the view's minimum size on the window,
// whose size must be exactly the widget's.
void BorderlessWindow::resizeEvent(QResizeEvent *event)
{
    placeView();
    m_flip->setGeometry(rect());
    m_stopped->setGeometry(rect());
    QWidget::resizeEvent(event);
}

// A hidden page is not watched: nobody waits for it.
void BorderlessWindow::showEvent(QShowEvent *event)
{
    if (!hasStopped())
        m_watchdog->start();
    QWidget::showEvent(event);
}

void BorderlessWindow::hideEvent(QHideEvent *event)
{
    m_watchdog->stop();
    QWidget::hideEvent(event);
}
