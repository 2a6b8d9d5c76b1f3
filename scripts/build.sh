#!/usr/bin/env bash
# Configures and builds Kelmarin in build/ (warnings are errors when CI is set).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ -n "${CI:-}" ] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELMARIN_WERROR="$werror" "$@" >/dev/null
cmake --build build
