#!/bin/bash
# Fails when a C++ file of the tree differs from what .clang-format makes of it, naming the
# files; `tools/check-format.sh --fix` rewrites them instead. Pinned to clang-format 14, since
# another version formats some constructs differently.
set -e -o pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=$(clang-format --version | sed -n 's/.*clang-format version \([0-9]*\)\..*/\1/p')
if [ "$version" != 14 ]; then
  echo "check-format: clang-format 14 is needed, found '$(clang-format --version)'" >&2
  exit 2
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
# clang-format names each file and line that would change.
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "check-format: run tools/check-format.sh --fix" >&2
  exit 1
fi
