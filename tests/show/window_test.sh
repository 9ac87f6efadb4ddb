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

# A display number Xvfb picks itself, so tests running side by side never share one.
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$number")
rm -f "$number"
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
