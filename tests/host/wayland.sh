#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# The host under a Wayland compositor (weston.sh): the widget shows with its
# page's transparent parts see-through, follows a drag, takes commands from
# later starts, and the host keeps running. Usage: wayland.sh HOST
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

# What weston shows: the widget's colour as WIDTHxHEIGHT+X+Y, or a pixel's.
look() { import -window root "$runtime/shot.png"; }
widget() { convert "$runtime/shot.png" -fill black +opaque '#ff00ff' -format '%@' info:; }
pixel() { convert "$runtime/shot.png" -format "%[hex:p{$1,$2}]" info:; }
seen() {
    for _ in $(seq 100); do look; found=$(widget); [ "$found" = "$1" ] && return 0; sleep 0.1; done
    return 1
}
for _ in $(seq 100); do look; found=$(widget); case $found in 160x60+*) break ;; esac; sleep 0.1; done
case $found in 160x60+*) ;; *) fail "the widget is not on the screen: $found" ;; esac
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

"$host" --toggle || exit 1
waited "hiding all" || fail "--toggle did not reach the host"
for _ in $(seq 50); do look; case $(widget) in 160x60+*) sleep 0.1 ;; *) break ;; esac; done
case $(widget) in 160x60+*) fail "--toggle left the widget on the screen" ;; esac
sleep 1
kill -0 $shown || fail "the host ended"
