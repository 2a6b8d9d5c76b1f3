#!/usr/bin/env bash
# Checks that every C++ source and header keeps the repo's format (.clang-format), and lists
# those that do not. The files are git's tracked ones; outside a git checkout, every one under
# the source folder but the build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
else
  mapfile -d '' files < <(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) \
                            -type f -print0)
fi
status=0
report=$(clang-format-14 --style=file --dry-run -Werror "${files[@]}" 2>&1) || status=$?
[ "$status" -eq 0 ] && exit 0
bad=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" |
      sort -u)
if [ -z "$bad" ]; then  # clang-format failed for another reason: show it as it said it
  echo "$report" >&2
  exit "$status"
fi
echo "These files are not in the repo's format (.clang-format):" >&2
sed 's/^/  /' <<<"$bad" >&2
echo "Format them with: clang-format-14 -i --style=file FILE..., then run the tests again." >&2
exit 1
