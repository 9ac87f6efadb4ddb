#!/usr/bin/env bash
# The picture and invitation readers under the sanitizers: the render tests built
# with AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/), the helper
# thread's tests with ThreadSanitizer (build-tsan/), then each
# libFuzzer target (build-fuzz/, clang) run for about a minute from its seed
# corpus: the committed one in fuzz/corpus/<name>/, for picture_import the PNG
# and JPEG files picture_seeds writes, and for invitation_reader the example
# invitations too. Any test failure, sanitizer report or fuzzer crash
# fails the script. FUZZ_SECONDS overrides the time per fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-60}

echo "== render tests with ASan + UBSan (build-asan/)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUIFJE_SANITIZE=ON -DFUIFJE_BENCH=OFF >/dev/null
cmake --build build-asan -j2 --target render_tests
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy FUIFJE_TEST_DATA="$root/tests/data" \
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build-asan/tests/render/render_tests --gtest_brief=1

echo "== the rasterizer's helper thread with ThreadSanitizer (build-tsan/)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUIFJE_TSAN=ON -DFUIFJE_BENCH=OFF \
    -DFUIFJE_WEB=OFF >/dev/null
cmake --build build-tsan -j2 --target platform_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/platform/platform_tests --gtest_brief=1 --gtest_filter='RowSharing*'

echo "== fuzzers (build-fuzz/, ${seconds} s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUIFJE_FUZZ=ON \
    -DFUIFJE_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target dib_stored_fuzzer bmp_file_fuzzer picture_import_fuzzer picture_seeds \
    invitation_reader_fuzzer
for name in dib_stored bmp_file picture_import invitation_reader; do
    # New inputs go to a scratch copy, so the committed seeds stay as they are.
    work=$(mktemp -d)
    if [ -d fuzz/corpus/"$name" ]; then cp fuzz/corpus/"$name"/* "$work"/; fi
    if [ "$name" = picture_import ]; then build-fuzz/fuzz/picture_seeds "$work"; fi
    if [ "$name" = invitation_reader ]; then cp examples/*/*.toml "$work"/; fi
    log=build-fuzz/"$name".log
    echo "-- ${name}_fuzzer (log: $log)"
    status=0
    build-fuzz/fuzz/"${name}"_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build-fuzz/"${name}"- "$work" >"$log" 2>&1 || status=$?
    rm -rf "$work"
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|SUMMARY)' "$log" || true
    if [ "$status" -ne 0 ]; then
        echo "${name}_fuzzer failed (exit $status); see $log, the input is in build-fuzz/" >&2
        exit 1
    fi
done
echo "== sanitizers and fuzzers clean"
