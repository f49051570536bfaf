#!/usr/bin/env bash
# Builds the Debian package of Pakmaster into build/ (pakmaster_<version>_<arch>.deb). Install
# it with: apt-get install ./build/pakmaster_*.deb
#
# It builds only what the package holds (the target pakmaster_installation), not the tests, in
# the same build/ as scripts/build.sh, so after a full build it rebuilds nothing.
# cpack itself builds nothing with Ninja: it runs the install rules on what is there.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build --target pakmaster_installation
rm -f build/pakmaster_*.deb
(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log >&2; exit 1; }
ls build/pakmaster_*.deb
