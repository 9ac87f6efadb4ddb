#!/usr/bin/env bash
# Plays the show in a real window on a virtual X display: the window appears,
# frames reach the screen, and Escape ends the program with status 0 within
# two seconds. Usage: window_test.sh path/to/fuifje
set -uo pipefail
program=$1

fail() { echo "window test: $*" >&2; exit 1; }
cleanup() {
    [ -n "${show:-}" ] && kill "$show" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
}
trap cleanup EXIT

# A display number nobody uses.
for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start on $DISPLAY"

SDL_AUDIODRIVER=dummy "$program" --window --seed 1 &
show=$!

window=""
for _ in $(seq 100); do
    window=$(xdotool search --name '^Fuifje$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || fail "no window titled Fuifje appeared"

# The night sky is drawn within a second; a black screen has only zero pixels.
sleep 1.5
lit=$(xwd -root -silent | tr -d '\000' | wc -c)
[ "$lit" -gt 200000 ] || fail "no frame reached the screen ($lit lit bytes)"

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --window "$window" Escape
for _ in $(seq 40); do
    kill -0 "$show" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$show" 2>/dev/null && fail "the program did not end within two seconds of Escape"
wait "$show"
status=$?
show=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "window test: window shown, frames presented, Escape ended the program"
