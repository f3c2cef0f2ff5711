#!/usr/bin/env bash
# Builds Korvanta and starts the desktop program: scripts/run.sh [LOCATOR]
# A locator (e.g. JN18EU) generates its map at start. The program keeps
# korvanta.ini beside the executable (build/app/), whose folder is writable.
# Without a display, the map is written to a file by the headless renderer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$root/build}

"$root/scripts/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  locator=${1:-JN18EU}
  out="$PWD/korvanta-map.bmp"
  echo "No display available (DISPLAY and WAYLAND_DISPLAY are not set):" \
       "writing the map for $locator with the headless renderer instead."
  "$build/app/korvanta-render" --locator "$locator" -o "$out"
  echo "Map written to $out"
  exit 0
fi

exec "$build/app/korvanta" "$@"
