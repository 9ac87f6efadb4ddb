#!/usr/bin/env bash
# Installs what is missing and builds the project in build/ (shared by test.sh and play.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
