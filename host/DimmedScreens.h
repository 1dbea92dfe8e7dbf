// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

/// The dashboard's backdrop: every screen dimmed by a window of its own
/// beneath the widgets (on X11, a darkened picture of the screen as it was,
/// so that no compositor is needed). A click on it, or Escape, asks for it
/// all to go.
class DimmedScreens : public QObject
{
    Q_OBJECT

public:
    explicit DimmedScreens(QObject *parent = nullptr);
    ~DimmedScreens() override;

    /// Dims every screen there is now.
    void show();
    void hide();
    bool isShowing() const { return !m_windows.isEmpty(); }

signals:
    /// The user clicked beside the widgets, or pressed Escape.
    void dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPointer<QWidget>> m_windows;
};
