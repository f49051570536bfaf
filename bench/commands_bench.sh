#!/usr/bin/env bash
# The commands' start-up and runs as whole processes against their references (see
# bench/commands_bench.cpp), from a portable copy of the program with the example set.
#   bench/commands_bench.sh [BUILD_DIR] [ROUNDS]      (default build-bench, 21 rounds)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-bench}"
rounds="${2:-21}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAKMASTER_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target pakmaster pakmaster_commands_bench pakmaster_hello pkm_stub pkm_archivers
work="$(mktemp -d /tmp/pakmaster-commands.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp -a "$build/bin/." "$work/"
cp examples/Release.ini examples/clone.nfo examples/clone.diz "$work/"
"$build/bench/pakmaster_commands_bench" "$work" "$build/bench/pakmaster_hello" "$rounds"
