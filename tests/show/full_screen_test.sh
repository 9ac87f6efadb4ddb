#!/usr/bin/env bash
# Full screen that holds on any X session: on virtual X displays of several
# shapes, bare (as a kiosk or xinit session runs) and with a window manager
# (openbox), the picture fills the screen with its aspect kept and black bars
# around, also after the resolution of a bare display changes while it plays;
# and a resized window shows it the same way inside the window. Each case
# reads the screen back (xwd) and checks where the picture's corners are.
# Usage: full_screen_test.sh path/to/fuifje
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "full screen test: $*" >&2
    exit 1
}
pids=()
# Ends what was started, the newest first (the program before its display).
# A program stuck in the window system does not answer SIGTERM: it is killed.
stop_all() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
        for _ in $(seq 40); do
            kill -0 "${pids[i]}" 2>/dev/null || break
            sleep 0.05
        done
        kill -KILL "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    pids=()
}
trap stop_all EXIT

# Runs a command every 50 ms until it succeeds, for at most ten seconds.
wait_for() {
    for _ in $(seq 200); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}
window_manager_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
show_window() { xdotool search --onlyvisible --name '^Fuifje$' | head -n 1 | grep -q .; }

# Makes the X server that writes its display number into the file NUMBER
# (-displayfd: it picks a free one itself, so tests running side by side never
# share one) the display once it answers, with openbox when WM is "openbox".
# False when the server does not come up.
use_display() {
    local number=$1 wm=$2
    wait_for test -s "$number" || return 1
    export DISPLAY=:$(head -n 1 "$number")
    rm -f "$number"
    wait_for xdotool getdisplaygeometry || return 1
    if [ "$wm" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        pids+=($!)
        wait_for window_manager_running || fail "openbox did not start"
    fi
}

# A virtual X display of SIZE (WxH). -noreset: a bare server otherwise resets
# when its last client (the readiness probe) leaves, and refuses the program
# meanwhile.
start_display() {
    local size=$1 wm=$2 number
    number=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
    pids+=($!)
    use_display "$number" "$wm" || fail "Xvfb did not start"
}

# Xorg with its dummy driver, which switches resolutions (Xvfb cannot), at
# 1024 x 768 with 1280 x 720 and 800 x 1000 to switch to. False when Xorg
# cannot start (no permission to run it).
xorg_config=$(mktemp --suffix=.conf) xorg_log=$(mktemp)
cat >"$xorg_config" <<'CONF'
Section "Device"
    Identifier "card"
    Driver "dummy"
    VideoRam 32768
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806
    Modeline "1280x720" 74.25 1280 1390 1430 1650 720 725 730 750
    Modeline "800x1000" 66.00 800 848 976 1152 1000 1003 1013 1036
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 1280 1000
        Modes "1024x768" "1280x720" "800x1000"
    EndSubSection
EndSection
Section "ServerFlags"
    Option "AutoAddDevices" "false"
EndSection
CONF
start_xorg() {
    local wm=$1 number
    number=$(mktemp)
    Xorg -displayfd 3 -config "$xorg_config" -logfile "$xorg_log" -noreset -nolisten tcp -novtswitch \
        -sharevts 3>"$number" >/dev/null 2>&1 &
    pids+=($!)
    use_display "$number" "$wm"
}

# The box an 800 x 600 picture takes when fitted into W x H at (X, Y), aspect kept.
fitted_box() {
    local x=$1 y=$2 w=$3 h=$4 pw ph
    if ((w * 600 > h * 800)); then
        ph=$h pw=$((h * 800 / 600))
    else
        pw=$w ph=$((w * 600 / 800))
    fi
    echo "$((x + (w - pw) / 2)) $((y + (h - ph) / 2)) $((x + (w - pw) / 2 + pw)) $((y + (h - ph) / 2 + ph))"
}

# True when every side of box $1 is within one pixel of box $2's.
close_to() {
    local -a a=($1) b=($2)
    [ ${#a[@]} -eq 4 ] || return 1
    for i in 0 1 2 3; do ((a[i] - b[i] <= 1 && b[i] - a[i] <= 1)) || return 1; done
}

# Waits until the lit part of AREA (x y w h) of the screen is the box EXPECTED.
expect_picture() {
    local area=$1 expected=$2 what=$3 seen=""
    for _ in $(seq 200); do
        seen=$(xwd -root -silent >"$dump" && python3 "$here/screen_picture.py" "$dump" $area)
        close_to "$seen" "$expected" && return 0
        sleep 0.05
    done
    fail "$what: the picture is at ($seen), expected ($expected)"
}

dump=$(mktemp --suffix=.xwd)
trap 'stop_all; rm -f "$dump" "$xorg_config" "$xorg_log"' EXIT

# Plays full screen on a fresh display, started by the command given, until its
# window shows. A window manager that has only just started sometimes leaves
# the first map request unanswered on a busy machine (and SDL waits for it for
# ever), so a case that shows no window gets a second, fresh display before it
# fails.
play_full_screen() {
    "$@" || return 2
    SDL_AUDIODRIVER=dummy "$program" --seed 1 &
    pids+=($!)
    wait_for show_window
}

# Full screen on displays of three shapes, bare and managed.
for case in "1024x768 none" "1280x720 none" "800x1000 none" "1024x768 openbox" "1280x720 openbox"; do
    read -r size wm <<<"$case"
    play_full_screen start_display "$size" "$wm" || { stop_all && play_full_screen start_display "$size" "$wm"; } ||
        fail "$size, $wm: no window titled Fuifje appeared"
    expect_picture "0 0 ${size/x/ }" "$(fitted_box 0 0 ${size/x/ })" "full screen at $size, window manager: $wm"
    stop_all
done

# The resolution changes while the show plays full screen, bare and managed.
for wm in none openbox; do
    play_full_screen start_xorg "$wm" || { stop_all; play_full_screen start_xorg "$wm"; }
    case $? in
    2) echo "full screen test: resolution changes skipped: Xorg with the dummy driver did not start" && break ;;
    1) fail "Xorg, $wm: no window titled Fuifje appeared" ;;
    esac
    for size in 1280x720 800x1000 1024x768; do
        xrandr -s "$size" || fail "xrandr could not switch the display to $size"
        expect_picture "0 0 ${size/x/ }" "$(fitted_box 0 0 ${size/x/ })" \
            "full screen after a switch to $size, window manager: $wm"
    done
    stop_all
done

# A window made wider than the picture: bars left and right inside the window.
start_display 1280x720 openbox
SDL_AUDIODRIVER=dummy "$program" --seed 1 --window &
pids+=($!)
wait_for show_window || fail "window: no window titled Fuifje appeared"
window=$(xdotool search --name '^Fuifje$' | head -n 1)
xdotool windowsize --sync "$window" 1000 500
read -r x y w h < <(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
[ "$w" = 1000 ] && [ "$h" = 500 ] || fail "the window was not resized (${w}x${h})"
expect_picture "$x $y $w $h" "$(fitted_box "$x" "$y" "$w" "$h")" "window resized to 1000 x 500"
echo "full screen test: the picture fills the screen letterboxed, bare and managed, after a resolution change, and a resized window"
