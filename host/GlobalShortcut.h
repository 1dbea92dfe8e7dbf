// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QKeySequence>
#include <QObject>

class PortalShortcut;
class X11KeyGrab;

/// The key that shows and hides the widgets whichever program has the
/// keyboard. It is asked of the desktop portal where the session offers
/// global shortcuts, else grabbed from the X server. Where neither gives
/// it, it says why, so that the host's menu can say so instead of
/// pretending.
class GlobalShortcut : public QObject
{
    Q_OBJECT

public:
    explicit GlobalShortcut(QObject *parent = nullptr);

    /// Asks for `key`, letting go of the one before. The portal answers
    /// later: pending() holds until it has.
    void setKey(const QKeySequence &key);
    QKeySequence key() const { return m_key; }
    /// The key held, named as whoever holds it names it; empty while none is.
    QString bound() const { return m_bound; }
    /// Why no key is held; empty while one is.
    QString problem() const { return m_problem; }
    bool pending() const { return m_pending; }

signals:
    void activated();

private:
    void grabFromX11();
    void settle(const QString &bound, const QString &problem);

    PortalShortcut *m_portal;
    X11KeyGrab *m_grab;
    QKeySequence m_key;
    QString m_bound;
    QString m_problem;
    bool m_pending = false;
};
