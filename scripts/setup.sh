#!/usr/bin/env bash
# Installs the Debian packages Kelmarin needs to build and run; with --test, also those its
# tests and benchmarks need; further arguments name packages a script needs for itself. Does
# nothing when all are there. apt's whole output goes to build/setup.log; the terminal gets a
# line per package.
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and running.
run_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  qt6-svg-dev  # the chart written as SVG
  libjpeg62-turbo-dev
  libisal-dev
  libboost-dev  # Boost.Math: the binomial and chi-squared tails of the bias tests
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
  weston qt6-wayland            # the window benchmark's Wayland display (headless weston)
  dpkg-dev                      # cpack -G DEB: the package's dependencies
  poppler-utils                 # pdftotext, pdfinfo: the chart's PDF checked
  snakemake                     # the workflow's test
  clang-format-14               # the sources' format, checked before the build
  isal                          # igzip, which the gzip benchmark compares with
  tabix libdeflate-dev          # bgzip, and the inflater bgzip blocks were measured against
  multiqc                       # the report --mqc files are read into, checked by a test
)

packages=("${run_packages[@]}")
if [ "${1:-}" = --test ]; then
  packages+=("${test_packages[@]}")
  shift
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install_line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
ask_root() {
  echo "$1 As root, run:" >&2
  echo "  $install_line" >&2
  echo "Then run the script you started again." >&2
  exit 1
}
needed="Kelmarin needs Debian packages that are not installed."
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif ! command -v sudo >/dev/null; then
  ask_root "$needed"
elif sudo -n true 2>/dev/null; then  # allowed without a password
  as_root=(sudo)
elif ! (: </dev/tty) 2>/dev/null; then  # sudo asks for the password on the terminal alone
  ask_root "$needed sudo needs your password, and there is no terminal to ask you for it."
elif ! sudo -v; then  # asks for the password once; fails for a user sudo does not allow
  ask_root "$needed sudo did not let you install them."
else
  as_root=(sudo)
fi

# Reads apt-get install's output: its totals as they are, then a line per package as it is set
# up, rewritten in place on a terminal with the downloads and unpacking too.
progress() {
  local tty=0
  [ -t 1 ] && tty=1
  awk -v tty="$tty" '
    function show(what, n, name) {
      if (tty) printf "\r\033[K[%s %d/%d] %s", what, n, total, name
      else if (what == "setting up") printf "  [%d/%d] %s\n", n, total, name
      fflush()
    }
    / newly installed, / {
      for (i = 2; i <= NF; i++) if ($i ~ /^(upgraded|newly)/) total += $(i - 1)
    }
    /^(Need to get|After this operation)/ { print "  " $0; fflush() }
    /^Get:[0-9]+ / { show("downloading", substr($1, 5), $5) }
    /^Unpacking / { show("unpacking", ++unpacked, $2) }
    /^Setting up / { name = $3; sub(/:.*/, "", name); show("setting up", ++set, name) }
    END { if (tty && set) printf "\n" }'
}

mkdir -p build
log=build/setup.log
echo "Installing ${missing[*]} and what they need; apt's whole output: $log"
: >"$log"
# Without a terminal only the packages set up get a line, and apt downloads and unpacks for
# minutes before the first: every 30 s, the time so far and apt's last line.
beat=
if [ ! -t 1 ]; then
  while sleep 30 </dev/null >/dev/null 2>&1; do  # sleep keeps no pipe open once ended
    echo "  $((SECONDS / 60)) min $((SECONDS % 60)) s: $(tail -n 1 "$log")"
  done &
  beat=$!
  trap 'kill "$beat" 2>/dev/null' EXIT
fi
if ! { "${as_root[@]}" apt-get update >>"$log" 2>&1 &&
       "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
         apt-get install -y --no-install-recommends "${missing[@]}" 2>&1 |
         tee -a "$log" | progress; }; then
  echo "Installing failed; the end of $log:" >&2
  tail -n 5 "$log" >&2
  exit 1
fi
echo "Installed in $((SECONDS / 60)) min $((SECONDS % 60)) s."
