// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "preview/WidgetPreview.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QMainWindow;
class RunLogPanel;

/// The life of one document window's preview: made the first time it is
/// shown (so the web engine loads only then), its log handed to the Run Log,
/// shown, reloaded after saves, inspected and hidden. Failures are reported
/// on the window.
class PreviewSession : public QObject
{
    Q_OBJECT

public:
    PreviewSession(QMainWindow *window, RunLogPanel *runLog);
    ~PreviewSession() override;

    /// Shows the saved bundle at `bundlePath`, its log started afresh.
    void show(const QString &bundlePath);
    void hide();
    /// Loads the saved bundle again, if the preview shows.
    void reload(const QString &bundlePath);
    /// Opens the developer tools on the page that shows, titled after `name`.
    void inspect(const QString &name);
    bool isShowing() const;

    /// The preview; null until the first show.
    WidgetPreview *preview() const { return m_preview.get(); }

signals:
    /// The preview was shown, or it went away (Stop, or closed from outside).
    void showingChanged(bool showing);

private:
    /// Makes the preview, saying so on the window when the plugin is missing.
    bool makePreview();

    QPointer<QMainWindow> m_window;
    QPointer<RunLogPanel> m_runLog;
    std::unique_ptr<WidgetPreview> m_preview;
};
