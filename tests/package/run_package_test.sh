#!/usr/bin/env bash
# Package test: builds the Debian package with scripts/package.sh and checks what it holds and
# needs (dpkg-deb -c / -f), has lintian check it (no error or warning may remain), validates its
# desktop entry and AppStream metainfo, and asks the packaged program for its version.
#
#   tests/package/run_package_test.sh
set -euo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$src"

for tool in dpkg-deb dpkg-parsechangelog lintian desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "package: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done

scripts/package.sh >/dev/null
debs=(build/pakmaster_*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "package: expected one package in build/, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}

work="$(mktemp -d /tmp/pakmaster-package.XXXXXX)"
trap 'rm -rf "$work"' EXIT
status=0
problem() { echo "package: $*" >&2; status=1; }

# --- The files, as dpkg-deb lists them ("./usr/..."; links as "name -> target"). -------------
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$work/files"
want=(
    "./usr/bin/pakmaster -> ../lib/pakmaster/pakmaster"
    ./usr/lib/pakmaster/pakmaster
    ./usr/lib/pakmaster/pakmaster-window
    ./usr/lib/pakmaster/pakmaster-render
    ./usr/lib/pakmaster/PKM.DLL
    ./usr/lib/pakmaster/libpakmaster_sound.so
    ./usr/lib/pakmaster/INSTALLED
    ./usr/lib/pakmaster/examples/Release.ini
    ./usr/lib/pakmaster/examples/clone.nfo
    ./usr/lib/pakmaster/examples/clone.diz
    "./usr/lib/pakmaster/zip -> ../../bin/zip"
    "./usr/lib/pakmaster/par2 -> ../../bin/par2"
    ./usr/share/applications/pakmaster.desktop
    ./usr/share/icons/hicolor/scalable/apps/pakmaster.svg
    ./usr/share/man/man1/pakmaster.1.gz
    ./usr/share/bash-completion/completions/pakmaster
    ./usr/share/doc/pakmaster/copyright
    ./usr/share/doc/pakmaster/changelog.gz
    ./usr/share/doc/pakmaster/examples/release.sh
)
for size in 16 32 48 64 128 256; do
    want+=("./usr/share/icons/hicolor/${size}x${size}/apps/pakmaster.png")
done
for f in "${want[@]}"; do
    grep -qxF "$f" "$work/files" || problem "the package lacks $f"
done
# The archivers the Rar page runs, whatever they are made of.
for archiver in rar ace32; do
    grep -qE "^\./usr/lib/pakmaster/$archiver( -> .*)?$" "$work/files" || problem "the package lacks the archiver $archiver"
done
metainfo=$(grep -E '^\./usr/share/metainfo/[^/]+\.metainfo\.xml$' "$work/files" || true)
[ -n "$metainfo" ] || problem "the package lacks its AppStream metainfo"
# Nothing a run leaves beside the program.
if grep -E '^\./usr/lib/pakmaster/(Release\.ini|[^/]*\.(nfo|diz))$' "$work/files"; then
    problem "the package carries a run's files in the program directory"
fi

# --- The fields: the libraries it links and the programs and font it runs and shows. ---------
[ "$(dpkg-deb -f "$deb" Package)" = pakmaster ] || problem "Package is not pakmaster"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || problem "no Maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 zip unzip 7zip par2 fonts-pc-extra fonts-unifont; do
    [[ ", $depends," == *", $d"[\ ,]* ]] || problem "Depends lacks $d: $depends"
done

# --- lintian: Debian's policy checks. Overrides are only for its false positives. --------------
lintian_status=0
lintian_output=$(lintian --fail-on error,warning "$deb" 2>&1) || lintian_status=$?
lintian_output=$(grep -v '^running with root privileges' <<<"$lintian_output" || true)
[ -z "$lintian_output" ] || echo "$lintian_output" >&2
[ $lintian_status -eq 0 ] || problem "lintian found errors or warnings (exit status $lintian_status)"

# --- The desktop entry, the metainfo and the program itself. ----------------------------------
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/pakmaster.desktop" || problem "the desktop entry is invalid"
# "Open with" finds it for NFO and DIZ files: the type, and *.diz added to it.
grep -qx 'MimeType=text/x-nfo;' "$work/root/usr/share/applications/pakmaster.desktop" \
    || problem "the desktop entry declares no NFO type"
grep -q '<glob pattern="\*.diz"/>' "$work/root/usr/share/mime/packages/pakmaster.xml" \
    || problem "the package does not type *.diz as text/x-nfo"
if [ -n "$metainfo" ]; then
    appstreamcli validate --no-net "$work/root/${metainfo#./}" || problem "the metainfo is invalid"
    grep -q '<launchable type="desktop-id">pakmaster.desktop</launchable>' "$work/root/${metainfo#./}" \
        || problem "the metainfo does not launch pakmaster.desktop"
fi
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/pakmaster" --version) || problem "pakmaster --version failed"
[ "$version" = "Pakmaster $(dpkg-deb -f "$deb" Version)" ] || problem "pakmaster --version says '$version'"
zcat "$work/root/usr/share/doc/pakmaster/changelog.gz" >"$work/changelog"
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version) || problem "the changelog does not parse"
[ "$changelog_version" = "$(dpkg-deb -f "$deb" Version)" ] \
    || problem "the changelog's latest entry is $changelog_version, the package is $(dpkg-deb -f "$deb" Version)"
zcat "$work/root/usr/share/man/man1/pakmaster.1.gz" | grep -qF -- '\-\-version' || problem "the man page lacks --version"

[ $status -eq 0 ] || { echo "package: FAILED ($deb)" >&2; exit 1; }
echo "package: passed: $deb ($(wc -l <"$work/files") entries; Depends: $depends)"
