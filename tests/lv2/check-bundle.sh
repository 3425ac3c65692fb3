#!/bin/sh
# Checks the LV2 bundle given as $1: its Turtle is valid against the schemas
# lv2-dev installs; lv2info lists both plug-ins with every port and the 16
# presets; the shared object exports only lv2_descriptor and holds nothing
# of the VST 2 layer.
set -eu
bundle=$1
fail() { echo "check-bundle: $*" >&2; exit 1; }
# The schemas' bundles, without the plug-ins other packages put beside them.
schemas=$(dpkg -L lv2-dev | grep '^/usr/lib/lv2/[^/]*\.lv2$') || fail "lv2-dev is not installed"

sord_validate $(find $schemas -name '*.ttl') "$bundle"/*.ttl || fail "the Turtle is not valid"

# lv2info looks through LV2_PATH: a folder holding the bundle and the schemas.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
ln -s "$(cd "$bundle" && pwd)" "$folder/Tamborik.lv2"
for schema in $schemas; do ln -s "$schema" "$folder/"; done
export LV2_PATH="$folder"
[ "$(lv2ls)" = "urn:tamborik:lv2:Tamborik
urn:tamborik:lv2:TamborikMulti" ] || fail "lv2ls lists: $(lv2ls)"
check() {
    info=$(lv2info "$1")
    [ "$(echo "$info" | grep -c '^	Port [0-9]*:$')" = "$2" ] || fail "$1 does not have $2 ports"
    [ "$(echo "$info" | grep -c 'http://lv2plug.in/ns/lv2core#ControlPort')" = 86 ] || fail "$1: not 86 controls"
    [ "$(echo "$info" | grep -c 'http://lv2plug.in/ns/lv2core#AudioPort')" = "$3" ] || fail "$1: not $3 outputs"
    echo "$info" | grep -q 'Name:        Kick 1 Frequency' || fail "$1: parameter names"
    [ "$(echo "$info" | sed -n '/Presets:/,/^$/p' | grep -c '^	         ')" = 16 ] || fail "$1: not 16 presets"
}
check urn:tamborik:lv2:Tamborik 90 2
check urn:tamborik:lv2:TamborikMulti 108 20

so="$bundle/Tamborik.so"
[ "$(nm -D --defined-only "$so" | awk '{ print $3 }')" = lv2_descriptor ] || fail "exports more than lv2_descriptor"
if nm -C "$so" | grep -q 'vst::'; then fail "links the VST 2 layer"; fi
echo "check-bundle: $bundle is valid and complete"
