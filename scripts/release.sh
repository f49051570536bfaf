#!/bin/bash
# Builds a whole release without a window or a display: the NFO and DIZ files, volumes of the
# input directory, one zip per volume holding the NFO and DIZ too, and a picture of the NFO.
#
#   scripts/release.sh INPUT_DIR OUTPUT_DIR
#
# PAKMASTER names the program (default build/bin/pakmaster). It uses the Release.ini it would
# open in the window: beside a portable copy, in ~/.config/pakmaster/ for an installed one.
set -euo pipefail
pakmaster=${PAKMASTER:-build/bin/pakmaster}
input=${1:?usage: release.sh INPUT_DIR OUTPUT_DIR}
output=${2:?usage: release.sh INPUT_DIR OUTPUT_DIR}
mkdir -p "$output/volumes" "$output/disks"

# 1. The NFO and DIZ files with this release's values; the paths written come back one a line.
mapfile -t written < <("$pakmaster" generate \
    --set "Title=Example Tool" --set "Version=2.1" --set "Date=$(date +%F)" \
    --set "DIZ title=Example Tool" --set "DIZ version=2.1" \
    --set "Notes=Unpack all zips into one directory.
Then extract the first volume with 7zz x release.7z.001.")
nfo=${written[0]}
diz=${written[1]}

# 2. Volumes of 200 KiB.
"$pakmaster" volumes --input "$input" --output "$output/volumes" --name release --size 200

# 3. disk01, disk02, ...: one volume each, the NFO and DIZ in every one.
volumes=("$output"/volumes/release.*)
spread=()
for volume in "${volumes[@]}"; do
    spread+=(--spread "$volume")
done
"$pakmaster" zips --output "$output/disks" --name disk01 --count "${#volumes[@]}" "${spread[@]}" \
    --each "$nfo" --each "$diz"

# 4. The NFO as a picture for the web page.
"$pakmaster" render "$nfo" --output "$output/release.png"
