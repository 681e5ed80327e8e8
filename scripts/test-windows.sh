#!/usr/bin/env bash
# Cross-compiles the Qt-free engine, tarvik-cli and the engine tests for
# Windows (Debian's mingw-w64) and runs them under Wine: the tests, the
# golden output, tarvik-cli's JSON, which must equal the Linux build's,
# also for logs in a folder named with non-ASCII letters, and the live
# meter's server.
# Usage: scripts/test-windows.sh [linux-build-dir]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
linux="${1:-$root/build}"
windows="$root/build-windows"
jobs="$(nproc)"

# The README's command as written, so that it keeps working; then lightly
# optimised, as this build checks behaviour on Windows and -O1 compiles in
# half the time of -O3, and strict about warnings.
cd "$root"
cmake -S . -B build-windows -G Ninja -DTARVIK_ENGINE_ONLY=ON \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake -B "$windows" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
    -DTARVIK_WERROR=ON >/dev/null
cmake --build "$windows" --parallel "$jobs"

# A Wine prefix of our own. Without .NET and the HTML engine Wine asks for
# no downloads; one persistent server lets each program start in a moment.
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
# Wine opens windows only on an X display, which the window lister's test
# needs; Wine's desktop takes the display of the prefix's first program, so
# the prefix boots there too (its services' output kept out of any pipe).
xvfb-run -a bash -c 'wine "$1" --help >/dev/null 2>&1 &&
    ctest --test-dir "$2" --output-on-failure --parallel "$3"' \
    boot "$windows/bin/tarvik-cli.exe" "$windows" "$jobs"

samples=(data/samples/*.txt)
"$linux/bin/tarvik-cli" --json --autodetect "${samples[@]}" >"$windows/linux.json" \
    2>"$windows/linux.err"
wine "$windows/bin/tarvik-cli.exe" --json --autodetect "${samples[@]}" >"$windows/windows.json" \
    2>"$windows/windows.err"
cmp "$windows/linux.json" "$windows/windows.json"
cmp "$windows/linux.err" "$windows/windows.err"

# "Журнал Ærø": the path reaches Windows as UTF-16 and the report is the same.
unicode="$windows/$(printf 'Neverwinter Nights \xd0\x96\xd1\x83\xd1\x80\xd0\xbd\xd0\xb0\xd0\xbb \xc3\x86r\xc3\xb8')"
rm -rf "$unicode"
mkdir -p "$unicode"
cp "${samples[@]}" "$unicode/"
wine "$windows/bin/tarvik-cli.exe" --json --autodetect "$unicode"/*.txt \
    >"$windows/windows-unicode.json" 2>"$windows/windows-unicode.err"
cmp "$windows/linux.json" "$windows/windows-unicode.json"
cmp "$windows/linux.err" "$windows/windows-unicode.err"

# tarvik-cli.exe --serve on loopback: its routes, and its event stream
# carrying the follow lines of a log written in bursts.
python3 tests/serve/serve_check.py --cli "$windows/bin/tarvik-cli.exe" --emulator wine
echo "The Windows build passes its tests under Wine, prints what the Linux build prints and serves the live meter."
