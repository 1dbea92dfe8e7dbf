// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

/// What the host's X11 pieces share: the application's connection to the X
/// server, and the replies it gives, which are freed with free().
namespace X11Connection {

/// Null where there is none: under Wayland, and under the off-screen
/// platform, which answers for X11 with no connection when given a display.
inline xcb_connection_t *get()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

/// Takes a reply, or an error, to be freed as it goes out of scope.
template <typename T> std::unique_ptr<T, decltype(&std::free)> own(T *reply)
{
    return {reply, &std::free};
}

} // namespace X11Connection
