#!/bin/bash
# Makes the release for Windows users: build/release/Marlowen-<version>-win64.zip, one folder
# Marlowen/ with the program, the sample data.ini, the guide 使い方.html and its pictures, which
# are taken anew from the program under Wine every time.
set -e -o pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
"$root/tools/setup.sh"
"$root/tools/build.sh" win
# The pictures need the X11 drop source of the native build.
if [ ! -f "$out/native/build.ninja" ]; then
  (cd "$root" && cmake --preset native -B "$out/native" -DMARLOWEN_WIN_BUILD="$out/win" >/dev/null)
fi
cmake --build "$out/native" --target xdnd-drop >/dev/null

pictures=$(sed -n 's/^MARLOWEN_GUIDE_PICTURES:PATH=//p' "$out/win/CMakeCache.txt")
rm -rf "$pictures"
"$root/tools/shots/guide-shots.sh" "$pictures"

# Under the C locale CPack cannot read the Japanese file names; under UTF-8 it packs them and
# marks them as UTF-8 in the zip, so that Explorer shows them right.
rm -rf "$out/release"
(cd "$out/win" && LC_ALL=C.UTF-8 cpack -G ZIP -B "$out/release" >/dev/null)
rm -rf "$out/release/_CPack_Packages"
ls "$out"/release/Marlowen-*-win64.zip
