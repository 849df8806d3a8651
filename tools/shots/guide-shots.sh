#!/bin/bash
# Takes the user guide's pictures from the real Marlowen.exe under Wine, in Wine's virtual
# desktop (so that the window has its frame) on an Xvfb and a Wine prefix of its own:
#   tools/shots/guide-shots.sh DIR
#     DIR/start.png    the window at start with the sample settings (release/data.ini)
#     DIR/info.png     the window and the information box of a drop on the per-layout button
#                      before any layout survey
#     DIR/survey.png   the window after a layout survey of three drawings against the stand-in
#                      CAD, the layout tree in view
#     DIR/folder.png   the window while it reads a dropped folder of many subfolders, the count
#                      of drawings found so far above the path box
# The README's pictures are DIR/survey.png and DIR/folder.png, copied to release/window.png
# and release/folder.png.
# Needs the MinGW build (tools/build.sh win) and the native xdnd-drop; every wait is bounded.
set -e -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dest=$(mkdir -p "$1" && cd "$1" && pwd)
xdnd=$out/native/tools/xdnd/xdnd-drop
for f in "$out/win/app/Marlowen.exe" "$out/win/tools/standin/StandInCad.exe" \
  "$out/win/tools/inspector/inspector.exe" "$xdnd"; do
  [ -e "$f" ] || { echo "guide-shots: not built: $f" >&2; exit 1; }
done

. "$root/tools/wine-env.sh"
export WINEPREFIX=$out/shots-wineprefix
desktop=guide,1024x768
# An Xvfb of its own even when a display is set: a desktop window on a shared display would
# take the drops of other programs' tests.
wine_env_own_display
wine_env_prefix "$WINEPREFIX"
wine_env_own "$WINEPREFIX"

# The programs as a user has them: Marlowen unpacked with the sample settings, a CAD program,
# drawings in a folder without blanks (the survey writes their paths unquoted).
c=$WINEPREFIX/drive_c
rm -rf "$c/Marlowen" "$c/CAD" "$c/図面" "$c/tools"
mkdir -p "$c/Marlowen" "$c/CAD" "$c/図面" "$c/tools"
cp "$out/win/app/Marlowen.exe" "$root/release/data.ini" "$c/Marlowen/"
cp "$out/win/tools/standin/StandInCad.exe" "$c/CAD/cad.exe"
cp "$out/win/tools/inspector/inspector.exe" "$c/tools/"
# A stand-in drawing lists its layouts, one a line, the model first.
drawing() { printf '%s\r\n' "${@:2}" | iconv -f UTF-8 -t CP932 > "$c/図面/$1"; }
drawing 1F平面図.dwg モデル 平面図-A1 平面図-A3
drawing 2F平面図.dwg モデル 平面図-A1
drawing 立面図.dwg モデル 東立面 西立面 南立面

# The inspector must run inside the same desktop to see its windows. It talks through two
# pipes: explorer may hand it over and end, which would close a coprocess's descriptors.
fifo=$(mktemp -d)
mkfifo "$fifo/in" "$fifo/out"
wine explorer /desktop=$desktop 'C:\tools\inspector.exe' serve < "$fifo/in" > "$fifo/out" 2>/dev/null &
exec 3> "$fifo/in" 4< "$fifo/out"
rm -r "$fifo"
(cd "$c/Marlowen" && exec wine explorer /desktop=$desktop 'C:\Marlowen\Marlowen.exe' >/dev/null 2>&1) &

# inspect COMMAND ARG...: the answer on stdout; fails with the inspector's reason.
inspect() {
  local IFS=$'\t' line answer=
  printf '%s\n' "$*" >&3
  while IFS= read -r -t 90 line <&4; do
    line=${line%$'\r'}
    if [[ $line == $'\x1e'* ]]; then
      [ "${line:1:1}" = 0 ] || { echo "guide-shots: inspector $*: ${line:3}" >&2; return 1; }
      printf '%s' "$answer"
      return 0
    fi
    answer+=$line$'\n'
  done
  echo "guide-shots: the inspector did not answer $*" >&2
  return 1
}
drop() {  # drop CONTROL FILE...
  local x y
  read -r x y < <(inspect center Marlowen "$1")
  local said
  said=$("$xdnd" --display "$DISPLAY" --timeout 10000 "$x" "$y" "${@:2}" 2>&1) || { echo "$said" >&2; return 1; }
}
# shoot NAME LEFT TOP RIGHT BOTTOM: that part of the screen, once the window has painted.
shoot() {
  sleep 1
  import -window root -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage "$dest/$1"
}
# until SECONDS TEXT COMMAND...: retries the command until it succeeds.
until_true() {
  local seconds=$1 what=$2
  shift 2
  for _ in $(seq $((seconds * 5))); do "$@" && return 0; sleep 0.2; done
  echo "guide-shots: waited ${seconds} s in vain for $what" >&2
  return 1
}

inspect wait-window Marlowen 60000 >/dev/null
read -r left top right bottom < <(inspect rect Marlowen)
shoot start.png "$left" "$top" "$right" "$bottom"

# The per-layout button refuses before any survey; the box stands by the drop point.
drop Button5 "$c/図面/1F平面図.dwg"
IFS=$'\t' read -r _ _ box _ < <(inspect wait-msgbox 情報 20000)
read -r bl bt br bb <<< "$box"
m=8
shoot info.png $(( (bl < left ? bl : left) - m )) $(( (bt < top ? bt : top) - m )) \
  $(( (br > right ? br : right) + m )) $(( (bb > bottom ? bb : bottom) + m ))
inspect press-ok 情報 >/dev/null

# The path box as "..." would set it; the survey ends when the stand-in CAD has quit.
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe' >/dev/null
drop Button10 "$c/図面/1F平面図.dwg" "$c/図面/2F平面図.dwg" "$c/図面/立面図.dwg"
cad_running() { inspect processes | cut -f2 | grep -qix 'cad.exe'; }
until_true 30 "the stand-in CAD to start" cad_running
until_true 60 "the survey to quit the stand-in CAD" eval '! cad_running'
inspect expand Marlowen TreeView1 >/dev/null
read -r left top right bottom < <(inspect rect Marlowen)
shoot survey.png "$left" "$top" "$right" "$bottom"

# A project's folder; its 資料 holds 40,000 empty folders, seconds of reading under Wine, so
# that the count shows. The window is back to its compact size first.
inspect click Marlowen Button11 >/dev/null
project=$c/現場
rm -rf "$project"
for floor in 1F 2F 10F 詳細図; do mkdir -p "$project/$floor"; done
for d in 1F/A-1 2F/A-9 2F/A-10 10F/A-1 詳細図/D-1 配置図; do printf 'モデル\r\n' > "$project/$d.dwg"; done
(cd "$project" && mkdir 資料 && cd 資料 && for a in $(seq 200); do mkdir "$a" && (cd "$a" && mkdir $(seq 200)); done)
drop Button1 "$project"
reading() { inspect control Marlowen Label1 | grep -q $'\t図面を探しています: '; }
until_true 30 "the count of the folder's read" reading
read -r left top right bottom < <(inspect rect Marlowen)
shoot folder.png "$left" "$top" "$right" "$bottom"
inspect close Marlowen >/dev/null
