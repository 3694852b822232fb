#!/usr/bin/env bash
# Builds the wire decoder fuzzer with clang (libFuzzer, AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs it for a bounded time over a corpus seeded with well-formed frames.
#   fuzz/run.sh [seconds] [work directory]
set -euo pipefail
seconds="${1:-20}"
work="${2:-$(dirname "$0")/../build/fuzz}"
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$work/corpus" "$work/crashes"

clang="$(command -v clang++ || true)"
if [ -z "$clang" ]; then
  echo "fuzz/run.sh: clang++ is required (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

"$clang" -std=c++20 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root" "$root"/shared/*.cpp "$root/fuzz/WireDecoderFuzz.cpp" -o "$work/wire_decoder_fuzz"

# Seeds: one well-formed frame of each kind, so mutations start from the real layout.
printf 'VTRL\x01\x01\x01\x00\x0c\x00\x00\x00' > "$work/corpus/seed-fetch-request"
printf 'VTRL\x01\x01\x02\x00\x0c\x00\x00\x00' > "$work/corpus/seed-version-request"
printf 'VTRL\x01\x02\x02\x00\x0e\x00\x00\x00\x011' > "$work/corpus/seed-version-reply"
python3 - "$work/corpus/seed-sensor-reply" <<'PY'
import struct, sys
body = bytes([13]) + b"SensorReading" + bytes([3])
for key, value in (("cpuT", 41.5), ("f0", 1200.0)):
    body += bytes([len(key)]) + key.encode() + b"\x01" + struct.pack("<d", value)
body += b"\x02fc\x02" + struct.pack("<q", 1)
header = b"VTRL" + bytes([1, 2, 1, 0]) + struct.pack("<I", 12 + len(body))
open(sys.argv[1], "wb").write(header + body)
PY

"$work/wire_decoder_fuzz" "$work/corpus" -max_total_time="$seconds" -max_len=4200 \
  -artifact_prefix="$work/crashes/" -print_final_stats=1
