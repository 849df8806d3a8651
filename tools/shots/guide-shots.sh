#!/bin/bash
# Takes the user guide's pictures from the real Marlowen.exe under Wine, in Wine's virtual
# desktop (so that the window has its frame) on an Xvfb and a Wine prefix of its own:
#   tools/shots/guide-shots.sh [--dpi N] DIR
#     DIR/start.png           the window at start with the sample settings (release/data.ini)
#     DIR/info.png            the window and the information box of a drop on the per-layout
#                             button before any layout survey
#     DIR/busy.png            the window and the information box of a drop while the CAD that
#                             an earlier drop started is still at work
#     DIR/cad-ended.png       the window and the error box of a CAD that ended before its prompt
#     DIR/cannot-start.png    the window and the error box of a path box naming no program
#     DIR/cannot-process.png  the window and the box of a survey whose drawing CAD cannot open
#     DIR/survey-again.png    the window and the box that asks, once that CAD has quit,
#                             whether to survey the other drawings again
#     DIR/survey.png          the window after a layout survey of three drawings against the
#                             stand-in CAD, the layout tree in view
#     DIR/status.png          the window while a batch runs, the status line telling which
#                             drawing the script has reached
#     DIR/after-message.png   the window and the box that asks, once CAD has quit after its
#                             message at a drawing, whether to run the drawings after it
#     DIR/ended-early.png     the window and the box of a CAD that ended in the middle of a
#                             batch, asking where to run the rest from
#     DIR/record.png          the batch's record test.csv laid out as a spreadsheet shows it
#     DIR/folder.png          the window while it reads a dropped folder of many subfolders, the
#                             count of drawings found so far above the path box
#   --dpi N   system density, 96 (100 %, the default and the package's) or 120, 144, 192; the
#             virtual desktop grows with it
# The README's pictures are DIR/survey.png and DIR/folder.png, copied to release/window.png
# and release/folder.png.
# Needs the MinGW build (tools/build.sh win) and the native xdnd-drop; every wait is bounded.
set -e -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
usage() { echo "usage: $0 [--dpi N] DIR" >&2; exit 2; }
dpi=96
if [ "${1:-}" = --dpi ]; then
  [[ ${2:-} =~ ^[0-9]+$ ]] && [ "$2" -ge 96 ] && [ "$2" -le 480 ] || usage
  dpi=$2
  shift 2
