#!/usr/bin/env bash
# The project's test command: install what is missing, build in build/, check
# the naming rule, run the bitmap readers under the sanitizers and their fuzzers
# for a minute each, then every test, and last the Debian package's round trip
# (install, play, remove; as root, with dpkg-deb and lintian).
set -euo pipefail
cd "$(dirname "$0")"
scripts/build.sh
scripts/check_naming.sh
scripts/sanitize_and_fuzz.sh
(cd build && ctest --output-on-failure)
scripts/deb_test.sh
