#!/usr/bin/env bash
# Sets up, builds and runs every test: the include order of the layers
# first, then the whole build once, then the Qt-free engine tests again
# under AddressSanitizer and UBSan, then twenty seconds of fuzzing for each
# libFuzzer target, then the build packed as a Debian package, then the
# engine built for Windows and run under Wine.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
jobs="$(nproc)"

# Before anything is built: an include against the layer order fails at once.
python3 "$root/scripts/check-layers.py" "$root"

# Without debug information and lightly optimised: the tests check behaviour,
# not speed, and compile and link much faster so.
"$root/scripts/setup.sh" "$build" -DTARVIK_WERROR=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -DNDEBUG"
ctest --test-dir "$build" --output-on-failure --parallel "$jobs"

sanitize="$root/build-sanitize"
cmake -S "$root" -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_ENGINE_ONLY=ON \
    -DTARVIK_BUILD_BENCH=OFF -DTARVIK_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all" \
    >/dev/null
cmake --build "$sanitize" --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$sanitize" --output-on-failure --parallel "$jobs" -L engine

# Coverage-guided fuzzing of the entry points that take outside bytes (skipped without clang).
"$root/scripts/fuzz.sh" 20

"$root/scripts/test-package.sh" "$build" --from-build
"$root/scripts/test-windows.sh" "$build"
echo "All tests passed."
