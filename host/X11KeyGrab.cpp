// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/X11KeyGrab.h"

#include "host/X11Connection.h"

namespace {

// Caps Lock and Num Lock change no key: the key is grabbed with each of them.
constexpr quint16 NumLock = XCB_MOD_MASK_2;
constexpr quint16 Locks[] = {0, XCB_MOD_MASK_LOCK, NumLock, XCB_MOD_MASK_LOCK | NumLock};

xcb_window_t rootWindow(xcb_connection_t *connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// The X key symbol of a Qt key: function keys, letters, digits and space.
quint32 keysymOf(int key)
{
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return 0xffbe + (key - Qt::Key_F1);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'a' + (key - Qt::Key_A);
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return quint32(key);
    return 0;
}

// The key code the keyboard gives that symbol on, if any.
quint8 keycodeOf(xcb_connection_t *connection, quint32 keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto mapping = X11Connection::own(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, quint8(count)), nullptr));
    if (!mapping)
        return 0;
    const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
    for (int code = 0; code < count; ++code) {
        for (int level = 0; level < mapping->keysyms_per_keycode; ++level) {
            if (symbols[code * mapping->keysyms_per_keycode + level] == keysym)
                return quint8(setup->min_keycode + code);
        }
    }
    return 0;
}

quint16 modifiersOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? XCB_MOD_MASK_SHIFT : 0)
        | (modifiers & Qt::ControlModifier ? XCB_MOD_MASK_CONTROL : 0)
        | (modifiers & Qt::AltModifier ? XCB_MOD_MASK_1 : 0) | (modifiers & Qt::MetaModifier ? XCB_MOD_MASK_4 : 0);
}

} // namespace

X11KeyGrab::X11KeyGrab(QObject *parent)
    : QObject(parent)
{
    if (qGuiApp)
        qGuiApp->installNativeEventFilter(this);
}

X11KeyGrab::~X11KeyGrab()
{
    grabOnServer(false);
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool X11KeyGrab::grab(const QKeySequence &key)
{
    release();
    xcb_connection_t *x11 = X11Connection::get();
    const QKeyCombination combination = key.isEmpty() ? QKeyCombination() : key[0];
    const quint32 keysym = keysymOf(combination.key());
    if (!x11)
        m_problem = tr("The desktop offers no keys for all programs, and this session is not X11");
    else if (key.count() != 1 || !keysym)
        m_problem = tr("%1 is not a single function key, letter, digit or Space").arg(key.toString());
    else if (!(m_keycode = keycodeOf(x11, keysym)))
        m_problem = tr("The keyboard has no %1 key").arg(key.toString());
    else if (m_modifiers = modifiersOf(combination.keyboardModifiers()); !grabOnServer(true))
        m_problem = tr("Another program holds %1").arg(key.toString());
    else
        m_problem.clear();
    return m_problem.isEmpty();
}

void X11KeyGrab::release()
{
    grabOnServer(false);
    m_keycode = 0;
}

// A grab another client holds already is refused with BadAccess.
bool X11KeyGrab::grabOnServer(bool on)
{
    xcb_connection_t *x11 = X11Connection::get();
    if (!x11 || !m_keycode)
        return false;
    bool granted = true;
    for (const quint16 lock : Locks) {
        const xcb_void_cookie_t cookie = on
            ? xcb_grab_key_checked(x11, 1, rootWindow(x11), m_modifiers | lock, m_keycode, XCB_GRAB_MODE_ASYNC,
                                   XCB_GRAB_MODE_ASYNC)
            : xcb_ungrab_key_checked(x11, m_keycode, rootWindow(x11), m_modifiers | lock);
        if (X11Connection::own(xcb_request_check(x11, cookie)))
            granted = false;
    }
    if (on && !granted)
        grabOnServer(false);
    return granted;
}

bool X11KeyGrab::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_keycode || !m_problem.isEmpty())
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
    const quint16 locks = XCB_MOD_MASK_LOCK | NumLock;
    if (press->detail != m_keycode || (press->state & ~locks) != m_modifiers)
        return false;
    emit pressed();
    return true;
}
