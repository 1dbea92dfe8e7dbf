#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The host under a Wayland compositor (weston, headless): it shows a widget,
# keeps running, and takes commands from later starts. Usage: wayland.sh HOST
host=$1
. "$(dirname "$0")/clock-user.sh"
unset DISPLAY

weston --backend=headless-backend.so --socket=wayland-quillet --idle-time=0 >"$runtime/weston.log" 2>&1 &
started="$started $!"
for _ in $(seq 50); do [ -S "$runtime/wayland-quillet" ] && break; sleep 0.1; done
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-quillet
"$host" "$runtime/Clock.wdgt" >"$runtime/host.log" 2>"$runtime/host.errors" &
shown=$!
started="$started $shown"
waited() { for _ in $(seq 300); do grep -qx "$1" "$runtime/host.log" && return 0; sleep 0.1; done; return 1; }
waited "showing $runtime/Clock.wdgt" || { cat "$runtime/host.errors"; exit 1; }
"$host" --toggle || exit 1
waited "hiding all" || exit 1
sleep 1
kill -0 $shown || { echo "the host ended"; cat "$runtime/host.errors"; exit 1; }
