#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds Tarvik.
# Usage: scripts/setup.sh [build-dir] [cmake options...]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift $(($# > 0 ? 1 : 0))

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev nlohmann-json3-dev libboost-dev libxcb1-dev xvfb xauth python3)
# The live meter's test in a real browser (headless).
packages+=(chromium)
# The Debian package and its checks (scripts/test-package.sh).
packages+=(dpkg-dev file desktop-file-utils appstream)
# The Windows build and Wine to run it (scripts/test-windows.sh).
packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64)
# The fuzzers (scripts/fuzz.sh).
packages+=(clang libclang-rt-dev)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) -eq 0 ]]; then
        sudo=()
    elif command -v sudo >/dev/null; then
        sudo=(sudo)
    else
        echo "These packages are missing and there is no sudo: ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq || true
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
