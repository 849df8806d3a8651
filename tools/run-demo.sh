#!/bin/bash
# Builds Marlowen and the stand-in CAD and starts Marlowen under Wine with the demo settings
# (tools/demo): its buttons run stand-in scripts on the bundled stand-in drawings.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
"$root/tools/setup.sh"
"$root/tools/build.sh" win
(cd "$root" && cmake --preset native -B "$out/native" -DMARLOWEN_WIN_BUILD="$out/win" >/dev/null)
cmake --build "$out/native" --target xdnd-drop

. "$root/tools/wine-env.sh"
export WINEPREFIX=$out/demo-wineprefix
wine_env_prefix "$WINEPREFIX"
wine_env_own "$WINEPREFIX"

# The demo folder C:\marlowen: the programs, data.ini (Shift-JIS, CR LF) and the drawings.
# It is also the current folder, so test.scr is written there.
demo=$WINEPREFIX/drive_c/marlowen
mkdir -p "$demo/図面"
cp "$out/win/app/Marlowen.exe" "$out/win/tools/standin/StandInCad.exe" "$out/win/tools/inspector/inspector.exe" "$demo/"
"$root/tools/demo/deploy-data-ini.sh" "$demo/data.ini"
for f in "$root"/tools/demo/drawings/*; do
  iconv -f UTF-8 -t CP932 "$f" > "$demo/図面/$(basename "$f")"
done

cat <<INFO
Marlowen runs on DISPLAY=$DISPLAY (Wine prefix $WINEPREFIX).
  Drop drawings on a button, e.g. button 2 (レイアウト一覧):
    DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $root/tools/demo-drop.sh Button2 "$demo/図面/平面図.dwg" "$demo/図面/立面図.dwg"
  Look at the screen:   import -display $DISPLAY -window root /tmp/marlowen.png
  What the stand-in CAD received and ran:   iconv -f CP932 -t UTF-8 "$demo/cad.log"
  The script written:   iconv -f CP932 -t UTF-8 "$demo/test.scr"
Close the Marlowen window (or press Ctrl-C) to end the demo.
INFO
cd "$demo"
wine 'C:\marlowen\Marlowen.exe'
