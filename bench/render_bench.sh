#!/usr/bin/env bash
# `pakmaster render --columns 80` against `ansilove -b 8` (Debian ansilove, which draws 80
# columns) on the same NFO of 100 and of 5,000 lines, as whole processes: wall time from start
# to exit, the two alternating and taking turns at going first, and the size of each PNG.
#   bench/render_bench.sh [BUILD_DIR] [ROUNDS]      (default build, 21 rounds)
# Prints per size the median and the spread (fastest to slowest) of each, and the ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
rounds="${2:-21}"
program="$PWD/$build/bin/pakmaster"
command -v ansilove >/dev/null || { echo "ansilove is not installed: apt-get install ansilove" >&2; exit 1; }
[ -x "$program" ] || { echo "no program at $program: build it first" >&2; exit 1; }
work="$(mktemp -d /tmp/pakmaster-render.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# An NFO as groups write them: a block-art logo, a box of double lines, text inside it; 80
# columns a line.
make_nfo() {
    local lines=$1 i
    for ((i = 0; i < lines; ++i)); do
        case $((i % 5)) in
        0) printf '\xdb\xdb\xdb\xdb\xdf\xdf\xdb\xdb\xdc\xdc \xb0\xb1\xb2\xdb\xdb\xb2\xb1\xb0 %-56s\xdb\xdb\xdb\xdb\r\n' "RELEASE $i" ;;
        1) printf '\xc9%s\xbb\r\n' "$(printf '\xcd%.0s' {1..78})" ;;
        2) printf '\xba  Line %05d of the release notes: what it does, how to install it .... \xba\r\n' "$i" ;;
        3) printf '\xba  \xfe Supplied by the group  \xfe Cracked by nobody  \xfe Tested on a PC      \xba\r\n' ;;
        4) printf '\xc8%s\xbc\r\n' "$(printf '\xcd%.0s' {1..78})" ;;
        esac
    done
}

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
spread() { sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.1f-%.1f", lo / 1e6, hi / 1e6 }'; }

cd "$work"
for lines in 100 5000; do
    make_nfo "$lines" >"art$lines.nfo"
    : >"ours$lines" && : >"theirs$lines"
    run_ours() {
        local t0; t0=$(now)
        env -u DISPLAY "$program" render "art$lines.nfo" --columns 80 --output "ours$lines.png" >/dev/null
        echo $(($(now) - t0)) >>"ours$lines"
    }
    run_theirs() {
        local t0; t0=$(now)
        ansilove -q -b 8 -o "theirs$lines.png" "art$lines.nfo" >/dev/null
        echo $(($(now) - t0)) >>"theirs$lines"
    }
    run_ours && run_theirs # warm the caches
    : >"ours$lines" && : >"theirs$lines"
    for ((r = 0; r < rounds; ++r)); do
        if ((r % 2 == 0)); then run_ours && run_theirs; else run_theirs && run_ours; fi
    done
    ours=$(median <"ours$lines")
    theirs=$(median <"theirs$lines")
    ours_size=$(stat -c %s "ours$lines.png")
    theirs_size=$(stat -c %s "theirs$lines.png")
    awk -v n="$lines" -v r="$rounds" -v o="$ours" -v t="$theirs" -v os="$ours_size" -v ts="$theirs_size" \
        -v osp="$(spread <"ours$lines")" -v tsp="$(spread <"theirs$lines")" 'BEGIN {
        printf "%d lines: render %.1f ms (%s), ansilove %.1f ms (%s), median of %d: time ratio %.2f; ", n, o / 1e6, osp, t / 1e6, tsp, r, o / t
        printf "PNG %d against %d bytes: size ratio %.2f\n", os, ts, os / ts }'
done
