// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

/// Keeps the window alive during long work on the main thread: once the work
/// has taken half a second, a progress dialog shows on the parent window and
/// the screen is repainted as the work goes on. Work calls step() often; it
/// costs next to nothing while the dialog is not needed.
class ProgressPanel
{
public:
    /// Whether the dialog offers a Stop button. Work that can stop keeps
    /// the whole application waiting on the dialog, so that nothing but the
    /// button reacts meanwhile; work that cannot keeps only the parent window
    /// waiting, and the user's input for after it.
    enum class Stopping { NotOffered, Offered };

    ProgressPanel(QWidget *parent, const QString &label, Stopping stopping = Stopping::NotOffered);
    ~ProgressPanel();

    /// Notes that the work goes on, `done` of `total` (a busy bar without a
    /// total); false once the user asked it to stop.
    bool step(qint64 done = 0, qint64 total = 0);

private:
    void show();

    QPointer<QWidget> m_parent;
    QString m_label;
    Stopping m_stopping;
    QElapsedTimer m_started;
    QElapsedTimer m_lastRepaint;
    std::unique_ptr<QProgressDialog> m_dialog;
};
