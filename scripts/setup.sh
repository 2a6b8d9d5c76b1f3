#!/usr/bin/env bash
# Installs the Debian packages Kelmarin needs to build, test and run; does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libjpeg62-turbo-dev
  fonts-liberation fontconfig
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  fp-utils
  libisal-dev
  snakemake
  # testing only: the fuzz targets (scripts/fuzz.sh) are built with clang and libFuzzer
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
