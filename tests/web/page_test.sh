#!/usr/bin/env bash
# The invitation as a web page: a program without its web module says so in
# one line and ends with status 2; the built program exports the built-in
# invitation as one page of at most 12 MB, which page_test.js plays in
# headless Chromium against the native snapshot of frame 2500.
# Usage: page_test.sh path/to/fuifje CHROMIUM NODE WHY_SKIPPED
# (WHY_SKIPPED is empty when emscripten, Chromium and Node are all there;
# otherwise the browser part is skipped with status 77 and that reason.)
set -uo pipefail
program=$1 chromium=$2 node=$3 missing=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "web page test: $*" >&2; exit 1; }

# A program alone in a folder has no web module beside it.
cp "$program" "$work/fuifje"
"$work/fuifje" --export "$work/alone.html" 2>"$work/alone.err"
status=$?
[ "$status" -eq 2 ] || fail "without a web module --export ends with $status, not 2"
[ "$(wc -l <"$work/alone.err")" -eq 1 ] && grep -q "web module .* was not built" "$work/alone.err" ||
    fail "without a web module --export says: $(cat "$work/alone.err")"
[ -e "$work/alone.html" ] && fail "without a web module a page was written anyway"

if [ -n "$missing" ]; then
    echo "web page test skipped: $missing"
    exit 77
fi

"$program" --export "$work/invitation.html" >/dev/null || fail "the export failed"
size=$(stat -c %s "$work/invitation.html")
echo "the built-in invitation's page: $size bytes"
[ "$size" -le $((12 * 1024 * 1024)) ] || fail "the page has $size bytes, more than 12 MB"
"$program" --headless --seed 1 --frames 2500 --snapshot "2500:$work/native.png" ||
    fail "the native snapshot failed"
"$node" "$here/page_test.js" "$chromium" "$work/invitation.html" "$work/native.png" 2500 ${FUIFJE_WEB_SHOTS:-}
