#!/usr/bin/env bash
# Builds the rotator answer fuzzer with clang (libFuzzer + AddressSanitizer)
# and runs it for $1 seconds (default 300). Needs clang and libclang-rt-*-dev.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_OUT:-/tmp/korvanta-fuzz-rotator}
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$root" \
  "$root/tests/fuzz/fuzz_rotator_answers.cpp" "$root/link/RotatorProtocol.cpp" \
  -o "$out/fuzz_rotator_answers"
printf 'RPRT -1\n' >"$out/corpus/rprt"
printf '123.000000\n' >"$out/corpus/number"
printf 'AZ:123\r' >"$out/corpus/pst"
printf 'Tower @ 3595' >"$out/corpus/n1mm"
cd "$out"
nice -n 10 ./fuzz_rotator_answers -max_total_time="${1:-300}" -max_len=1024 corpus
