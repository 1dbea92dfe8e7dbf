// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/WebWidgetPreview.h"

#include "host/BorderlessWindow.h"
#include "host/PageInspector.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreferences.h"
#include "host/WidgetPreviewView.h"
#include "host/WidgetRuntime.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWebEngineProfile>

WebWidgetPreview::WebWidgetPreview() = default;

WebWidgetPreview::~WebWidgetPreview()
{
    delete m_inspector;
    delete m_window;
}

namespace {

// Why the bundle has nothing to show; empty when it has.
QString whyNotShown(const WidgetBundle &widget)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("WebWidgetPreview", text); };
    if (widget.mainPage().isEmpty())
        return tr("It names no main page (MainHTML)");
    if (!QFileInfo(widget.mainPage().toLocalFile()).isFile())
        return tr("Its main page “%1” is not in the widget")
            .arg(widget.info().value(QStringLiteral("MainHTML")).toString());
    if (widget.size().isEmpty())
        return tr("It gives no size (Width and Height), and has no Default.png to take one from");
    return {};
}

} // namespace

Outcome WebWidgetPreview::show(const QString &bundlePath)
{
    const WidgetBundle widget = WidgetBundle::read(bundlePath);
    if (const QString why = whyNotShown(widget); !why.isEmpty())
        return Outcome::failure(QStringLiteral("Info.plist"), why);
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
        // Told once the window is hidden: while it closes it still shows.
        QObject::connect(
            m_window, &BorderlessWindow::closed, m_window,
            [this] {
                if (m_closed)
                    m_closed();
            },
            Qt::QueuedConnection);
    }
    m_window->showWidget(widget);
    return {};
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

void WebWidgetPreview::setClosedListener(std::function<void()> listener)
{
    m_closed = std::move(listener);
}

QWidget *WebWidgetPreview::window() const
{
    return m_window;
}
