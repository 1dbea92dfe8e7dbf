// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "host/BorderlessWindow.h"
#include "host/WidgetBundle.h"
#include "host/WidgetPreviewView.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>

/// Runs widget pages for the host's tests and asks them questions.
namespace WidgetPage {

constexpr int LoadTimeout = 30000;

/// The page's answer to a script, once it has come; invalid when none came.
inline QVariant evaluate(QWebEngineView *view, const QString &script)
{
    const auto result = std::make_shared<std::optional<QVariant>>();
    view->page()->runJavaScript(script, [result](const QVariant &value) { *result = value; });
    if (!QTest::qWaitFor([&result] { return result->has_value(); }, LoadTimeout))
        return QVariant();
    return **result;
}

inline QVariant evaluate(const BorderlessWindow &window, const QString &script)
{
    return evaluate(window.widgetView(), script);
}

/// Shows the bundle in the window; true once its page loaded.
inline bool showAndWait(BorderlessWindow &window, const QString &bundle)
{
    QSignalSpy loaded(window.widgetView(), &QWebEngineView::loadFinished);
    window.showWidget(WidgetBundle::read(bundle));
    return loaded.wait(LoadTimeout) && loaded.first().first().toBool();
}

} // namespace WidgetPage
