#!/usr/bin/env bash
# How fast fuifje --export makes the built-in invitation's video (3:55, MP4):
# exports it RUNS times (default 3) with build/fuifje and prints each run's
# closing line, then the median real-time factor (video seconds per second of
# making it). The machine's load is printed first: figures from a busy machine
# say little. Usage: bench/export_speed.sh [RUNS] [webm]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
extension=${2:-mp4}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
factors=()
for run in $(seq "$runs"); do
    build/fuifje --export "$folder/invitation.$extension" 2>"$folder/stderr.txt"
    closing=$(tail -n 1 "$folder/stderr.txt")
    echo "run $run: $closing"
    factors+=("$(sed -n 's/.*(\([0-9.]*\) times real time).*/\1/p' <<<"$closing")")
done
median=$(printf '%s\n' "${factors[@]}" | sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}')
echo "median real-time factor: $median"
