#!/bin/sh
# End-to-end test of the panel on a virtual X server: starts Vokra-Panel,
# reads pixels of screenshots, clicks with xdotool, and drives an install, a
# build, the package list, the README, the folder picker, the update check and
# an uninstall with stand-in tools on PATH.
#
# usage: xvfb_test.sh PANEL STAND_INS LANGUAGE_SERVER
# Exits 77 (skipped) when no X server can be started here.
set -u

panel=$1
stand_ins=$2
language_server=$3
SKIP=77

for tool in Xvfb xdotool import od; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (./build.sh installs xvfb, xdotool and imagemagick)"
        exit $SKIP
    fi
done

work=$(mktemp -d) || exit 1
xvfb_pid=''
panel_pid=''
finish() {
    [ -n "$panel_pid" ] && kill "$panel_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$work/shot.rgb" ] && cp "$work/shot.rgb" "${TMPDIR:-/tmp}/vokra_panel_failed_shot.rgb" &&
        echo "last screenshot (720x760 raw RGB): ${TMPDIR:-/tmp}/vokra_panel_failed_shot.rgb"
    [ -f "$work/panel.log" ] && cat "$work/panel.log"
    exit 1
}

# A screen of the window's size, so the centred window lies at (0, 0).
: > "$work/display"
Xvfb -displayfd 3 -screen 0 720x760x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "SKIP: Xvfb could not start an X server:"
    cat "$work/xvfb.log"
    exit $SKIP
fi
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# A home and a working folder of our own; the tools the scripts call are
# stand-ins, and the install source is the working folder's bin.
home="$work/home"
cwd="$work/cwd"
mkdir -p "$home" "$cwd/bin"
cp "$stand_ins/запустить" "$stand_ins/вокра_пакеты" "$cwd/bin/"
cp "$language_server" "$cwd/bin/вокра_lsp"
printf 'функция главная() {\n}\n' > "$cwd/bin/привет.код"
record="$work/record"
mkdir -p "$record"
printf '{"tag_name":"v9.9.9","body":"Новое\\nи ещё","assets":[{"name":"vokra-Linux.zip"}]}' \
    > "$work/release.json"
export HOME="$home"
export VOKRA_TEST_RECORD="$record" VOKRA_TEST_RELEASE_JSON="$work/release.json"
mkdir -p "$work/chosen"
export VOKRA_TEST_PICKED="$work/chosen"
printf '# Вокра\n' > "$cwd/README.md"
PATH="$stand_ins:$PATH"
export PATH

# The server writes its display number when it listens; on a loaded machine
# the first connection can still be refused, so wait until one is accepted.
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

# SDL falls back to a driver that shows nothing when it cannot reach the X
# server, and the panel then ends at once; start it again a few times before
# calling that a failure.
window=''
for attempt in 1 2 3; do
    (cd "$cwd" && exec "$panel") > "$work/panel.log" 2>&1 &
    panel_pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --pid "$panel_pid" 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        kill -0 "$panel_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$window" ] && break
    kill -0 "$panel_pid" 2>/dev/null && fail "no panel window appeared"
    [ "$attempt" = 3 ] && fail "the panel ended at start-up"
    sleep 0.5
done

shot() {
    import -window root -depth 8 "rgb:$work/shot.rgb" 2>/dev/null || fail "screenshot failed"
}

# "r,g,b" of window pixel (x, y) in the last screenshot.
pixel() {
    od -An -tu1 -j $((($2 * 720 + $1) * 3)) -N3 "$work/shot.rgb" | awk '{ print $1 "," $2 "," $3 }'
}

# Waits up to 5 seconds for pixel (x, y) to have colour "r,g,b".
expect_pixel() {
    for _ in $(seq 50); do
        shot
        [ "$(pixel "$1" "$2")" = "$3" ] && return 0
        sleep 0.1
    done
    fail "pixel ($1, $2) is $(pixel "$1" "$2"), expected $3 ($4)"
}

# Number of bright (text) pixels in rows y1..y2-1 of columns x1..x2-1.
bright_pixels() {
    od -An -tu1 -v -w2160 "$work/shot.rgb" |
        awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" '
            NR > y1 && NR <= y2 {
                for (x = x1; x < x2; x++) {
                    if ($(3 * x + 1) > 180 && $(3 * x + 2) > 180 && $(3 * x + 3) > 180) n++
                }
            }
            END { print n + 0 }'
}

# Number of pixels of the overview's warm heading colour (255, 200, 90).
warm_pixels() {
    od -An -tu1 -v -w2160 "$work/shot.rgb" |
        awk -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" '
            NR > y1 && NR <= y2 {
                for (x = x1; x < x2; x++) {
                    if ($(3 * x + 1) > 200 && $(3 * x + 2) > 140 && $(3 * x + 2) < 220 &&
                        $(3 * x + 3) < 130) n++
                }
            }
            END { print n + 0 }'
}

# Moves the pointer off every element so nothing stays hovered.
rest_pointer() {
    xdotool mousemove 700 650
}

