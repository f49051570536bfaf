#!/bin/bash
# Builds a whole release without a window or a display: the NFO and DIZ files, volumes of the
# input directory, one zip per volume holding the NFO and DIZ too, and a picture of the NFO, all
# in OUTPUT_DIR.
#
#   scripts/release.sh INPUT_DIR OUTPUT_DIR
#
# The package installs it as /usr/share/doc/pakmaster/examples/release.sh. PAKMASTER names the
# program (default build/bin/pakmaster when there is one, as in a source tree, else pakmaster
# from the PATH). It uses the Release.ini and templates it would open in the window: beside a
# portable copy, in ~/.config/pakmaster/ for an installed one.
set -euo pipefail
if [ -n "${PAKMASTER:-}" ]; then
    pakmaster=$PAKMASTER
elif [ -x build/bin/pakmaster ]; then
    pakmaster=build/bin/pakmaster
else
    pakmaster=pakmaster
fi
input=${1:?usage: release.sh INPUT_DIR OUTPUT_DIR}
output=${2:?usage: release.sh INPUT_DIR OUTPUT_DIR}
mkdir -p "$output/volumes" "$output/disks"

# 1. The NFO and DIZ files with this release's values, into OUTPUT_DIR; the paths written come
# back one a line.
mapfile -t written < <("$pakmaster" generate --output "$output" \
    --set "Title=Example Tool" --set "Version=2.1" --set "Date=$(date +%F)" \
    --set "DIZ title=Example Tool" --set "DIZ version=2.1" \
    --set "Notes=Unpack all zips into one directory.
Then extract the first volume with 7zz x release.7z.001.")
nfo=${written[0]}
diz=${written[1]}

# 2. Volumes of 200,000 bytes.
"$pakmaster" volumes --input "$input" --output "$output/volumes" --name release --size 200

# 3. disk01, disk02, ...: one volume each, the NFO and DIZ in every one.
volumes=("$output"/volumes/release.7z.*)
spread=()
for volume in "${volumes[@]}"; do
    spread+=(--spread "$volume")
done
"$pakmaster" zips --output "$output/disks" --name disk01 --count "${#volumes[@]}" "${spread[@]}" \
    --each "$nfo" --each "$diz"

# 4. The NFO as a picture for the web page.
"$pakmaster" render "$nfo" --output "$output/release.png"

# 5. How to check the zips against their checksums.
echo "Check the release with: $pakmaster verify $output/disks/disk.sfv"
