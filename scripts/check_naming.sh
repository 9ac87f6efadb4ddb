#!/usr/bin/env bash
# Checks the naming rule of .clang-tidy over every source file of src/ (and the
# headers they include), using the compile commands of build/. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
echo "== naming (clang-tidy over src/)"
run-clang-tidy -p build -j "$(nproc)" -quiet -header-filter="$root/src/.*" "$root/src/" >build/clang-tidy.log 2>&1 || {
    sed "s/\x1b\[[0-9;]*m//g" build/clang-tidy.log | grep -E "(warning|error):" | sort -u >&2
    echo "naming check failed; see build/clang-tidy.log" >&2
    exit 1
}
echo "naming clean"
