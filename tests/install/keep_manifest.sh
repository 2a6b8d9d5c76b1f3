# Sourced by the install checks: makes the temporary folder $work, and keeps the build's list of
# installed files (which an install or cpack rewrites, and which the user uninstalls with) so
# that it is put back, with $work removed, when the check ends. Needs $build.
work=$(mktemp -d)
manifest="$build/install_manifest.txt"
[ -f "$manifest" ] && cp "$manifest" "$work.manifest"
restore() {
  if [ -f "$work.manifest" ]; then mv "$work.manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