fi
[ $# -eq 1 ] || usage
dest=$(mkdir -p "$1" && cd "$1" && pwd)
xdnd=$out/native/tools/xdnd/xdnd-drop
for f in "$out/win/app/Marlowen.exe" "$out/win/tools/standin/StandInCad.exe" \
  "$out/win/tools/inspector/inspector.exe" "$xdnd"; do
  [ -e "$f" ] || { echo "guide-shots: not built: $f" >&2; exit 1; }
done

. "$root/tools/wine-env.sh"
# A prefix per density, the density being read when the prefix's server starts, and none
# shared with window-shot.sh, which sets its prefix's density on every run; another density's
# prefix is a copy of the 96 dpi one, which starts in seconds instead of a wineboot. Runs at
# one density take turns on its prefix.
base=$out/guide-wineprefix-96
export WINEPREFIX=$out/guide-wineprefix-$dpi
mkdir -p "$out"
exec 8>"$WINEPREFIX.shots.lock"
flock -w 600 8 || { echo "guide-shots: other pictures are being taken in $WINEPREFIX" >&2; exit 1; }
screen=$((1024 * dpi / 96))x$((768 * dpi / 96))
desktop=guide,$screen
# An Xvfb of its own even when a display is set: a desktop window on a shared display would
# take the drops of other programs' tests.
wine_env_own_display "$screen"
wine_env_prefix --dpi 96 "$base"
[ "$dpi" = 96 ] || wine_env_prefix --dpi "$dpi" --from "$base" "$WINEPREFIX"
wine_env_own "$WINEPREFIX"

# The programs as a user has them: Marlowen unpacked with the sample settings, a CAD program,
# drawings in a folder.
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

# shoot_box NAME CAPTION: the window and the message box of that caption, with a small margin.
# The window is raised, box and all, above the stand-in CAD's windows, which cover its right
# part at higher densities.
shoot_box() {
  local box bl bt br bb l t r b m=$((8 * dpi / 96))
  IFS=$'\t' read -r _ _ box _ < <(inspect wait-msgbox "$2" 20000)
  inspect raise Marlowen >/dev/null
  read -r bl bt br bb <<< "$box"
  read -r l t r b < <(inspect rect Marlowen)
  shoot "$1" $(( (bl < l ? bl : l) - m )) $(( (bt < t ? bt : t) - m )) \
    $(( (br > r ? br : r) + m )) $(( (bb > b ? bb : b) + m ))
}
# ok CAPTION: presses OK in that box and waits until no box is left, as a drop aimed at a
# box's spot in the moment its hidden window stays would be lost.
ok() {
  inspect press-ok "$1" >/dev/null
  until_true 10 "the box $1 to go" no_box
}
no_box() { [ -z "$(inspect msgboxes)" ]; }
# answer CAPTION yes|no|cancel: presses that button in the box and waits until no box is left.
answer() {
  inspect press "$1" "$2" >/dev/null
  until_true 10 "the box $1 to go" no_box
}
# The user has read CAD's message: it is closed, and Close CAD ends CAD.
close_message_and_cad() {
  inspect close 'AutoCAD メッセージ' >/dev/null
  inspect wait-gone 'AutoCAD メッセージ' 20000 >/dev/null
  inspect click Marlowen Button12 >/dev/null
  until_true 30 "Close CAD to end the stand-in CAD" cad_gone
}
status_says() { inspect control Marlowen Label1 | cut -f6 | grep -q "^$1"; }
cad_running() { inspect processes | cut -f2 | grep -qix 'cad.exe'; }
cad_gone() { ! cad_running; }
enabled() { [[ $(inspect control Marlowen "$1" | cut -f5) == enabled* ]]; }

# table_picture CSV PNG: the record (Shift-JIS, CR LF, no field quoted) drawn as a spreadsheet
# shows it: lettered columns, numbered rows, each column as wide as its longest text.
table_picture() {
  local font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
  local rowh=$((22 * dpi / 96)) pad=$((6 * dpi / 96)) em=$((7 * dpi / 96)) head=$((36 * dpi / 96))
  local -a lines widths lefts args
  mapfile -t lines < <(iconv -f CP932 -t UTF-8 "$1" | tr -d '\r')
  local line field i n=0 w
  for line in "${lines[@]}"; do
    IFS=, read -r -a fields <<< "$line"
    for i in "${!fields[@]}"; do
      w=$(( $(printf '%s' "${fields[$i]}" | LC_ALL=C.UTF-8 wc -L) * em + 2 * pad ))
      [ "${widths[$i]:-0}" -ge "$w" ] || widths[$i]=$w
    done
  done
  lefts[0]=$head
  for i in "${!widths[@]}"; do lefts[$((i + 1))]=$(( lefts[i] + widths[i] )); done
  local width=$(( lefts[${#widths[@]}] + 1 )) height=$(( (${#lines[@]} + 1) * rowh + 1 ))
  args=(-size "${width}x${height}" xc:white -fill '#eeeeee' -draw "rectangle 0,0 $width,$rowh"
    -draw "rectangle 0,0 $head,$height" -stroke '#c0c0c0' -strokewidth 1)
  for ((i = 0; i <= ${#lines[@]} + 1; i++)); do args+=(-draw "line 0,$((i * rowh)) $width,$((i * rowh))"); done
  for i in "${!lefts[@]}"; do args+=(-draw "line ${lefts[$i]},0 ${lefts[$i]},$height"); done
  args+=(-draw "line 0,0 0,$height" -stroke none -fill black -font "$font" -pointsize $((10 * dpi / 96)))
  local letters=ABCDEFGHIJ base=$(( rowh - 7 * dpi / 96 ))
  for i in "${!widths[@]}"; do args+=(-annotate "+$(( lefts[i] + widths[i] / 2 - em / 2 ))+$base" "${letters:$i:1}"); done
  for n in "${!lines[@]}"; do
    args+=(-annotate "+$pad+$(( (n + 1) * rowh + base ))" "$((n + 1))")
    IFS=, read -r -a fields <<< "${lines[$n]}"
    for i in "${!fields[@]}"; do
      field=${fields[$i]//\\/\\\\}
      args+=(-annotate "+$(( lefts[i] + pad ))+$(( (n + 1) * rowh + base ))" "${field//%/%%}")
    done
  done
  convert "${args[@]}" "$2"
}

inspect wait-window Marlowen 60000 >/dev/null
read -r left top right bottom < <(inspect rect Marlowen)
shoot start.png "$left" "$top" "$right" "$bottom"

# The per-layout button refuses before any survey; the box stands by the drop point.
drop Button5 "$c/図面/1F平面図.dwg"
shoot_box info.png 情報
ok 情報

# A drop while the CAD of the drop before is still starting is refused. Closing that CAD
# before its prompt ends the wait with a message. The stand-in is told to take its time; once
# it has started, the path box shows the path as "..." sets it, without the stand-in's option.
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe /startdelay:60000' >/dev/null
drop Button1 "$c/図面/1F平面図.dwg"
inspect wait-window 'AutoCAD 2000i - [Drawing1.dwg]' 30000 >/dev/null
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe' >/dev/null
drop Button2 "$c/図面/2F平面図.dwg"
shoot_box busy.png 情報
ok 情報
inspect close 'AutoCAD 2000i - [Drawing1.dwg]' >/dev/null
shoot_box cad-ended.png Marlowen
ok Marlowen
until_true 30 "the closed stand-in CAD to end" cad_gone

# A path box naming no program.
inspect set-text Marlowen Edit1 'C:\CAD\acadd.exe' >/dev/null
drop Button1 "$c/図面/1F平面図.dwg"
shoot_box cannot-start.png Marlowen
ok Marlowen

# A survey of a drawing that is not there (no 3F):
# CAD shows its message and stops the script. The user reads it, closes it and ends CAD, then
# clears the layout table for the next survey.
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe' >/dev/null
drop Button10 "$c/図面/1F平面図.dwg" "$c/図面/3F平面図.dwg" "$c/図面/立面図.dwg"
shoot_box cannot-process.png Marlowen
ok Marlowen
inspect wait-window 'AutoCAD メッセージ' 20000 >/dev/null
close_message_and_cad
shoot_box survey-again.png Marlowen
answer Marlowen no
inspect click Marlowen Button11 >/dev/null
until_true 20 "the cleared table to enable Button10" enabled Button10

# The survey ends when the stand-in CAD has quit.
drop Button10 "$c/図面/1F平面図.dwg" "$c/図面/2F平面図.dwg" "$c/図面/立面図.dwg"
until_true 30 "the stand-in CAD to start" cad_running
until_true 60 "the survey to quit the stand-in CAD" cad_gone
inspect expand Marlowen TreeView1 >/dev/null
read -r left top right bottom < <(inspect rect Marlowen)
shoot survey.png "$left" "$top" "$right" "$bottom"

# A batch of three drawings on the first button, the window back to its compact size first, each script line taking CAD a moment, so that
# the status line shows the drawing the script has reached.
inspect click Marlowen Button11 >/dev/null
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe /cmddelay:400' >/dev/null
drop Button1 "$c/図面/1F平面図.dwg" "$c/図面/2F平面図.dwg" "$c/図面/立面図.dwg"
until_true 30 "the stand-in CAD to start" cad_running
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe' >/dev/null
until_true 60 "the status line to name the second drawing" status_says '実行中 2 / 3'
inspect raise Marlowen >/dev/null
read -r left top right bottom < <(inspect rect Marlowen)
shoot status.png "$left" "$top" "$right" "$bottom"
until_true 120 "the batch to quit the stand-in CAD" cad_gone
until_true 20 "the status line to say the batch is complete" status_says '完了'

# A batch whose second drawing is not there: CAD's message stops the script there. Once the
# user has read it and ended CAD, the box asks about the drawings after it; Yes runs them, and
# the record tells each drawing's outcome.
drop Button1 "$c/図面/1F平面図.dwg" "$c/図面/3F平面図.dwg" "$c/図面/立面図.dwg"
inspect wait-window 'AutoCAD メッセージ' 60000 >/dev/null
until_true 20 "the status line to name the drawing CAD stopped at" status_says 'CAD のメッセージで停止: 2 / 3'
close_message_and_cad
shoot_box after-message.png Marlowen
answer Marlowen yes
until_true 30 "the rest's CAD to start" cad_running
until_true 120 "the rest to quit the stand-in CAD" cad_gone
until_true 20 "the status line to say the rest is complete" status_says '完了'
table_picture "$c/Marlowen/test.csv" "$dest/record.png"

# A CAD that ends in the middle of a batch, at its second drawing, once it has worked on it a
# moment as CAD does, so that the status line has named it.
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe /cmddelay:600 /crashon:2F平面図.dwg' >/dev/null
drop Button1 "$c/図面/1F平面図.dwg" "$c/図面/2F平面図.dwg" "$c/図面/立面図.dwg"
until_true 30 "the stand-in CAD to start" cad_running
inspect set-text Marlowen Edit1 'C:\CAD\cad.exe' >/dev/null
until_true 60 "the status line to name the second drawing" status_says '実行中 2 / 3'
shoot_box ended-early.png Marlowen
answer Marlowen cancel

# A project's folder; its 資料 holds 40,000 empty folders, seconds of reading under Wine, so
# that the count shows.
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
