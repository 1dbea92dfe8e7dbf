# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by the host's shell tests: a user of their own, whose home is the
# runtime folder (runtime.sh), with one widget, $runtime/Clock.wdgt.
. "$(dirname "$0")/runtime.sh"
export HOME=$runtime
mkdir "$runtime/Clock.wdgt"
cat >"$runtime/Clock.wdgt/Info.plist" <<'PLIST'
<plist><dict><key>CFBundleIdentifier</key><string>com.example.clock</string>
<key>MainHTML</key><string>main.html</string>
<key>Width</key><integer>200</integer><key>Height</key><integer>100</integer></dict></plist>
PLIST
echo '<html><body style="background: transparent">Clock</body></html>' >"$runtime/Clock.wdgt/main.html"
