#!/usr/bin/env bash
# Installs the build under /usr in a temporary DESTDIR and checks what a host
# gets: the installed program plays headless from another working folder with
# the same frames as the build folder's program, also with an installed example
# invitation and with the built-in one it prints, exports a video with its
# video module (and, without that module or with a broken one, says so in one
# line and leaves no file), starts without FFmpeg's libraries, says in one line
# where it looked when its data folder is gone, runs every command line of its desktop
# entry, and its desktop entry, metadata, icons and manual page pass their
# validators; the manual page names every option of --help.
# Usage: install_test.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
usr=$work/root/usr
program=$usr/bin/fuifje
id=nl.fuifje.Fuifje
[ -x "$program" ] || fail "no program at $program"

# The installed program finds its pictures and music wherever it is run from.
mkdir "$work/elsewhere" && cd "$work/elsewhere"
"$program" --headless --seed 1 --frames 1600 --snapshot 600:installed-600.png --snapshot 1600:installed-1600.png ||
    fail "the installed program did not play"
"$build/fuifje" --headless --seed 1 --frames 1600 --snapshot 600:built-600.png --snapshot 1600:built-1600.png
for frame in 600 1600; do
    cmp -s installed-$frame.png built-$frame.png || fail "frame $frame differs from the build folder's program"
done

# An installed example given as the desktop entry gives a file (the plain
# argument), and the built-in invitation as the installed program prints it,
# naming the installed files.
example=$usr/share/doc/fuifje/examples/birthday/birthday.toml
"$program" --headless --seed 1 --frames 1600 --snapshot 1600:installed-example.png "$example"
"$build/fuifje" --headless --seed 1 --frames 1600 --snapshot 1600:built-example.png "$example"
cmp -s installed-example.png built-example.png || fail "$example plays differently when installed"
"$program" --print-invitation >printed.toml
grep -qF "\"$usr/share/fuifje/bgnd_night.bmp\"" printed.toml || fail "the printed invitation names other files"
"$program" --headless --seed 1 --frames 600 --snapshot 600:printed-600.png printed.toml
cmp -s printed-600.png built-600.png || fail "the printed invitation plays differently from the built-in one"

# Where the web module was built, the installed program writes the page from its data folder.
if [ -f "$build/fuifje-web.html" ]; then
    "$program" --export page.html 2>/dev/null || fail "the installed program did not write the page"
    [ "$(stat -c %s page.html)" -gt "$(stat -c %s "$build/fuifje-web.html")" ] || fail "the page has no invitation in it"
fi

# A video from the installed program, which opens its video module only for it.
ffmpeg=$(ldd "$program" | grep -E 'libav|libsw' || true)
[ -z "$ffmpeg" ] || fail "the program links FFmpeg's libraries: $ffmpeg"
"$program" --export video.mp4 --seconds 2 2>/dev/null || fail "the installed program did not export a video"
if command -v ffprobe >/dev/null; then
    seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 video.mp4)
    awk -v s="$seconds" 'BEGIN { exit !(s > 1.9 && s < 2.1) }' || fail "the video is $seconds s long, expected 2"
else
    [ "$(head -c 8 video.mp4 | tail -c 4)" = ftyp ] || fail "video.mp4 is not an MP4 file"
fi

# Without its video module, or with a broken one, a video export names the
# module's file and the reason in one line, exits 1 and leaves no file.
module=$(echo "$usr"/lib/*/fuifje/fuifje-video.so)
[ -f "$module" ] || fail "no video module in $usr/lib/<triplet>/fuifje/"
mv "$module" "$work/module.so"
for broken in missing empty; do
    [ "$broken" = empty ] && : >"$module"
    mkdir videos
    status=0
    "$program" --export videos/party.mp4 --seconds 1 2>errors.txt || status=$?
    [ "$status" -eq 1 ] || fail "$broken module: exit status $status, expected 1"
    [ "$(wc -l <errors.txt)" -eq 1 ] && grep -qF "\"$module\": " errors.txt ||
        fail "$broken module: not one line naming it: $(cat errors.txt)"
    rmdir videos || fail "$broken module: the export left $(ls videos)"
done
mv "$work/module.so" "$module"

# Without its data folder it names both places it looked in, in one line, and exits 1.
mv "$usr/share/fuifje" "$work/hidden"
for arguments in "--headless --frames 1" "--print-invitation"; do
    status=0
    "$program" $arguments >/dev/null 2>errors.txt || status=$?
    [ "$status" -eq 1 ] || fail "$arguments: exit status $status without a data folder, expected 1"
    [ "$(wc -l <errors.txt)" -eq 1 ] || fail "$arguments: not one line: $(cat errors.txt)"
    grep -qF "\"$usr/bin/graph/\"" errors.txt && grep -qF "\"$usr/share/fuifje/\"" errors.txt ||
        fail "$arguments: the error does not name both places: $(cat errors.txt)"
done
mv "$work/hidden" "$usr/share/fuifje"

# The desktop entry and its actions start the program with options it takes.
desktop=$usr/share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep '^Exec=' "$desktop" | while read -r line; do
    read -ra words <<<"${line#Exec=}"
    args=()
    for word in "${words[@]:1}"; do [ "$word" = %f ] || args+=("$word"); done
    "$program" "${args[@]}" --help >/dev/null 2>&1 || fail "the program refuses the desktop entry's '$line'"
done

# Metadata, checked alone and against the installed desktop entry and icon.
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream.txt")"
appstreamcli validate-tree --no-net "$usr" >"$work/appstream.txt" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$work/appstream.txt")"

for size in 48 128 256; do
    icon=$usr/share/icons/hicolor/${size}x$size/apps/$id.png
    file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "icon: $(file "$icon")"
done

# The manual page renders without a warning and names every option of --help.
page=$usr/share/man/man6/fuifje.6.gz
MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$work/man.txt"
[ ! -s "$work/man.txt" ] || fail "man: $(cat "$work/man.txt")"
for option in $("$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    zgrep -qF -- "${option//-/\\-}" "$page" || fail "the manual page does not name $option"
done
echo "install test: installed under $usr, played, validated"
