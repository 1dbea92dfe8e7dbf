// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

class QShortcut;
class WidgetBundle;
class WidgetPreviewView;

/// The window a widget shows in: no frame and no background of its own, so
/// only what the page paints is visible, floating above ordinary windows and
/// staying up when the application goes to the background. It can take the
/// keyboard; a key press the page leaves unused writes the line "-" to
/// standard error and is otherwise swallowed.
class BorderlessWindow : public QWidget
{
    Q_OBJECT

public:
    explicit BorderlessWindow(QWidget *parent = nullptr);

    /// The view that fills the window; owned by the window.
    WidgetPreviewView *widgetView() const { return m_view; }

    /// Hides the window, loads the bundle's page without waiting for it,
    /// sizes the window to the bundle, centres it on its screen and shows it
    /// in front.
    void showWidget(const WidgetBundle &bundle);

    /// Whether Escape closes the window; off by default. When on, Escape
    /// closes the window before the page sees the key: the web engine takes
    /// every Escape as handled, so waiting for the page to leave it unused
    /// would wait for ever.
    void setClosesOnEscape(bool closes);
    bool closesOnEscape() const;

signals:
    /// The window was closed, not merely hidden: by Escape, by its owner or
    /// by a close box on it.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    WidgetPreviewView *m_view;
    QShortcut *m_escape;
};
