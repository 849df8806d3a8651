#!/bin/bash
# Configures and builds through the presets of CMakePresets.json: win (MinGW, run under Wine),
# native, asan (gcc sanitizers), fuzz (clang libFuzzer). `tools/build.sh win` builds only the
# Windows programs. MARLOWEN_BUILD_ROOT puts the trees somewhere other than build/.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
jobs=$(nproc)
build() {  # build PRESET [-DNAME=VALUE...]
  (cd "$root" && cmake --preset "$1" -B "$out/$1" "${@:2}" >/dev/null)
  cmake --build "$out/$1" -j "$jobs"
}
build win
if [ "${1:-}" = win ]; then exit 0; fi
build native -DMARLOWEN_WIN_BUILD="$out/win"
build asan
build fuzz
