#!/usr/bin/env bash
# Installs what is missing, builds, and plays the show full screen (Escape ends it).
# Extra arguments go to the program, e.g. ./play.sh --window
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
exec build/fuifje "$@"
