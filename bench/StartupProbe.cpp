// SPDX-License-Identifier: GPL-2.0-or-later
// Preloaded (LD_PRELOAD) into a program timed from its start: ends the
// program as soon as its first window has been exposed, once the events
// queued behind the exposure (the first paint) are through. The program
// itself is the one users start, unchanged.
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <unistd.h>

namespace {

class ExposureWatcher : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && window && window->isExposed())
            QMetaObject::invokeMethod(qApp, [] { _exit(0); }, Qt::QueuedConnection);
        return false;
    }
};

void watchExposures()
{
    qApp->installEventFilter(new ExposureWatcher);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchExposures)
