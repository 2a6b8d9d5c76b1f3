#!/usr/bin/env bash
# A whole run of the window on a real X display (Xvfb, the xcb platform) beside
# `seqkit locate -j1 -i -P` finding the same words in the same file, in one run; prints both
# times and their ratio.
#
# usage: bench/window_vs_seqkit.sh [FILE [BUILD_DIR]]
# Without FILE: the first 50 MB (whole records) of the benchmarks' generated FASTA.
# ROUNDS (default 5) rounds run the two in turn, and the ratio is that of their medians: on a
# shared machine the time either takes swings by a third from one run to the next.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${2:-build}"
file="${1:-}"
if [ -z "$file" ]; then
  data="${KELMARIN_BENCH_DATA:-$PWD/$build/bench-data}"
  KELMARIN_BENCH_DATA="$data" "$build/bench/reader_bench" --benchmark_filter=NONE >/dev/null 2>&1
  file="$data/generated-50MB.fa"
  [ -f "$file" ] || python3 - "$data/generated.fa" "$file" <<'EOF'
import sys
with open(sys.argv[1], "rb") as f:
    head = f.read(50_000_000)
with open(sys.argv[2], "wb") as f:
    f.write(head[: head.rfind(b"\n>") + 1])
EOF
fi
cat "$file" > /dev/null  # into the page cache

# A display of our own, ended with the script.
display=""
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

rounds="${ROUNDS:-5}"
windows=() seqkits=()
for _ in $(seq "$rounds"); do
  window=$(DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/bench/window_run_bench" "$file")
  echo "$window"
  windows+=("$(sed -n 's/^window run: \([0-9.]*\) s.*/\1/p' <<<"$window")")
  start=$(date +%s.%N)
  seqkit locate -j1 -i -P -p ATG,TAA,TAG,GAATTC "$file" > /dev/null
  end=$(date +%s.%N)
  seqkits+=("$start:$end")
done

python3 - "$file" "${windows[*]}" "${seqkits[*]}" <<'EOF'
import os, statistics, sys
file = sys.argv[1]
windows = [float(t) for t in sys.argv[2].split()]
seqkits = [float(end) - float(start) for start, end in (t.split(":") for t in sys.argv[3].split())]
for n, (w, s) in enumerate(zip(windows, seqkits), 1):
    print(f"round {n}: window {w:.3f} s, seqkit {s:.3f} s, {w / s:.2f}x")
window, seqkit = statistics.median(windows), statistics.median(seqkits)
print(f"file: {file} ({os.path.getsize(file) / 1e6:.0f} MB); medians of {len(windows)} rounds:")
print(f"window run (xcb): {window:.3f} s")
print(f"seqkit locate -j1 -i -P: {seqkit:.3f} s")
print(f"window run / seqkit: {window / seqkit:.2f}x the time")
EOF
