#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# How much of what breaks a widget on Linux the check finds. Copies of the
# corpus widgets are broken in known ways, one distinct problem each (plus
# what the originals already have), and checked. Recall is the share of the
# problems some line names; precision the share of the lines that name one.
# Fails below 90 % recall or on any error line that names none.
# Usage: recall.sh QUILLET CORPUS_FOLDER
quillet=$1
corpus=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
a=$work/A.wdgt
b=$work/B.wdgt
cp -r "$corpus/To Do.wdgt" "$a"
cp -r "$corpus/RiverLevels.wdgt" "$b"

# The problems, one pattern each, and the breaks that make them.
cat >"$work/expected" <<'PATTERNS'
Plugin “ToDoPlugin.widgetplugin” is a native Mac plug-in
“DatePickerWebPlugin.webplugin” is a native Mac web plug-in
“Scripts/HUD.js” is missing
“Parts/core/utilities.js” is missing
Display.js:[0-9]+: error: the script does not parse
runs “osascript”
The font “Fonts/Marker.ttf” is missing
“Images/gradient.png” is missing; it exists as “Images/Gradient.png”
builds paths in “Flags/”
“library/graph.js” is missing
“about.html” is missing
“images/usgs_logo.png” is missing; it exists as “images/USGS_logo.png”
RiverLevels.html:[0-9]+: error: the script does not parse
runs “pmset”
runs “bin/helper”, a Mac program
“images/missing.gif” is missing
Plugin “Levels.widgetplugin” is a native Mac plug-in
PATTERNS
rm "$a/Scripts/HUD.js"
printf '%s\n' "document.write('<script src=\"Parts/core/utilities.js\"><\\/script>');" >>"$a/Scripts/Navigation.js"
printf 'var broken = ;\n' >>"$a/Scripts/Display.js"
printf '%s\n' "widget.system(\"/usr/bin/osascript -e 'beep'\", null);" >>"$a/Scripts/TaskStore.js"
sed -i 's|<key>Height</key>|<key>Fonts</key><array><string>Fonts/Marker.ttf</string></array><key>Height</key>|' "$a/Info.plist"
mv "$a/Images/gradient.png" "$a/Images/Gradient.png"
printf '%s\n' "var flag = 'Flags/' + language + '.png';" >>"$a/Scripts/Localization.js"
rm "$b/library/graph.js"
printf '%s\n' '<iframe src="about.html"></iframe>' '<script>if (x {</script>' >>"$b/RiverLevels.html"
mv "$b/images/usgs_logo.png" "$b/images/USGS_logo.png"
sed -i 's|</dict>|<key>AllowSystem</key><true/><key>Plugin</key><string>Levels.widgetplugin</string></dict>|' \
    "$b/Info.plist"
printf '%s\n' "widget.system('pmset -g batt', null);" >>"$b/library/main.js"
mkdir "$b/bin"
cp "$a/ToDoPlugin.widgetplugin/Contents/MacOS/ToDoPlugin" "$b/bin/helper"
printf '%s\n' "widget.system('bin/helper', null);" >>"$b/library/flip.js"
printf '%s\n' 'el.style.background = "url(images/missing.gif)";' >>"$b/library/stations.js"

"$quillet" --check "$a" "$b" >"$work/lines"
[ -z "$QUILLET_SHOW_LINES" ] || cat "$work/lines"
problems=$(wc -l <"$work/expected")
found=0
while IFS= read -r pattern; do
    grep -qE "$pattern" "$work/lines" && found=$((found + 1)) || echo "not found: $pattern"
done <"$work/expected"
lines=$(wc -l <"$work/lines")
true_lines=$(grep -cEf "$work/expected" "$work/lines")
grep -vEf "$work/expected" "$work/lines" | sed 's/^/naming none: /'
echo "recall: $found of $problems problems; precision: $true_lines of $lines lines"
[ $((found * 10)) -ge $((problems * 9)) ] || exit 1
! grep -vEf "$work/expected" "$work/lines" | grep -q ': error: '
