#!/usr/bin/env bash
# Sets up, builds and runs Tarvik on the bundled demo session (a party of
# four through three evenings of fights). Without a display it prints the
# text report of the command-line tool instead.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
"$root/scripts/setup.sh" "$build"

samples=("$root"/data/samples/demo/*.txt)
if [[ -x "$build/bin/Tarvik" && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
    exec "$build/bin/Tarvik" "${samples[@]}"
fi
echo "No display found; printing the text report of the bundled demo session."
exec "$build/bin/tarvik-cli" --autodetect --fights "${samples[@]}"
