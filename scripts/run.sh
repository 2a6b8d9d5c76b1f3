#!/usr/bin/env bash
# Sets up, builds and starts Kelmarin. It runs in build/, where the help file Kelmarin.chm is,
# so that HELP > Help finds it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start Kelmarin from a desktop session, or try xvfb-run $0" >&2
  exit 1
fi
cd build
exec ./ui/kelmarin "$@"
