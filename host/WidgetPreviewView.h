// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QPoint>
#include <QWebEngineView>

class QMouseEvent;
class QWebEngineProfile;

/// The web view a widget runs in: no background of its own, so the
/// transparent parts of the page show what lies behind the window, no scroll
/// bars and no context menu. Dragging with the left button from any point of
/// the page that is not a control moves the whole window; the page still
/// receives every mouse event.
class WidgetPreviewView : public QWebEngineView
{
    Q_OBJECT

public:
    /// A view whose page keeps its storage in `profile`; the engine's
    /// default profile when none is given.
    explicit WidgetPreviewView(QWebEngineProfile *profile, QWidget *parent = nullptr);

    /// Gives the view a new page in place of one whose renderer stopped:
    /// the engine would start that page's next renderer without the
    /// profile's scripts, the runtime's own and its seal among them.
    void renewPage();

signals:
    /// The user dragged the window to another place.
    void dragged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpPage(QWebEngineProfile *profile);
    void watchMouse(const QWidget *child, const QMouseEvent *event);
    void pressed(const QPoint &viewPosition, const QPoint &globalPosition);
    void moved(const QPoint &globalPosition);
    void dragWhenNotOnControl(const QVariant &onControl, int press);
    void followPointer();

    // The page answers asynchronously whether a press hit a control; counting
    // presses lets a late answer for an earlier press be ignored.
    int m_press = 0;
    bool m_dragging = false;
    bool m_buttonDown = false;
    QPoint m_pressGlobal;
    QPoint m_pointerGlobal;
    QPoint m_windowAtPress;
};
