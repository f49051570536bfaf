#!/usr/bin/env bash
# Builds and runs the volume-run benchmark: a whole Rar-page run against 7zz alone on about
# 110 MB (made once under build-bench/bench-data). Takes several minutes; not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PAKMASTER_BENCH_BUILD:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAKMASTER_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target pakmaster_volume_run_bench pkm_stub pkm_archivers
"$build/bench/pakmaster_volume_run_bench" "$@"
