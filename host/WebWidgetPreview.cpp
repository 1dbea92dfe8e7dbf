// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WebWidgetPreview.h"

#include "host/BorderlessWindow.h"
#include "host/PageInspector.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreferences.h"
#include "host/WidgetPreviewView.h"
#include "host/WidgetRuntime.h"

#include <QWebEngineProfile>

WebWidgetPreview::WebWidgetPreview() = default;

WebWidgetPreview::~WebWidgetPreview()
{
    delete m_inspector;
    delete m_window;
}

void WebWidgetPreview::show(const QString &bundlePath)
{
    const WidgetBundle widget = WidgetBundle::read(bundlePath);
    // The preview keeps the storage of the widget it shows: a widget that
    // took another identifier gets a window of its own.
    QWebEngineProfile *storage =
        WidgetPreferences(WidgetPreferences::Store::Preview, WidgetPreferences::domainOf(widget)).webProfile();
    if (m_window && m_window->widgetView()->page()->profile() != storage)
        delete m_window;
    if (!m_window) {
        m_window = new BorderlessWindow(storage);
        QObject::connect(m_window->runtime(), &WidgetRuntime::logged, m_window, [this](const QString &line) {
            if (m_log)
                m_log(line);
        });
    }
    m_window->showWidget(widget);
}

void WebWidgetPreview::reload(const QString &bundlePath)
{
    if (isShowing())
        m_window->reloadWidget(WidgetBundle::read(bundlePath));
}

void WebWidgetPreview::hide()
{
    if (m_window)
        m_window->hide();
}

bool WebWidgetPreview::isShowing() const
{
    return m_window && m_window->isVisible();
}

void WebWidgetPreview::inspect(const QString &title)
{
    if (!isShowing())
        return;
    if (!m_inspector)
        m_inspector = new PageInspector;
    m_inspector->inspect(m_window->widgetView()->page(), title);
}

void WebWidgetPreview::setLogListener(std::function<void(const QString &line)> listener)
{
    m_log = std::move(listener);
}

QWidget *WebWidgetPreview::window() const
{
    return m_window;
}
