// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

/// Keeps the window alive during long work on the main thread: once the work
/// has taken half a second, a busy dialog shows on the parent window and the
/// screen is repainted as the work goes on. Work calls step() often; it costs
/// next to nothing while the dialog is not needed.
class ProgressPanel
{
public:
    ProgressPanel(QWidget *parent, const QString &label);
    ~ProgressPanel();

    void step();

private:
    QPointer<QWidget> m_parent;
    QString m_label;
    QElapsedTimer m_started;
    QElapsedTimer m_lastRepaint;
    std::unique_ptr<QProgressDialog> m_dialog;
};
