// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QKeySequence>
#include <QObject>

/// A key that works whichever window has the keyboard: grabbed from the X
/// server on its root window. Where it cannot be had (no X11 display, as
/// under Wayland, a key that is no single key, or one another program
/// holds) it says why, so that the host's menu can say so instead of
/// pretending.
class GlobalShortcut : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit GlobalShortcut(QObject *parent = nullptr);
    ~GlobalShortcut() override;

    /// Grabs `key`, letting go of the one before; false, with problem()
    /// saying why, when it cannot be had.
    bool setKey(const QKeySequence &key);
    QKeySequence key() const { return m_key; }
    /// Why the key is not had; empty while it is.
    QString problem() const { return m_problem; }

signals:
    void activated();

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool grab(bool on);

    QKeySequence m_key;
    QString m_problem;
    quint8 m_keycode = 0;
    quint16 m_modifiers = 0;
};
