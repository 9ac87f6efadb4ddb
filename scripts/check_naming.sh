#!/usr/bin/env bash
# Checks the naming rule of .clang-tidy over every source file of src/ (and the
# headers they include), using the compile commands of build/; the web
# backend's files with those of the web module (build/web) when it was built.
# Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
echo "== naming (clang-tidy over src/)"
run-clang-tidy -p build -j "$(nproc)" -quiet -header-filter="$root/src/.*" "$root/src/" >build/clang-tidy.log 2>&1 || {
    sed "s/\x1b\[[0-9;]*m//g" build/clang-tidy.log | grep -E "(warning|error):" | sort -u >&2
    echo "naming check failed; see build/clang-tidy.log" >&2
    exit 1
}
if [ -f build/web/compile_commands.json ]; then
    # clang-tidy parses them as emscripten's compiler does: its target and system headers.
    sysroot=$(em++ --cflags | grep -o -- '--sysroot=[^ ]*' | cut -d= -f2)
    web_args=()
    for arg in -target wasm32-unknown-emscripten -DEMSCRIPTEN -D_LIBCPP_ABI_VERSION=2 "--sysroot=$sysroot" \
        "-isystem$sysroot/include/compat" "-isystem$sysroot/include/c++/v1" "-isystem$sysroot/include"; do
        web_args+=("--extra-arg-before=$arg")
    done
    clang-tidy -p build/web "${web_args[@]}" -quiet -header-filter="$root/src/.*" "$root"/src/platform/web/*.cpp \
        >build/clang-tidy-web.log 2>&1 || {
        sed "s/\x1b\[[0-9;]*m//g" build/clang-tidy-web.log | grep -E "(warning|error):" | sort -u >&2
        echo "naming check of the web backend failed; see build/clang-tidy-web.log" >&2
        exit 1
    }
fi
echo "naming clean"
