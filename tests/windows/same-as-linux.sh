#!/bin/sh
# Records what the Linux module and the Windows module (under wine) compute
# and requires every bank value, sweep hash and sample to be identical:
#   same-as-linux.sh WINE WINE_FOLDER WINDOWS_BUILD LINUX_BUILD WINDOWS_PROBE
set -eu
wine=$1
wine_folder=$2
build=$3
linux=$4
probe=$5
out=$build/same-as-linux
if [ ! -x "$linux/tamborik_module_probe" ] || [ ! -f "$linux/Tamborik.so" ]; then
    echo "same-as-linux: build the Linux module and probe in $linux first" >&2
    exit 1
fi
rm -rf "$out"
mkdir -p "$out"
"$linux/tamborik_module_probe" record "$linux/Tamborik.so" "$out/linux"
windows_out=Z:$(printf '%s' "$out/windows" | tr / '\\')
windows_module=Z:$(printf '%s' "$build/Tamborik.dll" | tr / '\\')
sh "$(dirname "$0")/../../scripts/wine-run" "$wine" "$wine_folder" same_as_linux \
    "$probe" record "$windows_module" "$windows_out"
status=0
"$linux/tamborik_module_probe" compare "$out/linux" "$out/windows" || status=$?
[ $status -eq 0 ] && rm -rf "$out"
exit $status
