#!/usr/bin/env bash
# End-to-end test: installs Pakmaster into a fresh prefix, starts it in a real X window under
# Xvfb and drives the whole wizard with mouse clicks and keys as a user would (the first-run
# message, NFO and DIZ pages with Preview, a volume run on the Rar page, a zip series on the Zip
# page), then checks every file the run produced. The installed copy keeps its files in the
# per-user folder and must leave the installation untouched. Run as root, a second pass starts
# the read-only installation as a normal user, created for it, up to a Preview.
#
#   tests/e2e/run_e2e.sh [build directory]          (default: build)
#
# PAKMASTER_SCREENSHOTS=<dir> also saves a picture of each page and window there (README's).
# PAKMASTER_E2E_KEEP=1 keeps the temporary directory for a look afterwards.
set -euo pipefail

src="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$src/build}" && pwd)"
shots="${PAKMASTER_SCREENSHOTS:-}"
[ -n "$shots" ] && mkdir -p "$shots" && shots="$(cd "$shots" && pwd)"

for tool in Xvfb xdotool xclip 7zz unzip; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
[ -n "$shots" ] && { command -v import >/dev/null || { echo "e2e: import (imagemagick) is missing" >&2; exit 1; }; }
# The NFO and DIZ files the example set gives with the values typed below, fixed bytes.
expected="$src/tests/e2e/expected"

started=$SECONDS
work="$(mktemp -d /tmp/pakmaster-e2e.XXXXXX)"
xvfb_pid=""
app_pid=""
e2e_user=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$e2e_user" ] && userdel "$e2e_user" 2>/dev/null || true
    if [ "${PAKMASTER_E2E_KEEP:-0}" = 1 ]; then echo "e2e: kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
    echo "e2e: FAILED: $*" >&2
    [ -s "$work/runs.log" ] && { echo "e2e: archiver runs seen:" >&2; sed 's/^/  /' "$work/runs.log" >&2; }
    [ -s "$app_log" ] && { echo "e2e: the program printed:" >&2; tail -n 20 "$app_log" | sed 's/^/  /' >&2; }
    if [ -n "${DISPLAY:-}" ]; then
        echo "e2e: windows on screen:" >&2
        for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            echo "  $w: $(xdotool getwindowname "$w" 2>/dev/null)" >&2
        done
        command -v import >/dev/null && import -window root "$work.failure.png" 2>/dev/null \
            && echo "e2e: screen saved as $work.failure.png" >&2
    fi
    exit 1
}

# Polls a condition (a shell command) until it holds, for at most $1 seconds.
wait_for() {
    local limit=$1; shift
    local deadline=$((SECONDS + limit))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}

# --- Install into a fresh prefix. --------------------------------------------------------------
app_log="$work/pakmaster.log"
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || fail "cmake --install"
prog="$work/prefix/lib/pakmaster"
for f in pakmaster pakmaster-window pakmaster-render PKM.DLL pkm_7z_adapter rar ace32 zip INSTALLED examples/Release.ini examples/clone.nfo examples/clone.diz; do
    [ -e "$prog/$f" ] || fail "installation lacks $f"
done
[ -L "$work/prefix/bin/pakmaster" ] || fail "installation lacks the bin/pakmaster link"
# The commands start like any small tool: the command-line program loads no Qt at all.
libraries=$(ldd "$prog/pakmaster")
if grep -q 'libQt' <<<"$libraries"; then fail "the command-line program loads Qt"; fi
libraries=$(ldd "$prog/pakmaster-window")
grep -q 'libQt6Widgets' <<<"$libraries" || fail "the window program does not load Qt Widgets"
libraries=$(ldd "$prog/pakmaster-render")
if grep -q 'libQt6Widgets' <<<"$libraries"; then fail "the picture program loads Qt Widgets"; fi
[ -f "$work/prefix/share/applications/pakmaster.desktop" ] || fail "installation lacks the desktop entry"
[ -f "$work/prefix/share/icons/hicolor/32x32/apps/pakmaster.png" ] || fail "installation lacks the icon"
# An installed copy keeps Release.ini, the templates and its outputs in the per-user folder,
# which its first start fills from the example set.
export XDG_CONFIG_HOME="$work/config"
data="$XDG_CONFIG_HOME/pakmaster"
# What the installation holds, to show afterwards that no run wrote into it.
installation() { find "$work/prefix" -printf '%P %y %s %T@\n' | sort; }
installation >"$work/installed.txt"

