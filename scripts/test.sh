#!/usr/bin/env bash
# Installs what is missing, builds Pakmaster and runs every test: the unit and window tests,
# the end-to-end run of the whole wizard in a real X window, the Debian package's contents and
# dependencies and lintian's verdict (build/pakmaster_*.deb), all of the unit and window tests
# again under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), and each fuzz
# target for a few seconds from its corpus (build-fuzz/).
#   FUZZ_SECONDS=n   seconds per fuzz target (default 5; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DPAKMASTER_WERROR=ON
(cd build && ctest --output-on-failure -j2)

echo "== End-to-end run of the wizard =="
tests/e2e/run_e2e.sh

echo "== Debian package =="
tests/package/run_package_test.sh

echo "== Sanitizer build (build-asan) =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAKMASTER_SANITIZE=ON -DPAKMASTER_WERROR=ON >/dev/null
cmake --build build-asan -j2
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2)

fuzz_seconds="${FUZZ_SECONDS:-5}"
if [ "$fuzz_seconds" -gt 0 ]; then
    echo "== Fuzz targets (build-fuzz), ${fuzz_seconds} s each =="
    scripts/fuzz.sh "$fuzz_seconds"
fi
