#!/bin/sh
# Installs the build into a fresh prefix and checks what a desktop and a user find there.
# Arguments: build folder, sample FASTA file; the install folders come from the environment.
set -eu
build=$1 sample=$2
. "$(dirname "$0")/keep_manifest.sh"
prefix=$work

cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"
for p in kelmarin kelmarin-batch; do
  [ -x "$BINDIR/$p" ] || fail "$BINDIR/$p is not installed"
  page="$MANDIR/man1/$p.1"
  [ -f "$page.gz" ] && [ ! -e "$page" ] || fail "no manual page $p.1.gz, or an uncompressed one"
  gzip -t "$page.gz" || fail "$page.gz is not gzip"
  # gzip -9n: no name, no time, the best compression (flags, time, extra flags of the header)
  [ "$(od -An -tu1 -j3 -N6 "$page.gz" | tr -s ' ')" = " 0 0 0 0 0 2" ] ||
    fail "$page.gz is not compressed with gzip -9n"
done
[ -f "$HELPDIR/Kelmarin.chm" ] || fail "no help file in $HELPDIR"

# Debian's machine-readable copyright file, whose licence text is LICENSE's, indented.
copyright="$DOCDIR/copyright"
[ -f "$copyright" ] || fail "no $copyright"
[ "$(head -n 1 "$copyright")" = \
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
  fail "$copyright lacks its format line"
grep -q "^Copyright: [0-9]" "$copyright" || fail "$copyright names no copyright holder"
sed -n '/^License: Expat$/,$p' "$copyright" | sed '1d; s/^ //; s/^\.$//' >"$prefix.license"
tail -n +5 "$LICENSE" | cmp -s - "$prefix.license" || fail "$copyright differs from LICENSE"
rm -f "$prefix.license"

desktop="$DATADIR/applications/$APP_ID.desktop"
hints=$(desktop-file-validate "$desktop") || fail "$desktop does not validate: $hints"
[ -z "$hints" ] || fail "desktop-file-validate: $hints"
appstreamcli validate --no-net "$DATADIR/metainfo/$APP_ID.metainfo.xml" >/dev/null ||
  fail "the metainfo does not validate"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 32 64 128 256; do
  png="$DATADIR/icons/hicolor/${size}x$size/apps/$icon.png"
  [ -f "$png" ] || fail "no $png"
  # The PNG header's width and height, big-endian, after the signature and chunk head.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x$size" ] || fail "$png is $dims"
done

# The installed batch program runs without the build folder and writes 100 buckets.
lines=$("$BINDIR/kelmarin-batch" "$sample" atg 2>/dev/null | wc -l)
[ "$lines" -eq 101 ] || fail "installed kelmarin-batch wrote $lines lines"

# README's uninstall: the files the install wrote, then the two folders of Kelmarin's own, which
# leaves nothing of it behind.
xargs -d '\n' rm < "$build/install_manifest.txt"
xargs -d '\n' dirname < "$build/install_manifest.txt" | grep '/kelmarin$' | sort -u |
  xargs -d '\n' rmdir
left=$(find "$prefix" -type f -o -name kelmarin)
[ -z "$left" ] || fail "uninstalling left $left"
