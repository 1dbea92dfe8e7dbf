// SPDX-License-Identifier: GPL-2.0-or-later
// Preloaded (LD_PRELOAD) into a program timed from its start: ends the
// program once it is ready for its user, once the events queued behind that
// moment (the paint) are through. Ready is its first window exposed, or,
// with QUILLET_PROBE_WAITS_FOR_ROWS set, the first list or table with rows
// painted. A dialog shown first (an error alert) ends it with status 3: that
// is no start. The program itself is the one users start, unchanged.
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWindow>

#include <unistd.h>

namespace {

constexpr int NoStart = 3;

void endAfterQueuedEvents(int status)
{
    QMetaObject::invokeMethod(
        qApp, [status] { _exit(status); }, Qt::QueuedConnection);
}

class ReadinessWatcher : public QObject
{
public:
    explicit ReadinessWatcher(bool waitsForRows)
        : m_waitsForRows(waitsForRows)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (auto *dialog = qobject_cast<QDialog *>(watched); dialog && event->type() == QEvent::Show)
            endAfterQueuedEvents(NoStart);
        else if (!m_waitsForRows && event->type() == QEvent::Expose && isExposedWindow(watched))
            endAfterQueuedEvents(0);
        else if (m_waitsForRows && event->type() == QEvent::Paint && isListWithRows(watched))
            endAfterQueuedEvents(0);
        return false;
    }

private:
    static bool isExposedWindow(QObject *object)
    {
        auto *window = qobject_cast<QWindow *>(object);
        return window && window->isExposed();
    }

    static bool isListWithRows(QObject *object)
    {
        auto *view = object->parent() ? qobject_cast<QAbstractItemView *>(object->parent()) : nullptr;
        return view && object == view->viewport() && view->model() && view->model()->rowCount() > 0;
    }

    bool m_waitsForRows;
};

void watchReadiness()
{
    qApp->installEventFilter(new ReadinessWatcher(qEnvironmentVariableIsSet("QUILLET_PROBE_WAITS_FOR_ROWS")));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchReadiness)
