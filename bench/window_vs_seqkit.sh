#!/usr/bin/env bash
# A whole run of the window on real displays beside `seqkit locate -j1 -i -P` finding the same
# words in the same file, in one run; prints the times and the ratio of each case:
#   xcb      Xvfb, the xcb platform, scale factor 1
#   xcb x2   the same display with QT_SCALE_FACTOR=2
#   wayland  weston's headless backend (pixman renderer), the wayland platform
# A case whose display cannot start here is left out, saying why.
#
# usage: bench/window_vs_seqkit.sh [FILE [BUILD_DIR]]
# FILE and BUILD_DIR are taken from the current directory; BUILD_DIR defaults to build/ of this
# checkout. Without FILE: the first 50 MB (whole records) of the benchmarks' generated FASTA.
# ROUNDS (default 5) rounds run every case and seqkit in turn, and each ratio is that of their
# medians: on a shared machine the time either takes swings by a third from one run to the next.
set -euo pipefail
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac }
file="${1:+$(absolute "$1")}"
build="$(absolute "${2:-$(dirname "$0")/../build}")"
cd "$(dirname "$0")/.."
if [ -z "$file" ]; then
  data="${KELMARIN_BENCH_DATA:-$build/bench-data}"
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

# Displays of our own, ended with the script.
pids=()
runtime=$(mktemp -d)
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$runtime"' EXIT
display=""
for n in $(seq 90 130); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

cases=("xcb" "xcb x2")
commands=("env DISPLAY=$display QT_QPA_PLATFORM=xcb"
          "env DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2")
qt_plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
if ! command -v weston >/dev/null; then
  echo "wayland: left out, weston is not installed"
elif ! ls "$qt_plugins"/platforms/libqwayland-generic.so >/dev/null 2>&1; then
  echo "wayland: left out, Qt's wayland platform (qt6-wayland) is not installed"
else
  socket="kelmarin-bench-$$"
  XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --use-pixman --no-config \
    --socket="$socket" --width=1280 --height=1024 --idle-time=0 >"$runtime/weston.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -e "$runtime/$socket" ] && break; sleep 0.05; done
  if [ -e "$runtime/$socket" ]; then
    cases+=("wayland")
    commands+=("env XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland")
  else
    echo "wayland: left out, weston did not start: $(tail -n 1 "$runtime/weston.log")"
  fi
fi

rounds="${ROUNDS:-5}"
times=()  # one line per round: the cases' seconds, then seqkit's
for round in $(seq "$rounds"); do
  line=""
  for i in "${!cases[@]}"; do
    out=$(${commands[$i]} "$build/bench/window_run_bench" "$file" 2>/dev/null)
    echo "round $round, ${cases[$i]}: $out"
    line+="$(sed -n 's/^window run: \([0-9.]*\) s.*/\1/p' <<<"$out") "
  done
  start=$(date +%s.%N)
  seqkit locate -j1 -i -P -p ATG,TAA,TAG,GAATTC "$file" > /dev/null
  end=$(date +%s.%N)
  times+=("$line$(python3 -c "print($end - $start)")")
done

python3 - "$file" "$(IFS=,; echo "${cases[*]}")" "${times[@]}" <<'EOF'
import os, statistics, sys
file, cases, rounds = sys.argv[1], sys.argv[2].split(","), [r.split() for r in sys.argv[3:]]
seqkit = statistics.median(float(r[-1]) for r in rounds)
print(f"file: {file} ({os.path.getsize(file) / 1e6:.0f} MB); medians of {len(rounds)} rounds:")
print(f"seqkit locate -j1 -i -P: {seqkit:.3f} s")
for i, case in enumerate(cases):
    window = statistics.median(float(r[i]) for r in rounds)
    print(f"window run ({case}): {window:.3f} s, {window / seqkit:.2f}x seqkit's time")
EOF
