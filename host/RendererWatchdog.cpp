// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/RendererWatchdog.h"

#include <QFile>
#include <QPointer>
#include <QWebEnginePage>

#include <csignal>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int ChecksPerTimeout = 4;

// The processor time a process has used, in clock ticks; nothing when it
// cannot be read.
std::optional<qint64> processorTicksOf(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.readAll();
    // The fields after the command's name, which may hold anything, from the
    // state on: user time is the 12th of them, system time the 13th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    bool userRead = false, systemRead = false;
    const qint64 ticks = fields.value(11).toLongLong(&userRead) + fields.value(12).toLongLong(&systemRead);
    return userRead && systemRead ? std::optional(ticks) : std::nullopt;
}

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
    connect(page, &QWebEnginePage::renderProcessPidChanged, this, &RendererWatchdog::forgetQuestion);
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
    if (!m_waiting) {
        if (rendererWorked())
            ask();
    } else if (m_excused && m_excused())
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

// Each question wakes three processes. A renderer that used less than half
// of a processor since the last check runs no script in a loop, so it is not
// asked; one that cannot be measured is.
bool RendererWatchdog::rendererWorked()
{
    const qint64 process = m_page->renderProcessPid();
    const std::optional<qint64> used = processorTicksOf(process);
    const qint64 halfTheInterval = sysconf(_SC_CLK_TCK) * m_timer.interval() / 1000 / 2;
    const bool worked = !used || process != m_measuredProcess || *used - m_usedBefore >= halfTheInterval;
    m_measuredProcess = process;
    m_usedBefore = used.value_or(0);
    return worked;
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
