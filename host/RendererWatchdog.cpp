// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/RendererWatchdog.h"

#include <QPointer>
#include <QWebEnginePage>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

constexpr int ChecksPerTimeout = 4;

} // namespace

RendererWatchdog::RendererWatchdog(QWebEnginePage *page, QObject *parent)
    : QObject(parent)
{
    setTimeout(DefaultTimeout);
    connect(&m_timer, &QTimer::timeout, this, &RendererWatchdog::check);
    watch(page);
}

void RendererWatchdog::watch(QWebEnginePage *page)
{
    if (m_page)
        disconnect(m_page, nullptr, this, nullptr);
    m_page = page;
    forgetQuestion();
    // A question to a document or renderer that is gone may never be
    // answered; that says nothing about the next one.
    connect(page, &QWebEnginePage::loadStarted, this, &RendererWatchdog::forgetQuestion);
    connect(page, &QWebEnginePage::renderProcessPidChanged, this,
            &RendererWatchdog::forgetQuestion);
}

void RendererWatchdog::setTimeout(std::chrono::milliseconds timeout)
{
    m_timeout = timeout;
    m_timer.setInterval(timeout / ChecksPerTimeout);
}

void RendererWatchdog::start()
{
    forgetQuestion();
    m_timer.start();
}

void RendererWatchdog::stop()
{
    m_timer.stop();
    forgetQuestion();
}

void RendererWatchdog::check()
{
    if (!m_waiting)
        ask();
    else if (m_excused && m_excused())
        m_asked.restart();
    else if (std::chrono::milliseconds(m_asked.elapsed()) >= m_timeout)
        endRenderer();
}

void RendererWatchdog::ask()
{
    const int question = ++m_question;
    m_waiting = true;
    m_asked.start();
    m_askedProcess = m_page->renderProcessPid();
    const QPointer<RendererWatchdog> self(this);
    m_page->runJavaScript(u"0"_s, [self, question](const QVariant &) {
        if (self && question == self->m_question)
            self->m_waiting = false;
    });
}

void RendererWatchdog::forgetQuestion()
{
    ++m_question;
    m_waiting = false;
}

// Only the renderer that was asked, should the page have a new one by now.
void RendererWatchdog::endRenderer()
{
    stop();
    if (m_askedProcess > 0 && m_askedProcess == m_page->renderProcessPid())
        ::kill(pid_t(m_askedProcess), SIGKILL);
}
