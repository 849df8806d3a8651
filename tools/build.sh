#!/bin/bash
# Configures and builds through the presets of CMakePresets.json: win (MinGW, run under Wine),
# native, asan (gcc sanitizers), fuzz (clang libFuzzer). `tools/build.sh PRESET...` builds only
# those, in that order (`tools/build.sh win`: the Windows programs); native needs win built.
# MARLOWEN_BUILD_ROOT puts the trees somewhere other than build/.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
jobs=$(nproc)
build() {  # build PRESET [-DNAME=VALUE...]
  (cd "$root" && cmake --preset "$1" -B "$out/$1" "${@:2}" >/dev/null)
  cmake --build "$out/$1" -j "$jobs"
}
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win native asan fuzz)
for preset in "${presets[@]}"; do
  case $preset in
    native) build native -DMARLOWEN_WIN_BUILD="$out/win" ;;
    win | asan | fuzz) build "$preset" ;;
    *) echo "build.sh: no preset $preset (win, native, asan, fuzz)" >&2; exit 2 ;;
  esac
done
