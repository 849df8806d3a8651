#!/bin/bash
# Configures and builds: win (MinGW, run under Wine), native, asan (gcc sanitizers), fuzz (clang libFuzzer).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
jobs=$(nproc)
cmake -S "$root" -B "$out/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$out/win" -j "$jobs"
if [ "${1:-}" = win ]; then exit 0; fi
cmake -S "$root" -B "$out/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMARLOWEN_WIN_BUILD="$out/win" >/dev/null
cmake --build "$out/native" -j "$jobs"
cmake -S "$root" -B "$out/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMARLOWEN_SANITIZE=ON >/dev/null
cmake --build "$out/asan" -j "$jobs"
cmake -S "$root" -B "$out/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARLOWEN_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out/fuzz" -j "$jobs"
