#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ (clang) and runs each one from its seed corpus.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# New inputs that reach new code go to build-fuzz/corpus/<target>/ (the checked-in seeds in
# fuzz/corpus/ are only read); a crash input is written to build-fuzz/crashes/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(profile_reader line_splitter generator command_line zip_name file_name)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPAKMASTER_GUI=OFF -DPAKMASTER_TESTS=OFF -DPAKMASTER_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 >/dev/null

mkdir -p build-fuzz/crashes
status=0
for t in "${targets[@]}"; do
    work="build-fuzz/corpus/$t"
    mkdir -p "$work"
    log="build-fuzz/fuzz_$t.log"
    # Release.ini inputs reach past the 8192-byte list of section names only above 8 KiB.
    max_len=8192
    [ "$t" = profile_reader ] && max_len=16384
    if build-fuzz/fuzz/fuzz_"$t" "$work" "fuzz/corpus/$t" -max_total_time="$seconds" -max_len="$max_len" \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crashes/${t}-" >"$log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
        echo "fuzz_$t: ${runs} executions, no crash"
    else
        echo "fuzz_$t: FAILED (see $log)"
        tail -n 30 "$log"
        status=1
    fi
done
exit $status
