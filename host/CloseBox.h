// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QQuickWidget>

class CloseBoxFace;

/// The small round button with a cross on a widget's window, clicked to
/// remove the widget. It shows only while the pointer is over the window,
/// so that it never covers the widget's own corner otherwise.
///
/// The web view of a transparent page is composed above every ordinary
/// widget of its window, so a plain button would vanish under the page. The
/// close box is therefore drawn by the same scene graph as the page and
/// composed the same way; made after the view, it is stacked above it. It
/// never takes the keyboard, so keys keep going to the page.
class CloseBox : public QQuickWidget
{
    Q_OBJECT

public:
    /// Places itself on `window`, which owns it, at its top-left corner.
    explicit CloseBox(QWidget *window);

signals:
    /// Pressed and released over the box.
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    CloseBoxFace *m_face;
    bool m_pressed = false;
};
