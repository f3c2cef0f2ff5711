#!/usr/bin/env bash
# Regenerates the pictures in resources/ from GSHHG and DCW data (Debian's
# gmt-gshhg and gmt-dcw packages). Only needed to change the pictures: the
# normal build embeds the committed files.
#
#   tools/make_pictures.sh [--cache DIR]
#
# --cache keeps the extracted shoreline and country data in DIR, so that a
# second run only redoes the drawing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup-tools.sh"

cache=()
if [ "${1:-}" = "--cache" ] && [ -n "${2:-}" ]; then
  mkdir -p "$2"
  cache=(--cache "$2")
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Debian's interpreter, which has the python3-* packages.
py=/usr/bin/python3
"$py" "$root/tools/make_worldmap.py" "$out/worldmap.png" --report "$out/worldmap-report.txt" "${cache[@]}"
# The large world maps of the gap-free maps: the same data at two and four
# times the size, each country in the colour it has on the first.
for k in 2 4; do
  "$py" "$root/tools/make_worldmap.py" "$out/worldmap-$((1194 * k)).png" --scale "$k" --palette \
    --colours "$out/worldmap-report.txt" "${cache[@]}" >/dev/null
done
"$py" "$root/tools/make_pictures.py" "$out"
# Each file is replaced only once it is complete.
for f in worldmap.png worldmap-2388.png worldmap-4776.png background.png tovak.png dx.png dx45.png korvanta.png worldmap-report.txt; do
  cp "$out/$f" "$root/resources/$f.tmp"
  mv "$root/resources/$f.tmp" "$root/resources/$f"
done
echo "Pictures written to $root/resources (country colours: resources/worldmap-report.txt)"
