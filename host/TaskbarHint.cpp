// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/TaskbarHint.h"

#include "host/X11Connection.h"

#include <QEvent>
#include <QWidget>

#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const auto reply = X11Connection::own(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void leaveOut(xcb_connection_t *connection, xcb_window_t window, bool out)
{
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skips[] = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    const auto reply = X11Connection::own(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr));
    QList<xcb_atom_t> states;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states = QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (const xcb_atom_t skip : skips) {
        states.removeAll(skip);
        if (out)
            states.append(skip);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.constData());
}

} // namespace

bool TaskbarHint::eventFilter(QObject *watched, QEvent *event)
{
    xcb_connection_t *connection = X11Connection::get();
    auto *window = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::Show && connection && window && window->isWindow())
        leaveOut(connection, xcb_window_t(window->winId()), window->windowType() == Qt::Tool);
    return QObject::eventFilter(watched, event);
}
