// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Outcome.h"

#include <QString>

#include <functional>

class QWidget;

/// A widget shown as the editor previews it: in a frameless window above all
/// others, with its own preview storage, its log, and the web engine's
/// developer tools on demand.
///
/// The editor reaches the preview only through this interface, made by the
/// preview plugin (WidgetPreviewPlugin), so that the web engine is loaded
/// when the first preview is asked for and not when the editor starts. For
/// the same reason it is no QObject: the plugin carries its own copy of the
/// classes behind it, and only virtual calls cross over safely.
class WidgetPreview
{
public:
    virtual ~WidgetPreview() = default;

    /// Shows the bundle at `bundlePath` in front, centred on its screen and
    /// no larger than it, its log started afresh; the window is made on the
    /// first call. A bundle with nothing to show (no main page, or no size)
    /// is not shown, and the outcome says why.
    virtual Outcome show(const QString &bundlePath) = 0;
    /// Loads the bundle again where it shows, as after a save; nothing when
    /// the preview is hidden.
    virtual void reload(const QString &bundlePath) = 0;
    virtual void hide() = 0;
    virtual bool isShowing() const = 0;
    /// Shows the developer tools for the page that shows, titled `title`.
    virtual void inspect(const QString &title) = 0;

    /// Receives each line the widget logs: alerts, console messages,
    /// uncaught errors, as "file:line: text" where the page says where.
    virtual void setLogListener(std::function<void(const QString &line)> listener) = 0;
    /// Called when the preview's window was closed from outside the editor:
    /// by the window manager, or by the widget itself.
    virtual void setClosedListener(std::function<void()> listener) = 0;

    /// The preview's window; null before the first show().
    virtual QWidget *window() const = 0;
};
