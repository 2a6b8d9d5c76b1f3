#!/usr/bin/env bash
# Sets up, builds and starts Kelmarin. It runs in build/, where the help file Kelmarin.chm is,
# so that HELP > Help finds it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Checked first: a virtual display would show nothing, and the install and build take minutes.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
No display found. Kelmarin opens a window: run this from a terminal of a desktop session, over
"ssh -X", or with DISPLAY set to an X server you can see (a VNC server, for a remote machine).
Without a window, scripts/test.sh builds and tests it, and kelmarin-batch (see README.md) runs it.
MSG
  exit 1
fi
scripts/setup.sh
scripts/build.sh -DKELMARIN_TESTS=OFF -DKELMARIN_BENCH=OFF  # the program alone
cd build
exec ./ui/kelmarin "$@"
