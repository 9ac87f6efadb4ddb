#!/usr/bin/env bash
# Regenerates the example invitations' pictures and music in examples/ and
# their contact sheets in docs/ (six frames of each, seed 1, as the program's
# own snapshots). Needs the Debian packages "vorbis-tools" (oggenc) and "lame"
# for the music; the examples themselves are committed, so playing them needs
# neither. The invitation files (*.toml) are written by hand.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

for tool in oggenc lame; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "error: $tool is needed to encode the examples' music (sudo apt-get install vorbis-tools lame)" >&2
        exit 1
    }
done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuifje fuifje_make_examples fuifje_contact_sheet

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/tools/fuifje_make_examples" "$root" "$work/birthday.wav" "$work/mariage.wav"
oggenc -Q -q 0 --serial 1 -o "$root/examples/birthday/party_tune.ogg" "$work/birthday.wav"
lame --quiet --cbr -b 48 "$work/mariage.wav" "$root/examples/mariage/valse.mp3"

# NAME FRAMES...: a contact sheet of the example's frames; the last one shows
# the date and time in place (after its last year caption has stopped).
sheet() {
    local name=$1 args=() frames=()
    shift
    for f in "$@"; do
        args+=(--snapshot "$f:$work/$name-$f.png")
        frames+=("$work/$name-$f.png")
    done
    "$build/fuifje" --headless --seed 1 --frames "${*: -1}" "${args[@]}" "$root/examples/$name/$name.toml"
    "$build/tools/fuifje_contact_sheet" "$root/docs/contact_sheet_$name.png" "${frames[@]}"
}
sheet birthday 600 1300 1600 2500 5000 8000
sheet mariage 600 1300 1600 2500 3200 3500
echo "examples regenerated in $root/examples, contact sheets in $root/docs"