# --- The directory to compress: incompressible data, so it takes several volumes. -----------
input="$work/input"
mkdir -p "$input/docs/deep" "$work/volumes" "$work/zips"
head -c 700000 /dev/urandom >"$input/data1.bin"
head -c 650000 /dev/urandom >"$input/docs/data2.bin"
head -c 500000 /dev/urandom >"$input/docs/deep/data3.bin"
printf 'Read me first.\r\n' >"$input/readme.txt"
: >"$input/docs/empty.txt"

# --- X server and the program. ----------------------------------------------------------------
# Xvfb picks a free display and writes its number, ending with a newline, once it listens.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_written() { [ -s "$work/display" ] && [ "$(tail -c 1 "$work/display" | od -An -c | tr -d ' ')" = '\n' ]; }
wait_for 20 display_written || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

cd "$work"
"$work/prefix/bin/pakmaster" >"$app_log" 2>&1 &
app_pid=$!

# The window of the given title (a regular expression), once it is shown.
window() {
    local id
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1) || true
    [ -n "$id" ] || fail "no window named $1"
    echo "$id"
}
# Clicks (the command after the title) until the window of that title is shown. A press that
# reaches the program in the instant a modal dialog is closing can be lost, which a person
# never notices but a script at machine speed does; so the click is repeated, at most twice.
open_by_click() {
    local title=$1 id="" try
    shift
    for try in 1 2 3; do
        settle
        "$@"
        id=$(timeout 5 xdotool search --sync --onlyvisible --name "$title" | head -n 1) || true
        [ -n "$id" ] && break
        echo "e2e: no window named $title after click $try" >&2
    done
    [ -n "$id" ] || fail "no window named $title"
    echo "$id"
}
# Presses a Start button (page position) until a run has begun (the program has started the
# stub, or the run's first file is there already; see above), then waits for that file. A
# busy machine may take long to compress, which is no reason to press again.
start_run() {
    local first=$1 try
    for try in 1 2 3; do
        settle
        page_click "$2" "$3"
        if wait_for 5 run_begun "$first"; then
            wait_for 120 run_produced "$first" || fail "the run went on for two minutes without $first"
            [ -e "$first" ] && return 0
            echo "e2e: $(dirname "$first") holds:" >&2
            ls -la "$(dirname "$first")" | sed 's/^/  /' >&2
            fail "the run ended without $first"
        fi
        echo "e2e: no run after click $try on Start" >&2
    done
    fail "no $first"
}
# Notes the command lines of the archiver runs under way, for a report of what ran.
note_runs() { ps -o args= --ppid "$app_pid" >>"$work/runs.log" 2>/dev/null; }
run_begun() { test -e "$1" || { note_runs && pgrep -P "$app_pid" >/dev/null; }; }
# A run is over once its file is there, or once no archiver runs and no staging folder of a run
# is left in the output directory (a zip series puts its zips in place only after the last one,
# and runs no archiver between two zips).
staging_left() { find "$(dirname "$1")" -maxdepth 1 -name '.pkm-staging-*' | grep -q .; }
run_produced() { test -e "$1" || { ! pgrep -P "$app_pid" >/dev/null && ! staging_left "$1"; }; }
# Keys go to the window last focused; the focus is set again before each key sequence, since
# a dialog that has just closed can take the X input focus with it.
target=""
focus() { target=$1; xdotool windowfocus --sync "$1"; }
# Setting the focus again where it already is would make the program see the window deactivated
# and activated, and a dialog can act on its own in between; so it is set only when elsewhere.
refocus() {
    [ -z "$target" ] || [ "$(xdotool getwindowfocus 2>/dev/null)" = "$target" ] \
        || xdotool windowfocus --sync "$target"
}
# Clicks at a position in a window's client area.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# The main window's pages sit at (140, 10) in the window.
page_click() { click "$main" $((140 + $1)) $((10 + $2)); }
type_text() { refocus; xdotool type --delay 2 -- "$1"; }
key() { refocus; xdotool key "$@"; }
shoot() { [ -z "$shots" ] || import -window "$1" "$shots/$2.png"; }
# The text of the box at a position in a window, read back through the clipboard: a mark is
# put there first, so a copy the program has not made yet is not taken for the box's text.
clip_mark="e2e-mark-$$"
clip_text() { xclip -o -selection clipboard 2>/dev/null; }
clip_changed() { [ "$(clip_text)" != "$clip_mark" ]; }
focused_text() {
    printf '%s' "$clip_mark" | xclip -i -selection clipboard
    key ctrl+a ctrl+c
    wait_for 5 clip_changed || { echo "e2e: nothing copied from the box" >&2; return 0; }
    clip_text
}
box_text() { click "$1" "$2" "$3"; focused_text; }
# Types a text into the box with the keyboard focus, or the box at a position in a window
# (window x y text), and reads it back. An input event can be lost when it reaches the program
# as a dialog opens or closes, or on a machine too busy to keep up; the box is filled again,
# at most twice.
fill_box() {
    local text=${*: -1} try got
    for try in 1 2 3; do
        settle
        [ $# -eq 1 ] || click "$1" "$2" "$3"
        key ctrl+a
        type_text "$text"
        got=$(focused_text)
        [ "$got" = "$text" ] && return 0
        echo "e2e: the box holds '$got' after typing '$text' (try $try)" >&2
    done
    fail "the box does not take '$text'"
}
# Presses Return in a dialog (title) until it has closed.
confirm() {
    local try
    for try in 1 2 3; do
        settle
        key Return
        wait_for 10 gone "$1" && return 0
        echo "e2e: $1 still open after Return $try" >&2
    done
    fail "$1 did not close"
}
page_fill() { fill_box "$main" $((140 + $1)) $((10 + $2)) "$3"; }
gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
no_children() { ! pgrep -P "$app_pid" >/dev/null; }
# Waits until the program has taken every input event sent so far: a round trip through its
# event queue (the window's name property is read after the server has handled them).
settle() { xdotool getwindowname "$main" >/dev/null; }

# The first start shows the first-run message, titled as the main window is, before the main
# window itself; once it is answered the main window appears.
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
first_run_message() {
    local message size
    message=$(window '^Pakmaster v1\.0$')
    size=$(xdotool getwindowgeometry "$message" | sed -n 's/.*Geometry: //p')
    [ "$size" != "447x325" ] || fail "the main window came up without the first-run message"
    xdotool windowfocus --sync "$message"
    xdotool key Return
    wait_for 10 eval '! visible "^Pakmaster v1\\.0$" | grep -qx "$message"' || fail "the first-run message stayed"
}
first_run_message
main=$(window '^Pakmaster v1\.0$')
focus "$main"

# Page 0: all four options, then Next >.
for y in 104 128 151 175; do page_click 40 $((y + 8)); done
settle
shoot "$main" page0
click "$main" 315 304

# Page 1, NFO: select the first two sections through the tree and type their values.
nfo_title="Pakmaster end to end"
nfo_version="2.5"
page_click 30 9            # the "Nfo" node
key Down                   # Title
page_fill 200 23 "$nfo_title"      # EValue
key shift+Tab Down         # back to the tree, Version
page_fill 200 23 "$nfo_version"
key shift+Tab              # leaving the box keeps the value
settle
shoot "$main" page1
preview=$(open_by_click '^release\.nfo$' click "$main" 47 304)   # Preview
if [ -n "$shots" ]; then
    focus "$preview"
    key Next               # down to the filled-in fields; moving the cursor edits nothing
    xdotool getwindowname "$preview" >/dev/null
    shoot "$preview" preview
fi
geometry=$(xdotool getwindowgeometry --shell "$preview")
eval "$geometry"
click "$preview" $((WIDTH - 170 + 37)) $((HEIGHT - 35 + 12))   # OK
wait_for 10 gone '^release\.nfo$' || fail "the NFO preview did not close"
focus "$main"
click "$main" 315 304      # Next >

# Page 1, DIZ.
diz_title="E2E run"
diz_version="2.5"
page_click 30 9
key Down
page_fill 200 23 "$diz_title"
key shift+Tab Down
page_fill 200 23 "$diz_version"
key shift+Tab
preview=$(open_by_click '^file_id\.diz$' click "$main" 47 304)
eval "$(xdotool getwindowgeometry --shell "$preview")"
click "$preview" $((WIDTH - 170 + 37)) $((HEIGHT - 35 + 12))
wait_for 10 gone '^file_id\.diz$' || fail "the DIZ preview did not close"
focus "$main"
click "$main" 315 304      # Next >

# Page 2: input and output through the folder picker, name and size typed, Start.
# Chooses a folder with the picker of a box (page position of its button) and reads the box.
pick_folder() {
    local picker try got
    for try in 1 2 3; do
        picker=$(open_by_click '^Pakmaster\.$' page_click "$2" "$3")
        focus "$picker"
        fill_box "$1"
        confirm '^Pakmaster\.$'
        focus "$main"
        got=$(box_text "$main" $((140 + 150)) $((10 + $3)))
        [ "$got" = "$1" ] && return 0
        echo "e2e: the box holds '$got' after choosing $1 (try $try)" >&2
    done
    fail "the folder picker does not fill in $1"
}
pick_folder "$input" 285 12         # browse for the input directory
pick_folder "$work/volumes" 285 42  # browse for the output directory
page_fill 150 71 "release"          # Name of volumes
page_fill 150 101 "200"             # Size of volumes
start_run "$work/volumes/release.7z.001" 259 101
wait_for 60 no_children || fail "the volume run did not end"
settle
shoot "$main" page2
volumes=()
while IFS= read -r v; do volumes+=("$v"); done < <(cd "$work/volumes" && ls release.7z.* | sort)
count=${#volumes[@]}
[ "$count" -ge 3 ] || fail "expected several volumes, got $count"
click "$main" 315 304      # Next >

# Page 3: a series of zips, one volume in each, the NFO and DIZ in all of them.
zipdlg=$(open_by_click '^Zip files$' page_click 12 101)   # Add zip file
focus "$zipdlg"
fill_box "$zipdlg" 148 20 "disk01"
fill_box "$zipdlg" 167 50 "$count"
click "$zipdlg" 86 84      # OK
wait_for 10 gone '^Zip files$' || fail "the Zip files dialog did not close"
focus "$main"

# Adds files to the zips selected, by their paths typed into the open-file dialog. Should the
# dialog stay open after Return, the paths are typed again: the dialog may have replaced them
# by the names it selected in its list.
open_files() {
    local dlg try
    dlg=$(open_by_click '^Open$' page_click 117 101)   # Add file to zip
    focus "$dlg"
    for try in 1 2 3; do
        fill_box "$1"
        key Return
        if wait_for 10 gone '^Open$'; then
            focus "$main"
            return 0
        fi
        echo "e2e: the open-file dialog still open after Return $try" >&2
        # A message over the dialog ("file not found") bears its title too: it is answered first.
        for w in $(xdotool search --onlyvisible --name '^Open$' 2>/dev/null); do
            [ "$w" = "$dlg" ] || { xdotool windowfocus --sync "$w"; xdotool key Return; }
        done
        focus "$dlg"
    done
    fail "the open-file dialog did not take $1"
}
page_click 50 30           # zip list
key ctrl+a                 # every zip
names=""
for v in "${volumes[@]}"; do names+="\"$work/volumes/$v\" "; done
open_files "${names% }"
open_files "$data/release.nfo"
open_files "$data/file_id.diz"
page_fill 250 23 "$work/zips"       # Output directory
page_click 50 30           # back to the zip list: the first zip and its content
settle
shoot "$main" page3
start_run "$work/zips/disk01.zip" 259 100
last=$(printf 'disk%02d.zip' "$count")
wait_for 60 test -e "$work/zips/$last" || fail "no $last"
wait_for 60 no_children || fail "the zip run did not end"
settle
shoot "$main" page3-run

if [ -n "$shots" ]; then
    # The section creator, from the first page.
    click "$main" 240 304  # < Previous, back to the first page ...
    for _ in 1 2 3; do click "$main" 240 304; done
    creator=$(open_by_click 'section creator$' page_click 12 215)   # Preferences
    # Pictures only: the window may be mapped before it is painted.
    sleep 0.5
    shoot "$creator" creator
fi

# SIGTERM ends the window cleanly, with 128 + the signal number.
kill "$app_pid"
app_status=0
wait "$app_pid" 2>/dev/null || app_status=$?
app_pid=""
[ "$app_status" -eq 143 ] || fail "the window ended with status $app_status on SIGTERM, not 143"

# --- A normal user, the installation read-only. ---------------------------------------------
# The user's own HOME, with no .config yet; XDG_CONFIG_HOME is unset, so ~/.config is used.
user_pass() {
    local home="$work/home" uid gid
    e2e_user="pkm-e2e-$$"
    useradd --no-create-home --home-dir "$home" --shell /usr/sbin/nologin "$e2e_user" \
        || fail "useradd $e2e_user"
    uid=$(id -u "$e2e_user")
    gid=$(id -g "$e2e_user")
    mkdir "$home"
    chown "$uid:$gid" "$home"
    chmod 755 "$work"
    chmod -R a-w "$work/prefix"
    installation >"$work/installed.txt"
    app_log="$work/pakmaster-user.log"
    setpriv --reuid="$uid" --regid="$gid" --init-groups \
        env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin "$work/prefix/bin/pakmaster" >"$app_log" 2>&1 &
    app_pid=$!
    first_run_message
    main=$(window '^Pakmaster v1\.0$')
    focus "$main"
    page_click 40 112           # Create NFO file.
    settle
    click "$main" 315 304       # Next >
    preview=$(open_by_click '^release\.nfo$' click "$main" 47 304)
    eval "$(xdotool getwindowgeometry --shell "$preview")"
    click "$preview" $((WIDTH - 170 + 37)) $((HEIGHT - 35 + 12))
    wait_for 10 gone '^release\.nfo$' || fail "the user's NFO preview did not close"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=""

    local user_data="$home/.config/pakmaster"
    check cmp "$expected/release-defaults.nfo" "$user_data/release.nfo"
    check cmp "$prog/examples/Release.ini" "$user_data/Release.ini"
    check test "$(stat -c %U "$user_data/release.nfo")" = "$e2e_user"
}
status=0
check() { if "$@"; then :; else echo "e2e: check failed: $*" >&2; status=1; fi; }
check cmp "$work/installed.txt" <(installation)
if [ "$(id -u)" -ne 0 ] || ! command -v useradd >/dev/null || ! command -v setpriv >/dev/null; then
    echo "e2e: skipped the pass as a normal user: it needs root, useradd and setpriv to create one"
else
    user_pass
    check cmp "$work/installed.txt" <(installation)
    user_passed=1
fi
ui_seconds=$((SECONDS - started))

# --- Every produced file. -----------------------------------------------------------------------
check cmp "$expected/release.nfo" "$data/release.nfo"
check cmp "$expected/file_id.diz" "$data/file_id.diz"
# The typed values are there, the titles in capitals as their sections ask.
check grep -q "PAKMASTER END TO END" "$data/release.nfo"
check grep -q "E2E RUN" "$data/file_id.diz"

mkdir "$work/restored"
check 7zz x -y -bd "-o$work/restored" "$work/volumes/release.7z.001" >"$work/7zz.log"
check diff -r "$input" "$work/restored"

for ((i = 1; i <= count; i++)); do
    zip=$(printf '%s/zips/disk%02d.zip' "$work" "$i")
    volume=${volumes[$((i - 1))]}
    listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
    want=$(printf '%s\n' "$volume" release.nfo file_id.diz | sort | tr '\n' ' ')
    if [ "$listing" != "$want" ]; then
        echo "e2e: $zip holds: $listing; expected: $want" >&2
        status=1
    fi
    check cmp <(unzip -p "$zip" "$volume") "$work/volumes/$volume"
    check cmp <(unzip -p "$zip" release.nfo) "$data/release.nfo"
    check cmp <(unzip -p "$zip" file_id.diz) "$data/file_id.diz"
done
check test ! -e "$(printf '%s/zips/disk%02d.zip' "$work" $((count + 1)))"
unzip -l "$work/zips/disk01.zip"

[ $status -eq 0 ] || fail "produced files differ (see above)"
echo "e2e: passed: $count volumes, $count zips, NFO and DIZ byte-exact, nothing written into the" \
     "installation${user_passed:+, and again as a normal user}" \
     "(${ui_seconds}s driving the window, $((SECONDS - started))s in all)"
