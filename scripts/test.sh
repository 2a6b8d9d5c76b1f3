#!/usr/bin/env bash
# Sets up, checks that the C++ sources keep the repo's format, builds and runs every test. With
# --sanitize, builds in build-sanitize/ under AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the suite there: any memory error, undefined behaviour or leak fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/check_format.sh
if [ "${1:-}" = "--sanitize" ]; then
  san="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  werror=OFF
  [ -n "${CI:-}" ] && werror=ON
  # -O1 keeps the sanitized suite fast; -g1 gives reports file and line.
  cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELMARIN_WERROR="$werror" \
    -DKELMARIN_TESTS=ON -DKELMARIN_BENCH=OFF -DCMAKE_C_FLAGS="$san" -DCMAKE_CXX_FLAGS="$san" \
    -DCMAKE_C_FLAGS_RELEASE="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O1 -g1 -DNDEBUG" \
    >/dev/null
  cmake --build build-sanitize
  QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize --output-on-failure -j2
  exit
fi
scripts/build.sh -DKELMARIN_TESTS=ON -DKELMARIN_BENCH=ON
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
