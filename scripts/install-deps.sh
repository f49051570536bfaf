#!/usr/bin/env bash
# Installs the Debian packages Pakmaster needs to build, run and test. Safe to run again:
# it installs only what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    zip unzip 7zip par2 cksfv mtools
    fonts-pc-extra fonts-unifont fonts-dejavu-core fonts-liberation2
    xvfb xauth xdotool xclip imagemagick
    dpkg-dev desktop-file-utils appstream lintian
    clang libclang-rt-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
