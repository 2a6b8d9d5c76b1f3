#!/bin/sh
# Makes the Debian package as cpack -G DEB does and checks its control fields; then checks that
# cpack refuses to make it when dpkg-shlibdeps, which reads its dependencies, cannot be found.
# Argument: build folder.
set -eu
build=$1
. "$(dirname "$0")/keep_manifest.sh"
out=$work
cpack=$(command -v cpack)

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/log" 2>&1 ||
  fail "cpack failed: $(cat "$out/log")"
deb=$(ls "$out"/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libisal2 libqt6widgets6 libjpeg62-turbo fonts-liberation; do
  echo "$depends" | grep -q "$lib" || fail "the package does not depend on $lib: $depends"
done
# The long description: the summary, then the text's lines as written, one space in.
dpkg-deb -f "$deb" Description >"$out/description"
[ "$(sed -n 2p "$out/description")" = " Kelmarin reads a file of nucleotide sequences, plain text, FASTA or FASTQ, gzipped or" ] ||
  fail "garbled description: $(cat "$out/description")"
if grep -q "^ *;" "$out/description"; then fail "description lines begin with ';'"; fi

# Without dpkg-shlibdeps on the search path, no package, though the rest of what cpack uses is
# there.
rm -rf "$out"/*
mkdir "$out/bin"
for tool in dpkg file; do ln -s "$(command -v $tool)" "$out/bin/$tool"; done
if PATH="$out/bin" "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" \
     -D CMAKE_FIND_USE_CMAKE_SYSTEM_PATH=FALSE >"$out/log" 2>&1; then
  fail "cpack made a package without dpkg-shlibdeps"
fi
grep -q "dpkg-dev" "$out/log" || fail "cpack did not say what to install: $(cat "$out/log")"
[ -z "$(ls "$out"/*.deb 2>/dev/null)" ] || fail "a package was left behind"
