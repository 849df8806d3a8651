#!/bin/bash
# Drops files on a control of the running demo, as a drag from a file manager would:
#   demo-drop.sh CONTROL FILE...     (CONTROL: Button1 ... Button10)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
[ $# -ge 2 ] || { echo "usage: $0 CONTROL FILE..." >&2; exit 2; }
control=$1; shift
[ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ] ||
  { echo "$0: set DISPLAY and WINEPREFIX as tools/run-demo.sh shows them" >&2; exit 2; }
. "$root/tools/wine-env.sh"
read -r x y < <(wine "$WINEPREFIX/drive_c/marlowen/inspector.exe" center Marlowen "$control" | tr -d '\r')
exec "$out/native/tools/xdnd/xdnd-drop" "$x" "$y" "$@"
