#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks what it holds:
# every installed file, the desktop entry and AppStream metadata, lintian's
# verdict, and that an installed program finds its help pages.
# Usage: test_package.sh BUILD_DIR LAYOUT_TEST   (exit 77: skipped)
set -euo pipefail
build=$1
layout_test=$2
if ! command -v dpkg-deb >/dev/null || ! command -v cpack >/dev/null; then
  echo "SKIPPED: dpkg-deb or cpack is not installed (packages dpkg, cmake)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { if ! "$@"; then echo "FAILED: $*"; fail=1; fi; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/korvanta_2.2.1_*.deb)
echo "package: $(basename "$deb")"

# The fields of the package.
field() { dpkg-deb -f "$deb" "$1"; }
check test "$(field Package)" = korvanta
check test "$(field Version)" = 2.2.1
check test "$(field Section)" = hamradio
check test "$(field Architecture)" = "$(dpkg --print-architecture)"
check grep -q "libqt6widgets6" <<<"$(field Depends)"
check grep -q "<" <<<"$(field Maintainer)"
check test -n "$(field Description)"

# Every file the installation puts in place.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's#^\./#/#' >"$work/list"
expected=(
  /usr/bin/korvanta /usr/bin/korvanta-render /usr/bin/korvanta-call /usr/bin/korvanta-link
  /usr/bin/korvanta-spots /usr/share/man/man1/korvanta-spots.1.gz
  /usr/share/korvanta/korvanta_en.html /usr/share/korvanta/korvanta_fr.html
  /usr/share/korvanta/korvanta_es.html
  /usr/share/applications/korvanta.desktop /usr/share/metainfo/korvanta.metainfo.xml
  /usr/share/man/man1/korvanta.1.gz /usr/share/man/man1/korvanta-render.1.gz
  /usr/share/man/man1/korvanta-call.1.gz /usr/share/man/man1/korvanta-link.1.gz
  /usr/share/doc/korvanta/copyright /usr/share/doc/korvanta/changelog.gz
)
for size in 16 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/korvanta.png")
done
for extra in ${KORVANTA_EXPECTED_EXTRA:-}; do expected+=("$extra"); done
for f in "${expected[@]}"; do
  check grep -qx "$f" "$work/list"
done
# Nothing of the tests or benchmarks.
check test -z "$(grep -E '/(test_|bench_)' "$work/list" || true)"

# The metadata files as installed.
dpkg-deb -x "$deb" "$work/root"
if command -v desktop-file-validate >/dev/null; then
  check desktop-file-validate "$work/root/usr/share/applications/korvanta.desktop"
else
  echo "desktop-file-validate is not installed (desktop-file-utils): not checked"
fi
if command -v appstreamcli >/dev/null; then
  check appstreamcli validate --no-net "$work/root/usr/share/metainfo/korvanta.metainfo.xml"
else
  echo "appstreamcli is not installed (appstream): not checked"
fi
# Manual pages that man can read (compressed, with their sections).
for page in "$work"/root/usr/share/man/man1/*.1.gz; do
  check bash -c "zcat '$page' | grep -q '^\.SH \"*EXIT STATUS'"
done
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
  grep -v "root privileges" "$work/lintian.log" || true
  check test -z "$(grep '^E: ' "$work/lintian.log" || true)"
else
  echo "lintian is not installed: not checked"
fi

# A staged installation finds its help pages from its own executable's folder.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
check env KORVANTA_STAGED_BIN="$work/stage/usr/bin" "$layout_test"

if [ $fail -ne 0 ]; then exit 1; fi
echo "1 passed, 0 failed"
