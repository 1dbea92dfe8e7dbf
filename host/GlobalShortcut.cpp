// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/GlobalShortcut.h"

#include "host/PortalShortcut.h"
#include "host/X11KeyGrab.h"

GlobalShortcut::GlobalShortcut(QObject *parent)
    : QObject(parent)
    , m_portal(new PortalShortcut(this))
    , m_grab(new X11KeyGrab(this))
{
    connect(m_portal, &PortalShortcut::activated, this, &GlobalShortcut::activated);
    connect(m_grab, &X11KeyGrab::pressed, this, &GlobalShortcut::activated);
    connect(m_portal, &PortalShortcut::unavailable, this, &GlobalShortcut::grabFromX11);
    connect(m_portal, &PortalShortcut::bound, this, [this](const QString &key) { settle(key, {}); });
    connect(m_portal, &PortalShortcut::refused, this, [this](const QString &why) { settle({}, why); });
}

void GlobalShortcut::setKey(const QKeySequence &key)
{
    m_portal->release();
    m_grab->release();
    m_key = key;
    if (key.isEmpty()) {
        settle({}, tr("none is chosen"));
        return;
    }
    // Where the portal is absent it says so at once, and the key is grabbed.
    settle({}, tr("the desktop has not answered yet"));
    m_pending = true;
    m_portal->bind(key);
}

void GlobalShortcut::grabFromX11()
{
    if (m_grab->grab(m_key))
        settle(m_key.toString(QKeySequence::NativeText), {});
    else
        settle({}, m_grab->problem());
}

void GlobalShortcut::settle(const QString &bound, const QString &problem)
{
    m_pending = false;
    m_bound = bound;
    m_problem = problem;
}
