#!/usr/bin/env bash
# Builds the programs for release (warnings are errors), packs them with
# `cpack -G DEB`, unpacks the package into a scratch folder and checks what it
# installs: the unpacked tarvik-cli finds its shipped configuration on its own
# and prints what the development build prints, and the desktop entry and the
# AppStream metadata pass their validators.
# With --from-build the development build is packed instead of a release build
# of its own: the same install rules at a third of the time (the test run uses it).
# Usage: scripts/test-package.sh [development-build-dir] [--from-build]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
development="${1:-$root/build}"
release="$root/build-release"
jobs="$(nproc)"
app_id=io.github.tarvik.Tarvik

mkdir -p "$release"
if [[ ${2:-} == --from-build ]]; then
    packed="$development"
else
    packed="$release"
    cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_WERROR=ON \
        -DTARVIK_BUILD_TESTS=OFF -DTARVIK_BUILD_BENCH=OFF >/dev/null
    cmake --build "$release" --parallel "$jobs"
fi
rm -f "$packed"/tarvik_*.deb
(cd "$packed" && cpack -G DEB >/dev/null)
deb=("$packed"/tarvik_*.deb)
echo "Built ${deb[0]##*/}"

depends="$(dpkg-deb -f "${deb[0]}" Depends)"
if [[ $depends != *libqt6widgets6* ]]; then
    echo "The package does not depend on the Qt libraries it links: '$depends'" >&2
    exit 1
fi

scratch="$release/unpacked"
rm -rf "$scratch"
dpkg-deb -x "${deb[0]}" "$scratch"
for file in usr/bin/Tarvik usr/bin/tarvik-cli usr/share/tarvik/Tarvik.ini \
    usr/share/tarvik/Tarvik_help.txt usr/share/tarvik/Tarvik_history.txt \
    usr/share/man/man1/tarvik-cli.1.gz usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    usr/share/icons/hicolor/16x16/apps/$app_id.png usr/share/icons/hicolor/256x256/apps/$app_id.png; do
    if [[ ! -s $scratch/$file ]]; then
        echo "The package lacks /$file" >&2
        exit 1
    fi
done
desktop-file-validate "$scratch/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$scratch/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null

# A home of its own keeps a user's copy of Tarvik.ini out of the comparison.
home="$release/home"
rm -rf "$home"
mkdir -p "$home"
cd "$root"
samples=(data/samples/*.txt)
HOME="$home" XDG_CONFIG_HOME="" XDG_DATA_HOME="" "$scratch/usr/bin/tarvik-cli" --json --autodetect \
    "${samples[@]}" >"$release/installed.json" 2>"$release/installed.err"
"$development/bin/tarvik-cli" --json --autodetect "${samples[@]}" \
    >"$release/development.json" 2>"$release/development.err"
cmp "$release/installed.json" "$release/development.json"
cmp "$release/installed.err" "$release/development.err"
echo "The package installs cleanly and its tarvik-cli prints what the development build prints."
