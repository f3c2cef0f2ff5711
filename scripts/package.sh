#!/usr/bin/env bash
# Builds the Debian package of Korvanta into build/ (or $KORVANTA_BUILD_DIR):
#   scripts/package.sh && sudo apt install ./build/korvanta_2.2.1_*.deb
# The package's dependencies are computed by dpkg-shlibdeps (dpkg-dev).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
cd "$build"
rm -f korvanta_*.deb
cpack -G DEB >/dev/null
ls "$build"/korvanta_*.deb
