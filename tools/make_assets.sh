#!/usr/bin/env bash
# Regenerates the default assets from scratch: the six pictures and
# soundtrack.mp3 in assets/graph/, and the two stored pictures in resources/.
# Needs the Debian package "lame" to encode the MP3; the show itself needs
# neither this generator nor lame, because the generated files are committed.
# The output is the same, byte for byte, on every run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

if ! command -v lame >/dev/null 2>&1; then
    echo "error: lame is needed to encode the soundtrack (sudo apt-get install lame)" >&2
    exit 1
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuifje_make_assets

wav="$(mktemp --suffix=.wav)"
trap 'rm -f "$wav"' EXIT
"$build/tools/fuifje_make_assets" "$root" "$wav"
# Constant 112 kbit/s; lame gives the same bytes for the same samples.
lame --quiet --cbr -b 112 "$wav" "$root/assets/graph/soundtrack.mp3"
echo "assets regenerated in $root/assets/graph and $root/resources"
