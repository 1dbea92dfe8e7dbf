// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeySequence>
#include <QObject>

/// A key grabbed from the X server on its root window, so that it reaches
/// this program whichever window has the keyboard. Where it cannot be had
/// (no X11 display, as under Wayland, a key that is no single key, or one
/// another program holds) it says why.
class X11KeyGrab : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit X11KeyGrab(QObject *parent = nullptr);
    ~X11KeyGrab() override;

    /// Grabs `key`, letting go of the one before; false, with problem()
    /// saying why, when it cannot be had.
    bool grab(const QKeySequence &key);
    void release();
    /// Why the key is not had; empty while it is.
    QString problem() const { return m_problem; }

signals:
    void pressed();

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool grabOnServer(bool on);

    QString m_problem;
    quint8 m_keycode = 0;
    quint16 m_modifiers = 0;
};
