#!/usr/bin/env bash
# Reader and counting throughput beside `cat FILE > /dev/null` on the same generated files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null
data="${KELMARIN_BENCH_DATA:-$PWD/build/bench-data}"
export KELMARIN_BENCH_DATA="$data"
build/bench/reader_bench --benchmark_filter=NONE >/dev/null 2>&1  # generates the data once
for f in "$data/generated.fa" "$data/generated.txt"; do
  cat "$f" > /dev/null  # into the page cache
  size=$(stat -c %s "$f")
  start=$(date +%s.%N); for _ in 1 2 3 4 5; do cat "$f" > /dev/null; done; end=$(date +%s.%N)
  python3 -c "import sys; s,e,b=map(float,sys.argv[1:4]); print(f'cat {sys.argv[4]}: {5*b/(e-s)/1e6:.0f} MB/s')" "$start" "$end" "$size" "$(basename "$f")"
done
build/bench/reader_bench "$@"
