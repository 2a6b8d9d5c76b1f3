#!/usr/bin/env bash
# Installs the Debian packages Kelmarin needs to build and run; with --test, also those its
# tests and benchmarks need. Does nothing when all are there. apt's output goes to a log file.
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and running.
run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libjpeg62-turbo-dev
  libisal-dev
  fonts-liberation fontconfig
  xchm xdg-utils file  # HELP > Help: a viewer for Kelmarin.chm, and what finds it
)
# Tests and benchmarks.
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  fp-utils                      # chmcmd: the help compiled from its pages
  desktop-file-utils appstream  # the installed menu entry and description validated
  python3 seqkit                # benchmark scripts, and the tool they compare with
  dpkg-dev                      # cpack -G DEB: the package's dependencies
  snakemake                     # the workflow's test
  clang-14 libclang-rt-14-dev   # the fuzz targets (scripts/fuzz.sh), built with libFuzzer
  isal                          # igzip, which the gzip benchmark compares with
)

packages=("${run_packages[@]}")
if [ "${1:-}" = --test ]; then packages+=("${test_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install_line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "Kelmarin needs Debian packages that are not installed. As root, run:" >&2
  echo "  $install_line" >&2
  exit 1
fi

mkdir -p build
log=build/setup.log
echo "Installing ${missing[*]} and what they need; apt's output: $log"
if ! { "${as_root[@]}" apt-get update &&
       "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
         apt-get install -y --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
  echo "Installing failed; the end of $log:" >&2
  tail -n 5 "$log" >&2
  exit 1
fi
