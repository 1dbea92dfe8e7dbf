// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "preview/WidgetPreview.h"

#include <QPointer>

class BorderlessWindow;
class PageInspector;

/// The preview as the web engine shows it: a BorderlessWindow whose widget
/// keeps the preview storage of its identifier, and a PageInspector made the
/// first time the tools are asked for.
class WebWidgetPreview : public WidgetPreview
{
public:
    WebWidgetPreview();
    ~WebWidgetPreview() override;

    Outcome show(const QString &bundlePath) override;
    void reload(const QString &bundlePath) override;
    void hide() override;
    bool isShowing() const override;
    void inspect(const QString &title) override;
    void setLogListener(std::function<void(const QString &line)> listener) override;
    void setClosedListener(std::function<void()> listener) override;
    QWidget *window() const override;

private:
    QPointer<BorderlessWindow> m_window;
    QPointer<PageInspector> m_inspector;
    std::function<void(const QString &)> m_log;
    std::function<void()> m_closed;
};
