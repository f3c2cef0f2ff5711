#!/usr/bin/env bash
# Builds the azimuth server's request fuzzer with clang (libFuzzer +
# AddressSanitizer + UBSan) and runs it for $1 seconds (default 300). Needs
# clang and libclang-rt-14-dev.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_OUT:-/tmp/korvanta-fuzz-link-requests}
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I"$root" \
  "$root/tests/fuzz/fuzz_link_requests.cpp" "$root/link/LinkProtocol.cpp" \
  -o "$out/fuzz_link_requests"
printf '\001CONNECT Data\nADVISE Azimuth CF_TEXT\nREQUEST Azimuth CF_TEXT\nDISCONNECT\n' >"$out/corpus/talk"
printf '\002WATCH Azimuth CF_TEXT\nCONNECT Data\nDISCONNECT\n' >"$out/corpus/watch"
printf '\003CONNECT Data\r\nWATCH azimuth cf_text\nUNADVISE Azimuth\nPOKE x\n' >"$out/corpus/mixed"
cd "$out"
nice -n 10 ./fuzz_link_requests -max_total_time="${1:-300}" -max_len=4096 corpus
