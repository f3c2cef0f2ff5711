#!/usr/bin/env bash
# Runs the title test program on an X server of its own: once on the bare
# server (no window manager: the root's children are walked), once more under
# openbox (its client list is read). Exit 77 (skipped) without Xvfb.
set -euo pipefail
program=$1

if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed, so the X11 title test did not run (apt-get install xvfb)"
  exit 77
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
if ! read -r -t 60 number <"$work/display"; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

echo "== bare X server on $DISPLAY"
"$program"

if command -v openbox >/dev/null; then
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  echo "== under openbox on $DISPLAY"
  KORVANTA_TEST_WM=1 "$program"
else
  echo "openbox is not installed: the pass with a window manager was skipped"
fi
