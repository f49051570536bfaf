#!/usr/bin/env bash
# Start-up of the program against a bare 447 x 325 dialog and the same dialog with one label
# (the cost of loading fonts at all), timed as whole processes until their window is mapped, on
# a private Xvfb display. The program runs from a copy of its
# directory that holds the example templates, so it starts as a user's copy does.
#   bench/startup_bench.sh [BUILD_DIR] [ROUNDS]      (default build-bench, 21 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-bench}"
rounds="${2:-21}"
work="$(mktemp -d /tmp/pakmaster-startup.XXXXXX)"
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

cp -a "$build/bin/." "$work/"
cp examples/Release.ini examples/clone.nfo examples/clone.diz "$work/"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/bench/pakmaster_startup_bench" "$rounds" \
    "$build/bench/pakmaster_bare_dialog" "$build/bench/pakmaster_label_dialog" "$work/pakmaster"
