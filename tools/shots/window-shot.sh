#!/bin/bash
# Saves a picture of Marlowen's window: starts it with the given settings at the given screen
# density inside Wine's virtual desktop (so the window has its frame and caption) on an Xvfb
# of its own, saves the screen as a PNG and prints the window's outer and client rectangles.
#
#   tools/shots/window-shot.sh [--dpi N] [--survey] [--screen WxH] DATA_INI OUT.png
#
#   DATA_INI   settings as UTF-8 text, like tools/demo/data.ini; stored as Shift-JIS, CR LF
#   --dpi      system density, 96 (100 %), 120 (125 %), 144 (150 %), 192 (200 %); default 96
#   --survey   drop a drawing on ﾚｲｱｳﾄ名取得 first: the window stands at its survey height
#              with the layout tree in view (the CAD program is not started; the path box
#              keeps its text)
#   --screen   size of the virtual desktop; default 1600x1200
#
# Needs build/win (tools/build.sh win) and, for --survey, build/native's xdnd-drop. Its Wine
# prefix (build/shots-wineprefix) is made on the first run; runs take turns on it.
set -e -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
usage() { echo "usage: $0 [--dpi N] [--survey] [--screen WxH] DATA_INI OUT.png" >&2; exit 2; }

dpi=96 survey= screen=1600x1200
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) [[ ${2:-} =~ ^[0-9]+$ ]] && [ "$2" -ge 48 ] && [ "$2" -le 480 ] || usage; dpi=$2; shift 2 ;;
    --survey) survey=1; shift ;;
    --screen) [[ ${2:-} =~ ^[0-9]+x[0-9]+$ ]] || usage; screen=$2; shift 2 ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || usage
ini=$1 png=$(realpath -m "$2")
[ -f "$ini" ] || { echo "no settings file $ini" >&2; exit 1; }
exe=$out/win/app/Marlowen.exe inspector=$out/win/tools/inspector/inspector.exe xdnd=$out/native/tools/xdnd/xdnd-drop
for f in "$exe" "$inspector" ${survey:+"$xdnd"}; do
  [ -f "$f" ] || { echo "not built: $f" >&2; exit 1; }
done

[ -f /usr/share/wine/fonts/marlett.ttf ] || { echo "no Marlett font: install fonts-wine (tools/setup.sh)" >&2; exit 1; }
. "$root/tools/wine-env.sh"
export WINEPREFIX=$out/shots-wineprefix
mkdir -p "$out"
exec 8>"$out/shots.lock"
flock -w 600 8 || { echo "another picture is being taken in $WINEPREFIX" >&2; exit 1; }
wine_env_own_display "$screen"
if [ ! -f "$WINEPREFIX/system.reg" ]; then echo "window-shot: making the Wine prefix $WINEPREFIX (once)" >&2; fi
wine_env_prefix --dpi "$dpi" "$WINEPREFIX"
wine_env_own "$WINEPREFIX"
shot=$WINEPREFIX/drive_c/shot
rm -rf "$shot"
mkdir -p "$shot"
cp "$exe" "$inspector" "$shot/"
iconv -f UTF-8 -t CP932 "$ini" | sed 's/\r*$/\r/' > "$shot/data.ini"
: > "$shot/a.dwg"

# The virtual desktop, for every program of the prefix; like the density it is read when the
# prefix's server starts, so it is ended before Marlowen starts.
printf '%s\r\n' 'REGEDIT4' '' \
  '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="shot"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"shot\"=\"$screen\"" > "$shot/settings.reg"
timeout 60 wine reg import 'C:\shot\settings.reg' >/dev/null 2>&1
timeout 60 wineserver -w

inspect() { timeout 30 wine 'C:\shot\inspector.exe' "$@" | tr -d '\r'; }
field() { cut -f"$1" <<<"$2"; }
(cd "$shot" && exec wine 'C:\shot\Marlowen.exe' >/dev/null 2>&1) &
inspect wait-window Marlowen 30000 >/dev/null || { echo "Marlowen's window did not show" >&2; exit 1; }

if [ -n "$survey" ]; then
  # An empty path box starts no CAD program, so the survey stays at its height; the text
  # comes back for the picture.
  path=$(field 6 "$(inspect control Marlowen Edit1)" | sed 's/\\\\/\\/g')
  inspect set-text Marlowen Edit1 "" >/dev/null
  read -r x y < <(inspect center Marlowen Button10) || { echo "no Button10 to drop on" >&2; exit 1; }
  dropped=$(timeout 30 "$xdnd" --display "$DISPLAY" --timeout 10000 "$x" "$y" "$shot/a.dwg" 2>&1) ||
    { echo "the drop on Button10 failed: $dropped" >&2; exit 1; }
  for _ in $(seq 100); do
    [[ $(field 5 "$(inspect control Marlowen Button10)") == disabled* ]] && break
    sleep 0.1
  done
  [[ $(field 5 "$(inspect control Marlowen Button10)") == disabled* ]] || { echo "the survey did not start" >&2; exit 1; }
  inspect set-text Marlowen Edit1 "$path" >/dev/null
fi

sleep 1   # the last repaint after a resize
mkdir -p "$(dirname "$png")"
timeout 30 import -window root "$png"
size() { read -r l t r b <<<"$1"; echo "$l $t $r $b ($((r - l)) x $((b - t)))"; }
echo "dpi $dpi${survey:+, survey height}: outer $(size "$(inspect rect Marlowen)"), client $(size "$(inspect client Marlowen)")"
echo "saved $png"
inspect close Marlowen >/dev/null
inspect wait-gone Marlowen 10000 >/dev/null || true
