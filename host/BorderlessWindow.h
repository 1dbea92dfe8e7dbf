// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

#include <chrono>

class FlipOverlay;
class QLabel;
class QWebEngineProfile;
class QShortcut;
class RendererWatchdog;
class WidgetBundle;
class WidgetPreviewView;
class WidgetRuntime;

/// The window a widget shows in: no frame and no background of its own, so
/// only what the page paints is visible, floating above ordinary windows and
/// staying up when the application goes to the background. It can take the
/// keyboard; a key press the page leaves unused writes the line "-" to
/// standard error and is otherwise swallowed.
///
/// The page runs in a WidgetRuntime, in a renderer process of its own. A
/// page whose renderer crashes, or hangs for longer than the unresponsive
/// timeout, is stopped: the window then says so in the page's place, until
/// the next showWidget() or reloadWidget() starts the widget again.
class BorderlessWindow : public QWidget
{
    Q_OBJECT

public:
    /// A window whose widget keeps its web storage in `profile` (see
    /// WidgetPreferences::webProfile); the engine's default profile when none
    /// is given.
    explicit BorderlessWindow(QWebEngineProfile *profile = nullptr, QWidget *parent = nullptr);

    /// The view that fills the window; owned by the window.
    WidgetPreviewView *widgetView() const { return m_view; }
    /// The runtime of the widget's page; owned by the window. Its preference
    /// store is the preview's unless the owner chooses another before
    /// showing a widget.
    WidgetRuntime *runtime() const { return m_runtime; }

    /// Hides the window, loads the bundle's page without waiting for it,
    /// sizes the window to the bundle, centres it on its screen and shows it
    /// in front.
    void showWidget(const WidgetBundle &bundle);
    /// Loads the bundle's page again, as after the bundle was saved: the
    /// window takes the bundle's size but stays where it is, shown or hidden.
    void reloadWidget(const WidgetBundle &bundle);
    /// Closes the window as a user removes a widget: the page's
    /// `widget.onremove` runs first, for at most three seconds.
    void removeWidget();

    /// How long the page may leave the window unanswered while it shows
    /// before it counts as hung and is stopped; ten seconds by default.
    void setUnresponsiveTimeout(std::chrono::milliseconds timeout);

    /// Whether Escape removes the widget; off by default. When on, Escape
    /// acts before the page sees the key: the web engine takes every Escape
    /// as handled, so waiting for the page to leave it unused would wait for
    /// ever.
    void setClosesOnEscape(bool closes);

signals:
    /// The window was closed, not merely hidden: by Escape, by its owner or
    /// by a close box on it.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    /// Whether the page stopped and the window says so in its place.
    bool hasStopped() const;
    void loadPage(const WidgetBundle &bundle);
    void renewPage();
    void watchRenderer();
    void placeView();
    void stop(int status);
    void finishRemoval();
    void prepareTransition(bool toBack);
    void performTransition();
    void finishTransition();

    WidgetPreviewView *m_view;
    WidgetRuntime *m_runtime;
    RendererWatchdog *m_watchdog;
    FlipOverlay *m_flip;
    QLabel *m_stopped;
    QShortcut *m_escape;
    QTimer m_removal;
    bool m_removing = false;
    QTimer m_transition;
};
