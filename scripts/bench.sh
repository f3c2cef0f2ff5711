#!/usr/bin/env bash
# Builds the project (Release), runs the projection benchmark (plain loop
# against the engine, side by side), then times korvanta-render against an
# xplanet azimuthal map of the same size as whole processes, side by side, and
# reports the renderer's peak memory.
#
# As root it installs what the timing needs (hyperfine, xplanet,
# xplanet-images, time); otherwise it uses what is there.
# Environment: KORVANTA_BUILD_DIR (default build/), RUNS (default 30).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANTA_BUILD_DIR:-$root/build}
runs=${RUNS:-30}

extra=(hyperfine xplanet xplanet-images time)
missing=()
for p in "${extra[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
      { apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null; }
  else
    echo "Not installed (the timing uses what is there): ${missing[*]}" >&2
  fi
fi

KORVANTA_BUILD_DIR=$build "$root/scripts/build.sh"

echo
echo "== Map generation: plain loop against the engine (JN18EU) =="
"$build/bench/bench_projection" --benchmark_color=false

echo
echo "== Live overlays: the grey line's minute update against a generation (JN18EU) =="
"$build/bench/bench_overlays" --benchmark_color=false

render="$build/app/korvanta-render"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render_cmd=("$render" --locator JN18EU -o "$work/map.bmp")
xplanet_cmd=(xplanet -projection azimuthal -geometry 600x600 -radius 50 -starfreq 0 -num_times 1
             -output "$work/x.png" -latitude 48.85 -longitude 2.35)

echo
echo "== Whole process: korvanta-render against xplanet (600 x 600 azimuthal map) =="
"${render_cmd[@]}" >/dev/null
have_xplanet=false
if command -v xplanet >/dev/null && "${xplanet_cmd[@]}" >/dev/null 2>&1; then
  have_xplanet=true
else
  echo "xplanet is not available: timing korvanta-render alone"
fi

if command -v hyperfine >/dev/null; then
  cmds=("${render_cmd[*]}")
  $have_xplanet && cmds+=("${xplanet_cmd[*]}")
  hyperfine -N --warmup 3 --runs "$runs" "${cmds[@]}"
else
  # A plain loop: both commands in turn, N times, wall time of each run.
  tr=0
  tx=0
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    "${render_cmd[@]}" >/dev/null
    t1=$(date +%s%N)
    tr=$((tr + t1 - t0))
    if $have_xplanet; then
      t0=$(date +%s%N)
      "${xplanet_cmd[@]}" >/dev/null 2>&1
      t1=$(date +%s%N)
      tx=$((tx + t1 - t0))
    fi
  done
  echo "korvanta-render: mean $((tr / runs / 1000000)) ms over $runs runs"
  if $have_xplanet; then
    echo "xplanet:         mean $((tx / runs / 1000000)) ms over $runs runs"
    awk -v a="$tr" -v b="$tx" 'BEGIN { printf "korvanta-render is %.1fx as fast\n", b / a }'
  fi
fi

# Two commands side by side: hyperfine when it is there, else a plain loop.
side_by_side() {
  local a=$1 b=$2
  if command -v hyperfine >/dev/null; then
    if $have_xplanet; then
      hyperfine -N --warmup 3 --runs "$runs" "$a" "$b"
    else
      hyperfine -N --warmup 3 --runs "$runs" "$a"
    fi
    return
  fi
  local ta=0 tb=0 t0 t1
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N); $a >/dev/null 2>&1; t1=$(date +%s%N); ta=$((ta + t1 - t0))
    if $have_xplanet; then
      t0=$(date +%s%N); $b >/dev/null 2>&1; t1=$(date +%s%N); tb=$((tb + t1 - t0))
    fi
  done
  echo "$a: mean $((ta / runs / 1000000)) ms over $runs runs"
  if $have_xplanet; then
    echo "$b: mean $((tb / runs / 1000000)) ms over $runs runs"
    awk -v a="$ta" -v b="$tb" 'BEGIN { printf "the first is %.1fx as fast\n", b / a }'
  fi
}

for size in 600 2400; do
  echo
  echo "== Whole process: korvanta-render --fill against xplanet (${size} x ${size}) =="
  side_by_side "$render --locator JN18EU --fill --size $size -o $work/fill.png" \
    "xplanet -projection azimuthal -geometry ${size}x${size} -radius 50 -starfreq 0 -num_times 1 -output $work/x$size.png -latitude 48.85 -longitude 2.35"
done

echo
echo "== Whole process: the PDF poster (A4, 2400-pixel map) =="
"$render" --locator JN18EU --pdf -o "$work/poster.pdf" >/dev/null
if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 1 --runs 5 "$render --locator JN18EU --pdf -o $work/poster.pdf"
fi
ls -l "$work/poster.pdf" | awk '{ print "poster size: " $5 " bytes" }'

echo
echo "== Peak memory of korvanta-render =="
if [ -x /usr/bin/time ]; then
  /usr/bin/time -v "${render_cmd[@]}" 2>"$work/time.txt" >/dev/null
  grep -E "Maximum resident set size|Elapsed" "$work/time.txt"
  echo "-- --fill --size 4800:"
  /usr/bin/time -v "$render" --locator JN18EU --fill --size 4800 -o "$work/big.png" 2>"$work/time.txt" >/dev/null
  grep -E "Maximum resident set size|Elapsed" "$work/time.txt"
else
  echo "/usr/bin/time is not installed (package time)"
fi
