#!/bin/sh
# Runs a command with an X server of its own (Xvfb, on the first free
# display), named to wine-run in WINE_RUN_DISPLAY, and stops the server
# afterwards:  with-xvfb.sh COMMAND [ARG…]
set -eu
folder=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$folder/display" 2>/dev/null &
server=$!
stop() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -rf "$folder"
}
trap stop EXIT
tries=0
while [ ! -s "$folder/display" ] && [ $tries -lt 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
number=$(head -n 1 "$folder/display")
[ -n "$number" ] || { echo "with-xvfb: Xvfb did not start (scripts/bootstrap installs it)" >&2; exit 1; }
WINE_RUN_DISPLAY=":$number" "$@"
