#!/usr/bin/env bash
# The Debian package round trip, run by ./test.sh after the build: cpack -G DEB
# in build/, lintian (no errors; its warnings are shown), FFmpeg's libraries
# among its dependencies (for the video module), dpkg -i, the installed program
# plays headless from another folder with the build's frames and exports a
# video, dpkg -r and --purge, and no file of the package is left behind.
# It installs into the running system, so it needs root, dpkg-deb and lintian
# (skipped without them), refuses to touch a fuifje package that is already
# installed, and holds a lock so that two checkouts never race.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fail() { echo "deb test: $*" >&2; exit 1; }

for tool in dpkg-deb lintian cpack; do
    command -v "$tool" >/dev/null || { echo "deb test: skipped, $tool is missing"; exit 0; }
done
[ "$(id -u)" -eq 0 ] || { echo "deb test: skipped, installing a package needs root"; exit 0; }
exec 9>/tmp/fuifje-deb-test.lock
flock 9
if dpkg-query -W -f='${Status}' fuifje 2>/dev/null | grep -qv "not-installed"; then
    fail "a fuifje package is already on this system; remove it first (dpkg --purge fuifje)"
fi

echo "== Debian package (build/)"
version=$(build/fuifje --version | cut -d' ' -f2)
deb=$root/build/fuifje_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
(cd build && cpack -G DEB >cpack.log 2>&1) || fail "cpack failed; see build/cpack.log"
[ -f "$deb" ] || fail "cpack made no $deb"

lintian --no-tag-display-limit "$deb" 2>&1 | grep -E '^[EW]:' >build/lintian.log || true
if grep -q '^E:' build/lintian.log; then cat build/lintian.log >&2; fail "lintian found errors"; fi
echo "lintian: $(grep -c '^W:' build/lintian.log || true) warnings"
cat build/lintian.log
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libavcodec' <<<"$depends" || fail "the package does not depend on FFmpeg's libraries: $depends"

work=$(mktemp -d)
cleanup() {
    dpkg --purge fuifje >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg -L fuifje >"$work/files.txt"

cd "$work"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy /usr/games/fuifje --headless --seed 1 --frames 600 \
    --snapshot 600:installed.png || fail "the installed program did not play"
"$root/build/fuifje" --headless --seed 1 --frames 600 --snapshot 600:built.png
cmp -s installed.png built.png || fail "the installed program's frame 600 differs from the build's"
/usr/games/fuifje --export video.mp4 --seconds 1 2>/dev/null || fail "the installed program did not export a video"

dpkg -r fuifje >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -r failed"; }
dpkg --purge fuifje >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg --purge failed"; }
while read -r path; do
    # Shared folders such as /usr/share/icons stay; the package's own go with it.
    if [ -f "$path" ] || [ -L "$path" ]; then fail "$path was left behind"; fi
done <"$work/files.txt"
[ ! -e /usr/share/fuifje ] && [ -z "$(ls -d /usr/lib/*/fuifje 2>/dev/null)" ] && [ ! -e /usr/share/doc/fuifje ] ||
    fail "the package's folders were left behind"
echo "deb test: $(basename "$deb") installed, played and removed cleanly"
