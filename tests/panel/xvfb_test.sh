#!/bin/sh
# The panel on a virtual X server, driven with xdotool and checked by
# screenshot pixels, with stand-in tools on PATH. Exits 77 (skipped) when no
# X server can be started. usage: xvfb_test.sh PANEL STAND_INS LANGUAGE_SERVER
set -u
panel=$1 stand_ins=$2 language_server=$3 SKIP=77

for tool in Xvfb xdotool import od; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit $SKIP; }
done

work=$(mktemp -d) || exit 1
xvfb_pid='' panel_pid=''
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

# Waits up to $1 tenths of a second for the rest of the line to succeed.
wait_for() {
    tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# A screen of the window's size, so the centred window lies at (0, 0).
: > "$work/display"
Xvfb -displayfd 3 -screen 0 720x760x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
if ! wait_for 50 test -s "$work/display"; then
    echo "SKIP: Xvfb could not start an X server:"
    cat "$work/xvfb.log"
    exit $SKIP
fi
export DISPLAY=":$(head -n 1 "$work/display")"

# Our own home; the panel's own folder, whose bin is the install source; and
# the working folder it is started from through a link of another name,
# which holds a compiler and a README of its own that are not the panel's.
# The default installation's version file is a FIFO, which must not stop
# the panel.
home="$work/home" app="$work/app" cwd="$work/cwd" record="$work/record"
mkdir -p "$home/.vokra/share" "$app/bin" "$cwd/bin" "$record" "$work/chosen"
mkfifo "$home/.vokra/share/version.txt"
cp "$panel" "$app/Vokra-Panel"
cp "$stand_ins/запустить" "$stand_ins/вокра_пакеты" "$app/bin/"
cp "$language_server" "$app/bin/вокра_lsp"
printf 'функция главная() {\n}\n' > "$app/bin/привет.код"
printf '# Вокра\n' > "$app/README.md"
printf '#!/bin/sh\necho decoy\n' > "$cwd/bin/запустить"
printf '# decoy\n' > "$cwd/README.md"
ln -s "$app/Vokra-Panel" "$cwd/vokra-panel"
printf '{"tag_name":"v9.9.9","body":"Новое\\nи ещё","assets":[{"name":"vokra-Linux.zip"}]}' \
    > "$work/release.json"
export HOME="$home" PATH="$stand_ins:$PATH" VOKRA_TEST_RECORD="$record" \
    VOKRA_TEST_RELEASE_JSON="$work/release.json" VOKRA_TEST_PICKED="$work/chosen"

# On a loaded machine the first connections can still be refused; SDL then
# falls back to a driver that shows nothing and the panel ends at once, so
# start it again a few times before calling that a failure.
wait_for 50 xdotool getdisplaygeometry >/dev/null 2>&1
window_of_panel() {
    window=$(xdotool search --pid "$panel_pid" 2>/dev/null | head -n 1)
    [ -n "$window" ] || ! kill -0 "$panel_pid" 2>/dev/null
}
for attempt in 1 2 3; do
    (cd "$cwd" && exec ./vokra-panel) > "$work/panel.log" 2>&1 &
    panel_pid=$!
    wait_for 100 window_of_panel
    [ -n "$window" ] && break
    kill -0 "$panel_pid" 2>/dev/null && fail "no panel window appeared"
    [ "$attempt" = 3 ] && fail "the panel ended at start-up"
    sleep 0.5
done

shot() {
    import -window root -depth 8 "rgb:$work/shot.rgb" 2>/dev/null || fail "screenshot failed"
}

pixel() {  # "r,g,b" of window pixel (x, y) in the last screenshot
    od -An -tu1 -j $((($2 * 720 + $1) * 3)) -N3 "$work/shot.rgb" | awk '{ print $1 "," $2 "," $3 }'
}

expect_pixel() {  # waits up to 5 seconds for pixel (x, y) to have colour "r,g,b"
    wait_for 50 pixel_is "$1" "$2" "$3" || fail "pixel ($1, $2) is $(pixel "$1" "$2"), expected $3 ($4)"
}
pixel_is() {
    shot
    [ "$(pixel "$1" "$2")" = "$3" ]
}

# Number of pixels in columns x1..x2-1 of rows y1..y2-1 that are bright
# (text) or, with "warm", of the overview's heading colour (255, 200, 90).
count_pixels() {
    od -An -tu1 -v -w2160 "$work/shot.rgb" |
        awk -v kind="$1" -v x1="$2" -v y1="$3" -v x2="$4" -v y2="$5" '
            NR > y1 && NR <= y2 {
                for (x = x1; x < x2; x++) {
                    r = $(3 * x + 1); g = $(3 * x + 2); b = $(3 * x + 3)
                    if (kind == "warm" ? r > 200 && g > 140 && g < 220 && b < 130 \
                                       : r > 180 && g > 180 && b > 180) n++
                }
            }
            END { print n + 0 }'
}

click() {  # then moves the pointer off every element so nothing stays hovered
    xdotool mousemove "$1" "$2" click 1 mousemove 700 650
}

expect_line() {  # waits up to 20 seconds for a line matching $2 in file $1
    wait_for 200 grep -q "$2" "$1" 2>/dev/null || fail "no line '$2' in $1"
}

SELECTED_TAB=48,54,72 IDLE_TAB=30,30,35 INDICATOR=90,160,255 DISABLED=66,69,78
DIALOG_BOX=36,39,48 SUCCESS_BAR=80,200,110 GREEN=60,160,60

xdotool mousemove 700 650
# Overview: first tab active, install and update buttons coloured, the
# buttons that need an installation grey.
expect_pixel 140 5 "$SELECTED_TAB" "active overview tab"
expect_pixel 140 55 "$IDLE_TAB" "idle packages tab"
expect_pixel 2 25 "$INDICATOR" "tab indicator at the first tab"
expect_pixel 175 225 "$GREEN" "install button"
expect_pixel 175 285 "$DISABLED" "uninstall button without an installation"
expect_pixel 175 405 200,140,40 "update button"

# The documentation tab: indicator slides, README button opens the file.
click 75 125
expect_pixel 140 105 "$SELECTED_TAB" "active documentation tab"
expect_pixel 140 5 "$IDLE_TAB" "idle overview tab"
expect_pixel 2 125 "$INDICATOR" "tab indicator at the third tab"
expect_pixel 175 325 "$GREEN" "README button"
click 280 325
expect_line "$record/xdg-open" "^$app/README.md\$"

# Back to the overview; the install button opens the confirmation dialog,
# its text lines 22 pixels apart from y 316: folder text, path, an empty
# line, then the hint.
click 75 25
expect_pixel 175 225 "$GREEN" "install button after switching back"
click 280 225
expect_pixel 300 260 "$DIALOG_BOX" "install dialog box"
expect_pixel 160 303 "$INDICATOR" "neutral accent bar"
for y in 318 340 384; do
    [ "$(count_pixels bright 154 $y 580 $((y + 18)))" -gt 20 ] || fail "no dialog line at $y"
done
[ "$(count_pixels bright 154 362 580 380)" -eq 0 ] || fail "the empty dialog line holds text"

# "Выбрать папку…" runs the folder picker and asks again for the new place;
# "Установить" then installs there.
click 356 449
expect_line "$record/zenity" directory
expect_pixel 300 260 "$DIALOG_BOX" "install dialog again after the picker"
click 500 449
installed="$work/chosen/.vokra"
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after the install"
[ "$(cat "$installed/share/version.txt")" = "0.3.3" ] || fail "wrong version file"
for program in запустить вокра_lsp вокра_пакеты; do
    cmp -s "$app/bin/$program" "$installed/bin/$program" || fail "$program not the panel's own"
    [ -x "$installed/bin/$program" ] || fail "$program not installed"
done
[ -f "$installed/share/привет.код" ] || fail "example not installed"
grep -qF "$installed/bin" "$home/.profile" || fail "no PATH line in .profile"
click 500 449
expect_pixel 175 285 170,60,60 "uninstall button once installed"

click 280 345  # build the example
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after the build"
[ -x "$installed/work/привет" ] || fail "example not built"
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
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after the uninstall"
[ -e "$installed" ] && fail "installation folder still present"
grep -qF "$installed/bin" "$home/.profile" && fail "PATH line left in .profile"
click 500 449
expect_pixel 175 285 "$DISABLED" "uninstall button after the uninstall"

# The update check finds a newer Linux release: the overview shows its notes
# under a warm heading, and the button then opens the release page.
shot
[ "$(count_pixels warm 170 452 500 470)" -eq 0 ] || fail "release heading before any check"
click 280 405
heading_shown() {
    shot
    [ "$(count_pixels warm 170 452 500 470)" -gt 20 ]
}
wait_for 100 heading_shown || fail "no release heading after the update check"
click 280 405
expect_line "$record/xdg-open" 'releases/latest'

kill -0 "$panel_pid" 2>/dev/null || fail "the panel ended"

# Installed again, a package list that prints without end, then the panel
# hung up: the listing ends with the panel, and the task folder goes.
gone() {  # the process has ended (a zombie counts as ended)
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
    [ -z "$state" ] || [ "$state" = Z ]
}
click 280 225
expect_pixel 300 260 "$DIALOG_BOX" "install dialog before the endless listing"
click 500 449
expect_pixel 160 303 "$SUCCESS_BAR" "success dialog after installing again"
click 500 449
: > "$record/endless"
click 75 75
click 280 85
expect_line "$record/endless.pid" '^[0-9]'
lister=$(cat "$record/endless.pid") task_log=$(cat "$record/endless.log")
kill -HUP "$panel_pid"
wait_for 100 gone "$panel_pid" || fail "the panel did not end on a hang-up"
wait "$panel_pid" 2>/dev/null
panel_pid=''
wait_for 50 gone "$lister" || fail "the endless listing outlived the panel"
case $task_log in /tmp/vokra_panel.*/vokra_task.*.log) ;; *) fail "task log at $task_log" ;; esac
[ -e "$(dirname "$task_log")" ] && fail "the task folder outlived the panel"
echo "PASS"
