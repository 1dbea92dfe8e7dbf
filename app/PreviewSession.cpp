// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/PreviewSession.h"

#include "app/PreviewLoader.h"
#include "app/RunLogPanel.h"
#include "platform/Alert.h"

#include <QMainWindow>

PreviewSession::PreviewSession(QMainWindow *window, RunLogPanel *runLog)
    : QObject(window)
    , m_window(window)
    , m_runLog(runLog)
{ }

PreviewSession::~PreviewSession() = default;

bool PreviewSession::makePreview()
{
    Outcome loaded;
    m_preview = PreviewLoader::makePreview(&loaded);
    Alert::report(m_window, tr("The preview could not be shown."), loaded);
    if (!m_preview)
        return false;
    m_preview->setLogListener([log = m_runLog](const QString &line) {
        if (log)
            log->append(line);
    });
    // Closed by the window manager or by the widget: Stop turns back into Preview.
    m_preview->setClosedListener([self = QPointer(this)] {
        if (self)
            emit self->showingChanged(false);
    });
    return true;
}

void PreviewSession::show(const QString &bundlePath)
{
    if (!m_preview && !makePreview())
        return;
    m_runLog->clear();
    Alert::report(m_window, tr("The widget cannot be previewed."), m_preview->show(bundlePath));
    emit showingChanged(isShowing());
}

void PreviewSession::hide()
{
    if (m_preview)
        m_preview->hide();
    emit showingChanged(false);
}

void PreviewSession::reload(const QString &bundlePath)
{
    if (m_preview)
        m_preview->reload(bundlePath);
}

void PreviewSession::inspect(const QString &name)
{
    if (isShowing())
        m_preview->inspect(tr("Inspector — %1").arg(name));
}

bool PreviewSession::isShowing() const
{
    return m_preview && m_preview->isShowing();
}
