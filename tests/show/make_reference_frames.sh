#!/usr/bin/env bash
# Makes the show's reference frames in tests/data/frames/ with the build's
# program: frames 600, 1000, 1300, 1600, 2500 and 7200 of seed 1 (the README's
# contact sheet), and font.txt, the file fontconfig gives for Verdana bold,
# which the text in the last three was drawn with. Run it only when the show
# is meant to look different; reference_frames_test.cpp compares against them.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=tests/data/frames
args=()
for frame in 600 1000 1300 1600 2500 7200; do
    args+=(--snapshot "$frame:$out/seed1_$(printf %04d "$frame").png")
done
build/fuifje --headless --seed 1 --frames 7200 "${args[@]}"
basename "$(fc-match -f '%{file}' 'Verdana:bold')" >"$out/font.txt"
ls -l "$out"
