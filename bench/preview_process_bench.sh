#!/usr/bin/env bash
# Opening a generated file of 2,000 and of 20,000 lines in the fixed-font window as the preview
# does, against Qt's QPlainTextEdit with the same text, font and size, each opening in a
# process of its own (so neither inherits the other's allocator state), the two alternating.
#   bench/preview_process_bench.sh [BUILD_DIR] [ROUNDS]      (default build-bench, 21 rounds)
# Prints per size the median and the spread (fastest to slowest) of each and the ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-bench}"
rounds="${2:-21}"
open="$build/bench/pakmaster_preview_open"
[ -x "$open" ] || { echo "no $open: configure with -DPAKMASTER_BENCH=ON and build it" >&2; exit 1; }
work="$(mktemp -d /tmp/pakmaster-preview.XXXXXX)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
spread() { sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.1f-%.1f", lo, hi }'; }

for lines in 2000 20000; do
    : >"$work/window" && : >"$work/plain"
    "$open" window "$lines" >/dev/null && "$open" plain "$lines" >/dev/null # warm the caches
    for ((r = 0; r < rounds; ++r)); do
        if ((r % 2 == 0)); then order="window plain"; else order="plain window"; fi
        for what in $order; do "$open" "$what" "$lines" >>"$work/$what"; done
    done
    w=$(median <"$work/window")
    p=$(median <"$work/plain")
    awk -v n="$lines" -v r="$rounds" -v w="$w" -v p="$p" -v ws="$(spread <"$work/window")" \
        -v ps="$(spread <"$work/plain")" 'BEGIN {
        printf "%d lines: window %.1f ms (%s), QPlainTextEdit %.1f ms (%s), median of %d: ratio %.2f\n", n, w, ws, p, ps, r, w / p }'
done
