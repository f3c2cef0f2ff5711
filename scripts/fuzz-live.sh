#!/usr/bin/env bash
# Builds the live stations' libFuzzer targets with clang and runs each for
# the given number of seconds (default 180). Not part of CI.
#   scripts/fuzz-live.sh [SECONDS]
# Needs clang and libclang-rt-14-dev (apt-get install clang libclang-rt-14-dev).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-180}
out=${KORVANTA_FUZZ_DIR:-$root/build/fuzz}
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$root")
common=("$root"/live/ClusterLine.cpp "$root"/live/Locator.cpp "$root"/live/Spot.cpp "$root"/live/Band.cpp
        "$root"/live/SpotFeed.cpp "$root"/live/Wsjtx.cpp "$root"/live/Endpoint.cpp)
for target in cluster_line wsjtx; do
  clang++ "${flags[@]}" "$root/tests/fuzz/fuzz_$target.cpp" "${common[@]}" -o "$out/fuzz_$target"
done
# Seeds: the cluster lines of the tests, and one datagram of each type.
"$out/fuzz_wsjtx" -runs=0 >/dev/null 2>&1 || true
corpus_c="$out/corpus_cluster"
corpus_w="$out/corpus_wsjtx"
mkdir -p "$corpus_c" "$corpus_w"
cp "$root"/tests/fuzz/corpus_cluster/* "$corpus_c"/ 2>/dev/null || true
cp "$root"/tests/fuzz/corpus_wsjtx/* "$corpus_w"/ 2>/dev/null || true
for target in cluster_line wsjtx; do
  corpus=$corpus_c
  [ "$target" = wsjtx ] && corpus=$corpus_w
  echo "== fuzz_$target for ${seconds}s"
  "$out/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 |
    grep -E "stat::|ERROR|SUMMARY|crash-|Done" || true
done