click() {
    xdotool mousemove "$1" "$2" click 1
    rest_pointer
}

# Waits up to 20 seconds for a file test (e.g. -f path) to hold.
expect_file() {
    for _ in $(seq 200); do
        test "$1" "$2" && return 0
        sleep 0.1
    done
    fail "expected $1 $2"
}

# Waits up to 20 seconds for a line matching $2 in file $1.
expect_line() {
    for _ in $(seq 200); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "no line '$2' in $1"
}

SELECTED_TAB=48,54,72
IDLE_TAB=30,30,35
INDICATOR=90,160,255
DISABLED=66,69,78
DIALOG_BOX=36,39,48
SUCCESS_BAR=80,200,110

rest_pointer
# Overview: first tab active, install and update buttons coloured, the
# buttons that need an installation grey.
expect_pixel 140 5 "$SELECTED_TAB" "active overview tab"
expect_pixel 140 55 "$IDLE_TAB" "idle packages tab"
expect_pixel 2 25 "$INDICATOR" "tab indicator at the first tab"
expect_pixel 175 225 60,160,60 "install button"
expect_pixel 175 285 "$DISABLED" "uninstall button without an installation"
expect_pixel 175 405 200,140,40 "update button"

# The documentation tab: indicator slides, README button appears.
click 75 125
expect_pixel 140 105 "$SELECTED_TAB" "active documentation tab"
expect_pixel 140 5 "$IDLE_TAB" "idle overview tab"
expect_pixel 2 125 "$INDICATOR" "tab indicator at the third tab"
expect_pixel 175 325 60,160,60 "README button"
click 280 325
expect_line "$record/xdg-open" 'README.md'

# Back to the overview; the install button opens the confirmation dialog.
click 75 25
expect_pixel 175 225 60,160,60 "install button after switching back"
click 280 225
expect_pixel 300 260 "$DIALOG_BOX" "install dialog box"
expect_pixel 160 303 "$INDICATOR" "neutral accent bar"
# Text lines from y 316, 22 pixels apart: folder text, path, an empty line,
# then the hint.
[ "$(bright_pixels 154 318 580 336)" -gt 20 ] || fail "no first dialog line"
[ "$(bright_pixels 154 340 580 358)" -gt 20 ] || fail "no second dialog line"
[ "$(bright_pixels 154 362 580 380)" -eq 0 ] || fail "the empty dialog line holds text"
[ "$(bright_pixels 154 384 580 402)" -gt 20 ] || fail "no hint line in the dialog"

# "Выбрать папку…" runs the folder picker and asks again for the new place;
# "Установить" then installs there from the working folder's bin.
click 356 449
expect_file -s "$record/zenity"
expect_pixel 300 260 "$DIALOG_BOX" "install dialog again after the picker"
click 500 449
installed="$work/chosen/.vokra"
expect_file -s "$installed/share/version.txt"
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after the install"
[ "$(cat "$installed/share/version.txt")" = "0.3.3" ] || fail "wrong version file"
for program in запустить вокра_lsp вокра_пакеты; do
    [ -x "$installed/bin/$program" ] || fail "$program not installed"
done
[ -f "$installed/share/привет.код" ] || fail "example not installed"
grep -qF "$installed/bin" "$home/.profile" || fail "no PATH line in .profile"
click 500 449
expect_pixel 175 285 170,60,60 "uninstall button once installed"

# Build the example.
click 280 345
expect_file -x "$installed/work/привет"
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after the build"
click 500 449

# The package list fills the table: striped first row, plain second one.
click 75 75
expect_pixel 175 85 60,100,200 "list button once installed"
click 280 85
expect_pixel 600 140 60,70,90 "table header"
expect_pixel 600 165 245,245,245 "first, striped row"
expect_pixel 600 195 255,255,255 "second row"
expect_pixel 320 170 200,200,200 "column separator"

# Uninstall: confirm with "Удалить"; folder and PATH line go.
click 75 25
click 280 285
expect_pixel 300 260 "$DIALOG_BOX" "uninstall dialog box"
click 500 449
for _ in $(seq 200); do
    [ -e "$installed" ] || break
    sleep 0.1
done
[ -e "$installed" ] && fail "installation folder still present"
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after the uninstall"
grep -qF "$installed/bin" "$home/.profile" && fail "PATH line left in .profile"
click 500 449
expect_pixel 175 285 "$DISABLED" "uninstall button after the uninstall"

# The update check finds a newer release for Linux: the overview shows its
# notes under a warm heading, and the button then opens the release page.
shot
[ "$(warm_pixels 170 452 500 470)" -eq 0 ] || fail "release heading before any check"
click 280 405
for _ in $(seq 100); do
    shot
    [ "$(warm_pixels 170 452 500 470)" -gt 20 ] && break
    sleep 0.1
done
[ "$(warm_pixels 170 452 500 470)" -gt 20 ] || fail "no release heading after the update check"
click 280 405
expect_line "$record/xdg-open" 'releases/latest'

kill -0 "$panel_pid" 2>/dev/null || fail "the panel ended"
echo "PASS"
