#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The host under a Wayland compositor (weston.sh): the widget shows with its
# page's transparent parts see-through and follows a drag; the dashboard,
# switched to and called up by later starts, dims the desktop and goes at
# Escape or a click beside the widget. Usage: wayland.sh HOST
host=$1
. "$(dirname "$0")/clock-user.sh"
# One colour the screen has nowhere else, with a transparent margin.
echo '<html><body style="background: transparent; margin: 20px">
<div style="height: 60px; background: #ff00ff">Clock</div></body></html>' >"$runtime/Clock.wdgt/main.html"
. "$(dirname "$0")/weston.sh"
"$host" "$runtime/Clock.wdgt" >"$runtime/host.log" 2>"$runtime/host.errors" &
shown=$!
started="$started $shown"
fail() { echo "$1"; cat "$runtime/host.errors"; exit 1; }
waited() { for _ in $(seq 300); do grep -qx "$1" "$runtime/host.log" && return 0; sleep 0.1; done; return 1; }
waited "showing $runtime/Clock.wdgt" || fail "the widget did not show"

# What weston shows: where the widget's colour is, as WIDTHxHEIGHT+X+Y (or
# 0x0+... where it is nowhere), and a pixel's colour.
look() { import -window root "$runtime/shot.png"; }
widget() { convert "$runtime/shot.png" -fill black +opaque '#ff00ff' -format '%@' info: 2>/dev/null; }
pixel() { convert "$runtime/shot.png" -format "%[hex:p{$1,$2}]" info:; }
# Waits until the widget shows as the pattern $1 and, given $2, a corner of
# the desktop it does not cover has that colour.
seen() {
    for _ in $(seq 100); do
        look
        found=$(widget)
        case $found in $1) [ -z "$2" ] || [ "$(pixel $(corner))" = "$2" ] && return 0 ;; esac
        sleep 0.1
    done
    return 1
}
corner() {
    at=${found#*+}
    if [ "${at%+*}" -lt 400 ]; then echo 790; else echo 10; fi
    if [ "${at#*+}" -lt 300 ]; then echo 590; else echo 10; fi
}
# Beside the widget, where the pointer's picture leaves corner() clear.
beside() { corner | { read -r cx; read -r cy; echo $((cx + 5)) $((cy + 5)); }; }
seen '160x60+*' || fail "the widget is not on the screen: $found"
x=${found#*+}; y=${x#*+}; x=${x%+*}
[ "$(pixel $((x - 10)) $((y - 10)))" = 2060A0 ] || fail "the page's margin hides the desktop"

# Dragged by its body towards the middle, wherever weston put it, it
# follows the pointer.
dx=50; [ $x -lt 400 ] || dx=-50
dy=40; [ $y -lt 300 ] || dy=-40
xdotool mousemove $((x + 80)) $((y + 30)) mousedown 1
sleep 0.5
for step in 1 2 3 4; do xdotool mousemove $((x + 80 + step * dx)) $((y + 30 + step * dy)); sleep 0.1; done
xdotool mouseup 1
x=$((x + 4 * dx)) y=$((y + 4 * dy))
seen "160x60+$x+$y" || fail "the drag left the widget at $found, not at $x,$y"

# In the dashboard the widget goes away until called up, then shows over the
# dimmed desktop (where weston puts it: a window shown again is placed anew);
# Escape sends it away, and so does a click beside it.
"$host" --layer dashboard || exit 1
seen '0x0+*' 2060A0 || fail "the dashboard did not hide the widget"
"$host" --toggle || exit 1
seen '160x60+*' 103050 || fail "the dashboard did not show the widget over the dimmed desktop"
xdotool mousemove $(beside) key Escape
seen '0x0+*' 2060A0 || fail "Escape left the dashboard up"
"$host" --toggle || exit 1
seen '160x60+*' 103050 || fail "the dashboard did not come back"
# The pointer moves first: weston tells a window the pointer is over it
# only when the pointer moves.
xdotool mousemove 400 300 sleep 0.2 mousemove $(beside) sleep 0.2 click 1
seen '0x0+*' 2060A0 || fail "a click beside the widget left the dashboard up"
kill -0 $shown || fail "the host ended"
