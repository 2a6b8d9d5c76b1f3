#!/bin/sh
# Installs the build into a fresh prefix and checks what a desktop and a user find there.
# Arguments: build folder, sample FASTA file; the install folders come from the environment.
set -eu
build=$1 sample=$2
prefix=$(mktemp -d)
# The install's list of files is kept for uninstalling what the user installed.
manifest="$build/install_manifest.txt"
[ -f "$manifest" ] && cp "$manifest" "$prefix.manifest"
restore() {
  if [ -f "$prefix.manifest" ]; then mv "$prefix.manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$prefix"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
cd "$prefix"
for p in kelmarin kelmarin-batch; do
  [ -x "$BINDIR/$p" ] || fail "$BINDIR/$p is not installed"
  [ -f "$MANDIR/man1/$p.1" ] || fail "no manual page $p.1"
done
[ -f "$HELPDIR/Kelmarin.chm" ] || fail "no help file in $HELPDIR"
[ -f "$DOCDIR/LICENSE" ] || fail "no LICENSE in $DOCDIR"

desktop="$DATADIR/applications/$APP_ID.desktop"
desktop-file-validate "$desktop" || fail "$desktop does not validate"
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
