#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole build once, then the
# Qt-free engine tests again under AddressSanitizer and UBSan, then a minute
# of fuzzing for each libFuzzer target.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
jobs="$(nproc)"

"$root/scripts/setup.sh" "$build"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs"

sanitize="$root/build-sanitize"
cmake -S "$root" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_ENGINE_ONLY=ON \
    -DTARVIK_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
    >/dev/null
cmake --build "$sanitize" --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$sanitize" --output-on-failure --parallel "$jobs" -L engine
# Coverage-guided fuzzing of the entry points that take outside bytes (skipped without clang).
"$root/scripts/fuzz.sh" 60
echo "All tests passed."
