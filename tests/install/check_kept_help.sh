#!/bin/sh
# The help file kept beside the pages must be what they compile to: apart from the two compile
# times that chmcmd writes, a change of any page changes the size or far more bytes.
set -eu
compiled=$1 kept=$2
if [ "$(wc -c <"$compiled")" -eq "$(wc -c <"$kept")" ] &&
   [ "$(cmp -l "$compiled" "$kept" | wc -l)" -le 8 ]; then
  exit 0
fi
echo "help/Kelmarin.chm is out of date: cp $compiled $kept" >&2
exit 1
