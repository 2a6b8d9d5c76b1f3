#!/bin/sh
# scripts/setup.sh as a user who is not root meets it, with sudo, apt-get, id and dpkg-query
# played by stand-ins: every package is missing.
# Argument: the source folder.
set -eu
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir -p "$tree/scripts" "$tree/bin"
cp "$1/scripts/setup.sh" "$tree/scripts/"
fake() { printf '#!/bin/sh\n%s\n' "$2" >"$tree/bin/$1"; chmod +x "$tree/bin/$1"; }
fake id 'echo 1000'
fake dpkg-query 'exit 1'
# apt-get as it prints an install of two packages to a pipe.
fake apt-get 'echo "apt-get $*" >>"$APT_CALLS"; [ "$1" = update ] && exit 0
cat <<OUT
The following NEW packages will be installed:
  cmake ninja-build
0 upgraded, 2 newly installed, 0 to remove and 0 not upgraded.
Need to get 11.0 MB of archives.
After this operation, 39.0 MB of additional disk space will be used.
Get:1 http://deb.example bookworm/main amd64 cmake amd64 3.25.1-1 [8,692 kB]
Get:2 http://deb.example bookworm/main amd64 ninja-build amd64 1.11.1-1 [136 kB]
Unpacking cmake (3.25.1-1) ...
Unpacking ninja-build (1.11.1-1) ...
Setting up ninja-build (1.11.1-1) ...
Setting up cmake:amd64 (3.25.1-1) ...
OUT'
export APT_CALLS="$tree/apt-calls"
run() { PATH="$tree/bin:$PATH" bash "$tree/scripts/setup.sh" >"$tree/out" 2>"$tree/err"; }

# A user whom sudo refuses is told the one line to run as root, and then to start again, and
# nothing is installed.
fake sudo 'echo "user is not in the sudoers file." >&2; exit 1'
if run; then fail "setup.sh succeeded although sudo refused"; fi
grep -q "^  apt-get update && apt-get install -y --no-install-recommends cmake .*xchm" \
  "$tree/err" || fail "no apt-get line to run as root: $(cat "$tree/err")"
grep -q "^Then run the script you started again" "$tree/err" ||
  fail "not told to start again: $(cat "$tree/err")"
[ ! -e "$APT_CALLS" ] || fail "apt-get ran although sudo refused"

# sudo wants a password, and with no controlling terminal (setsid) there is none to ask on: said
# as it is, before sudo is asked for anything more.
fake sudo 'case $1 in -n) echo "sudo: a password is required" >&2; exit 1;; -v) ;; *) exec "$@";; esac'
if PATH="$tree/bin:$PATH" setsid -w bash "$tree/scripts/setup.sh" >"$tree/out" 2>"$tree/err"
then fail "setup.sh succeeded without a password"; fi
grep -q "sudo needs your password, and there is no terminal" "$tree/err" ||
  fail "the missing terminal is not named: $(cat "$tree/err")"
[ ! -e "$APT_CALLS" ] || fail "apt-get ran without a password"

# sudo allowed: a line per package set up on the terminal, apt's whole output in the log.
fake sudo 'case $1 in -n) shift; exec "$@";; -v) ;; *) exec "$@";; esac'
run || fail "setup.sh failed: $(cat "$tree/err")"
grep -q "^apt-get install -y --no-install-recommends cmake" "$APT_CALLS" ||
  fail "apt-get install was not run through sudo"
expected="  Need to get 11.0 MB of archives.
  After this operation, 39.0 MB of additional disk space will be used.
  [1/2] ninja-build
  [2/2] cmake"
[ "$(sed '1d;$d' "$tree/out")" = "$expected" ] || fail "terminal output: $(cat "$tree/out")"
grep -q "^Unpacking cmake" "$tree/build/setup.log" || fail "the log lacks apt's output"
