# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by the host's shell tests: a user of their own (runtime folder and
# home in a fresh folder) with one widget, $runtime/Clock.wdgt. At exit the
# processes listed in $started are ended and the folder removed.
runtime=$(mktemp -d)
started=
trap 'kill $started 2>/dev/null; rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime HOME=$runtime QTWEBENGINE_DISABLE_SANDBOX=1
mkdir "$runtime/Clock.wdgt"
cat >"$runtime/Clock.wdgt/Info.plist" <<'PLIST'
<plist><dict><key>CFBundleIdentifier</key><string>com.example.clock</string>
<key>MainHTML</key><string>main.html</string>
<key>Width</key><integer>200</integer><key>Height</key><integer>100</integer></dict></plist>
PLIST
echo '<html><body style="background: transparent">Clock</body></html>' >"$runtime/Clock.wdgt/main.html"
