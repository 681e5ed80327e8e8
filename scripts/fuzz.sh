#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan in a
# build folder of their own, and runs each on its seeds for a while. A crash,
# a leak, a timeout or a sanitizer report fails the run.
# Usage: scripts/fuzz.sh [SECONDS-PER-TARGET]   (default 60)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
seconds="${1:-60}"
targets=(log config dates)

clang=""
for candidate in clang++ clang++-14; do
    if command -v "$candidate" >/dev/null; then
        clang="$(command -v "$candidate")"
        break
    fi
done
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
if [[ -z "$clang" ]] || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    "$clang" -x c++ -fsanitize=fuzzer,address,undefined - -o "$probe/probe" 2>/dev/null; then
    echo "Fuzzing skipped: no clang++ with libFuzzer (Debian: apt-get install clang libclang-rt-dev)."
    exit 0
fi

# -O1 builds faster than -O2 and, inlining less, shows the fuzzer more edges.
flags="-O1 -gline-tables-only -fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer"
flags+=" -fno-sanitize-recover=all"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_CXX_FLAGS="$flags" \
    -DTARVIK_ENGINE_ONLY=ON -DTARVIK_BUILD_TESTS=OFF -DTARVIK_BUILD_BENCH=OFF \
    -DTARVIK_BUILD_FUZZ=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target tarvik-loggen \
    "${targets[@]/#/tarvik-fuzz-}"

# Each run starts from the seeds in fuzz/seeds and what the project itself
# writes: the shipped configuration and generated logs. What a run finds stays
# in the build folder.
work="$build/runs"
rm -rf "$work"
for target in "${targets[@]}"; do
    mkdir -p "$work/$target/corpus"
    cp "$root/fuzz/seeds/$target/"* "$work/$target/corpus/"
done
cp "$root/data/Tarvik.ini" "$work/config/corpus/shipped.ini"
for style in ee classic; do
    "$build/bin/tarvik-loggen" 40 "$work/log/corpus/generated-$style.txt" 7 "$style" >/dev/null
done

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
pids=()
for target in "${targets[@]}"; do
    (cd "$work/$target" &&
        "$build/bin/tarvik-fuzz-$target" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 corpus >log.txt 2>&1) &
    pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
    target="${targets[$i]}"
    if wait "${pids[$i]}"; then
        echo "fuzz $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$work/$target/log.txt" |
            grep -o '[0-9]*$') runs, no finding"
    else
        failed=1
        echo "fuzz $target FAILED; the input is in $work/$target:" >&2
        tail -n 60 "$work/$target/log.txt" >&2
    fi
done
exit "$failed"
