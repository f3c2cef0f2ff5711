#!/usr/bin/env bash
# Builds the regional data reader's fuzz target with clang (libFuzzer and
# AddressSanitizer) and runs it: tests/fuzz/fuzz_regional_data.sh [SECONDS]
# (default 120). Needs clang and libclang-rt-14-dev.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${FUZZ_DIR:-/tmp/korvanta-fuzz-regional}
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address -I"$root" \
  "$root/geo/RegionalData.cpp" "$root/tests/fuzz/fuzz_regional_data.cpp" -o "$out/fuzz_regional_data"
# A seed: two small rings and one country, as the format describes.
python3 - "$out/corpus/seed" <<'PY'
import struct, sys
def varint(v, b):
    while True:
        x = v & 0x7F; v >>= 7
        b.append(x | (0x80 if v else 0))
        if not v: return
def zz(v, b): varint((v << 1) if v >= 0 else ((-v << 1) - 1), b)
b = bytearray(b"KVREGMP1") + struct.pack("<I", 1) + b"FR" + bytes([6]) + struct.pack("<I", 2)
for kind in (1, 16):
    b += bytes([kind, 1 if kind == 16 else 0]); varint(3, b)
    for d in (20000, 450000, 10000, 0, -5000, 10000): zz(d, b)
open(sys.argv[1], "wb").write(b)
PY
"$out/fuzz_regional_data" -max_total_time="${1:-120}" -rss_limit_mb=2048 -max_len=65536 "$out/corpus"
