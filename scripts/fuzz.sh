#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build-fuzz/ and runs each for SECONDS
# (default 30), starting from its seed corpus in fuzz/corpus/<target>/. Exits non-zero when a
# target crashes, hangs, leaks or finds a mismatch with its model, and prints where the
# reproducer was left: rerun it with build-fuzz/fuzz/<target> <reproducer>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
# What building needs, and clang with its libFuzzer runtime, needed here alone.
scripts/setup.sh clang-14 libclang-rt-14-dev
werror=OFF
[ -n "${CI:-}" ] && werror=ON
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
  -DKELMARIN_FUZZ=ON -DKELMARIN_TESTS=OFF -DKELMARIN_BENCH=OFF -DKELMARIN_WERROR="$werror" \
  >/dev/null
cmake --build build-fuzz --target fuzz_targets

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
for target in $(cat build-fuzz/fuzz_targets.txt); do
  found="build-fuzz/findings/$target"
  work="build-fuzz/corpus/$target"  # new inputs go here; the seed corpus stays as it is
  mkdir -p "$found" "$work"
  log="$found/log.txt"
  echo "fuzz: $target for ${seconds}s"
  if ! QT_QPA_PLATFORM=offscreen "build-fuzz/fuzz/$target" -max_total_time="$seconds" \
      -timeout=20 -artifact_prefix="$found/" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    failed=1
    grep -E "MISMATCH|ERROR|SUMMARY|==[0-9]+==" "$log" | head -20 || true
    for r in $(grep -o "written to [^ ]*" "$log" | cut -d' ' -f3); do
      echo "fuzz: $target FAILED; reproducer: $r (log: $log)"
    done
  else
    grep -E "^Done|stat::number_of_executed_units" "$log" | tail -1 || true
  fi
done
exit "$failed"
