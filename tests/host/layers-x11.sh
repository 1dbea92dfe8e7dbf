#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The layers' hints as an X11 window manager that honours them (openbox)
# reads them off the widget's window, switched by later starts; started
# again as at login, the host brings the widget back where it was.
# Usage: layers-x11.sh HOST (on the display xvfb-run gives)
host=$1
[ -n "$DISPLAY" ] || { echo "no X11 display"; exit 77; }
. "$(dirname "$0")/clock-user.sh"
export QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 &
started="$started $!"
sleep 1
"$host" --layer desktop "$runtime/Clock.wdgt" >"$runtime/host.log" 2>&1 &
first=$!
started="$started $first"
# The window's state, once it shows it.
state() {
    for _ in $(seq 100); do
        found=$(xprop -name Clock _NET_WM_STATE 2>/dev/null) && echo "$found" | grep -q "$1" && return 0
        sleep 0.1
    done
    echo "wanted $1, found: $found"
    return 1
}
state _NET_WM_STATE_BELOW || exit 1
state _NET_WM_STATE_SKIP_TASKBAR || exit 1
state _NET_WM_STATE_SKIP_PAGER || exit 1
xprop -name Clock _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_UTILITY || exit 1
"$host" --layer above || exit 1
state _NET_WM_STATE_ABOVE || exit 1
xprop -name Clock _NET_WM_STATE | grep -q SKIP && { echo "above, the widget is left out of the task bar"; exit 1; }

# Ended and started with nothing to do, as at login, the host shows what ran
# last, where it was and in the layer it had.
place() { xwininfo -name Clock | grep -E 'Absolute upper-left|Width|Height'; }
was=$(place)
kill $first
while kill -0 $first 2>/dev/null; do sleep 0.1; done
env -u QT_QPA_PLATFORM "$host" >>"$runtime/host.log" 2>&1 &
started="$started $!"
state _NET_WM_STATE_ABOVE || exit 1
[ "$(place)" = "$was" ] || { echo "was: $was"; echo "is: $(place)"; exit 1; }
