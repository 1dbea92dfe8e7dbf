// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ProgressPanel.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr qint64 ShowAfterMilliseconds = 500;
constexpr qint64 RepaintEveryMilliseconds = 50;
} // namespace

ProgressPanel::ProgressPanel(QWidget *parent, const QString &label)
    : m_parent(parent)
    , m_label(label)
{
    m_started.start();
    m_lastRepaint.start();
}

ProgressPanel::~ProgressPanel() = default;

void ProgressPanel::step()
{
    if (m_lastRepaint.elapsed() < RepaintEveryMilliseconds)
        return;
    m_lastRepaint.restart();
    if (!m_dialog) {
        if (m_started.elapsed() < ShowAfterMilliseconds)
            return;
        // A busy bar without a cancel button: the work cannot stop half-way.
        m_dialog = std::make_unique<QProgressDialog>(m_label, QString(), 0, 0, m_parent);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    // Repaint only: the user's input waits until the work is done.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
