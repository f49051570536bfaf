#!/usr/bin/env bash
# Builds the Debian package of Pakmaster into build/ (pakmaster_<version>_<arch>.deb), from
# the build that scripts/build.sh makes. Install it with: apt-get install ./build/pakmaster_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log >&2; exit 1; }
ls build/pakmaster_*.deb
