# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by the host's shell tests, after runtime.sh: a Wayland compositor
# (weston) drawing into an 800x600 window at the top left of the X server
# xvfb-run gives (its x11 backend), so that the pointer can be moved as a
# user moves it and what weston shows can be looked at. Its desktop is one
# colour, #2060a0, with no panel. Programs started after it are its clients.
[ -n "$DISPLAY" ] || { echo "no X11 display for weston to draw in"; exit 77; }
printf '[shell]\nbackground-color=0xff2060a0\npanel-position=none\n' >"$runtime/weston.ini"
weston --backend=x11-backend.so --use-pixman --width=800 --height=600 --config="$runtime/weston.ini" \
    --socket=wayland-quillet --idle-time=0 >"$runtime/weston.log" 2>&1 &
started="$started $!"
for _ in $(seq 50); do [ -S "$runtime/wayland-quillet" ] && break; sleep 0.1; done
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-quillet
