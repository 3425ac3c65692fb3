#!/bin/sh
# Checks that a built Windows module carries the "Settings" dialog exactly:
#   check-settings-dialog.sh WINDRES MODULE.dll EXPECTED.rc
# The resource compiler lists the module's dialog 1000 as a script; every
# control, id, caption, rectangle, style and the font must be as expected.
set -eu
windres=$1
module=$2
expected=$3
found=$("$windres" -i "$module" -O rc | sed -n '/^1000 DIALOG/,/^END/p')
if [ "$found" != "$(cat "$expected")" ]; then
    echo "settings dialog: $module differs from $expected:" >&2
    printf '%s\n' "$found" | diff "$expected" - >&2 || true
    exit 1
fi
echo "settings dialog: as expected in $module"
