// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ProgressPanel.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr qint64 ShowAfterMilliseconds = 500;
constexpr qint64 RepaintEveryMilliseconds = 50;
// The bar's steps: sizes in bytes do not fit its int range.
constexpr int BarSteps = 1000;
} // namespace

ProgressPanel::ProgressPanel(QWidget *parent, const QString &label, Stopping stopping)
    : m_parent(parent)
    , m_label(label)
    , m_stopping(stopping)
{
    m_started.start();
    m_lastRepaint.start();
}

ProgressPanel::~ProgressPanel() = default;

bool ProgressPanel::step(qint64 done, qint64 total)
{
    if (m_lastRepaint.elapsed() < RepaintEveryMilliseconds)
        return !m_dialog || !m_dialog->wasCanceled();
    m_lastRepaint.restart();
    if (!m_dialog) {
        if (m_started.elapsed() < ShowAfterMilliseconds)
            return true;
        show();
    }
    if (total > 0) {
        m_dialog->setMaximum(BarSteps);
        m_dialog->setValue(int(qMin(done, total) * BarSteps / total));
    }
    const bool stoppable = m_stopping == Stopping::Offered;
    QCoreApplication::processEvents(stoppable ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !m_dialog->wasCanceled();
}

void ProgressPanel::show()
{
    const bool stoppable = m_stopping == Stopping::Offered;
    m_dialog = std::make_unique<QProgressDialog>(
        m_label, stoppable ? QCoreApplication::translate("ProgressPanel", "Stop") : QString(), 0, 0, m_parent);
    m_dialog->setWindowModality(stoppable ? Qt::ApplicationModal : Qt::WindowModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->show();
}
