// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class QWebEnginePage;

/// Notices a page whose renderer stopped answering and ends that renderer,
/// so that the page's window can say the widget stopped rather than show a
/// picture that no longer moves. The renderer is a process of its own: a
/// page that hangs never holds up this program's thread, it only leaves the
/// page's questions unanswered, which is what is watched here.
class RendererWatchdog : public QObject
{
    Q_OBJECT

public:
    /// Watches `page`, which must outlive the watchdog or be replaced first.
    explicit RendererWatchdog(QWebEnginePage *page, QObject *parent = nullptr);

    /// Watches `page` instead of the page watched so far.
    void watch(QWebEnginePage *page);

    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    /// How long the page may leave a question unanswered.
    void setTimeout(std::chrono::milliseconds timeout);
    /// While `excused` says so, a page that does not answer is waiting for
    /// this program rather than hung.
    void setExcuse(const std::function<bool()> &excused) { m_excused = excused; }

    void start();
    void stop();

private:
    void check();
    void ask();
    /// Whether the page's renderer may be running a script since the last check.
    bool rendererWorked();
    void forgetQuestion();
    void endRenderer();

    QWebEnginePage *m_page = nullptr;
    QTimer m_timer;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    std::function<bool()> m_excused;
    // The question the page has not answered yet: its number, since when
    // and to which renderer.
    int m_question = 0;
    bool m_waiting = false;
    QElapsedTimer m_asked;
    qint64 m_askedProcess = 0;
    // The renderer measured at the last check, and what it had used by then.
    qint64 m_measuredProcess = 0;
    qint64 m_usedBefore = 0;
};
