#!/usr/bin/env bash
# Sets up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
scripts/build.sh -DKELMARIN_TESTS=ON -DKELMARIN_BENCH=ON
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
