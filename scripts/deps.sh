#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already present.
# The one list of packages, shared by ./test.sh and ./play.sh.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev clang-tidy
    libgtest-dev libgmock-dev libbenchmark-dev
    libsdl2-dev libsdl2-mixer-dev libx11-dev
    libfreetype-dev libfontconfig-dev fonts-dejavu-core
    libpng-dev libjpeg62-turbo-dev
    libtomlplusplus-dev
    libavcodec-dev libavformat-dev libavutil-dev libswresample-dev
    libsndfile1-dev
    libcairo2-dev
    xvfb xdotool xauth x11-apps x11-utils x11-xserver-utils openbox python3
    xserver-xorg-core xserver-xorg-video-dummy
    emscripten nodejs chromium
    desktop-file-utils appstream lintian dpkg-dev man-db file
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
elif command -v sudo >/dev/null 2>&1; then
    SUDO=(sudo)
else
    echo "error: packages missing (${missing[*]}) and neither root nor sudo is available" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
