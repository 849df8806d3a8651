#!/bin/bash
# The one Wine and display environment of every command that runs Wine programs.
#
# Sourced (. tools/wine-env.sh): exports Wine's variables and, when no DISPLAY is set, starts
# an Xvfb of this shell's own; then gives
#   wine_env_own_display [WxH]   an Xvfb of this shell's own even when a display is set
#                                (one screen, 1024x768 unless told)
#   wine_env_prefix [--fresh] [--dpi N] [--from BASE] PATH
#                                makes the Wine prefix PATH unless it is there (--fresh: anew),
#                                at the density N (LogPixels), as a copy of the idle BASE
#                                instead of a wineboot; returns with its wineserver ended
#   wine_env_own PATH            ends PATH's wineserver with this shell
# Run: tools/wine-env.sh [--own-display] COMMAND ARGS...   runs the command inside it;
#      tools/wine-env.sh make-prefix [--fresh] [--dpi N] [--from BASE] PATH
#
# An Xvfb started here has three screens: :N.0 and :N.1 at 1024x768 and :N.2 at 1600x1200,
# listed in MARLOWEN_SCREENS, so that programs that drop at screen coordinates take one each
# (the end-to-end harness locks the one it takes).
#
# The exit trap ends only what this shell started: its Xvfb and the wineservers of the
# prefixes given to wine_env_own, never that of a WINEPREFIX the caller set.

# ja_JP.UTF-8 makes Wine's ANSI code page 932 (Shift-JIS); no debug output, no Mono or Gecko
# installers.
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset LANG LANGUAGE
export MARLOWEN_WINE_ENV=1

wine_env_xvfb=
wine_env_servers=()

wine_env_cleanup() {
  local p
  for p in "${wine_env_servers[@]}"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
  if [ -n "$wine_env_xvfb" ]; then
    kill "$wine_env_xvfb" 2>/dev/null || true
    wait "$wine_env_xvfb" 2>/dev/null || true
  fi
}
trap wine_env_cleanup EXIT
# A signal ends the shell through its exit trap.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# wine_env_start_xvfb SCREEN...: an Xvfb with those screens (WxH each) on a display number
# the server picks itself; exports DISPLAY (its first screen) and MARLOWEN_SCREENS.
wine_env_start_xvfb() {
  local args=() i=0 size number= fifo
  for size in "$@"; do args+=(-screen $i "${size}x24"); i=$((i + 1)); done
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # -noreset: an Xvfb with several screens aborts when it resets after its last client left.
  Xvfb -displayfd 9 "${args[@]}" -nolisten tcp -noreset 9>"$fifo" >/dev/null 2>&1 &
  wine_env_xvfb=$!
  read -r -t 30 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "wine-env: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$number.0
  export MARLOWEN_SCREENS="$*"
}

wine_env_own_display() {
  if [ -n "$wine_env_xvfb" ]; then
    kill "$wine_env_xvfb" 2>/dev/null || true
    wait "$wine_env_xvfb" 2>/dev/null || true
  fi
  wine_env_start_xvfb "${1:-1024x768}"
}

wine_env_own() { wine_env_servers+=("$1"); }

wine_env_prefix() {
  local fresh= dpi= from=
  while [ $# -gt 1 ]; do
    case $1 in
      --fresh) fresh=1; shift ;;
      --dpi) dpi=$2; shift 2 ;;
      --from) from=$2; shift 2 ;;
      *) break ;;
    esac
  done
  [ $# -eq 1 ] || { echo "usage: wine_env_prefix [--fresh] [--dpi N] [--from BASE] PATH" >&2; return 2; }
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  # Whoever comes second waits for the first one's prefix instead of booting it again.
  (
    flock -w 600 9 || { echo "wine-env: $prefix is being made by another process" >&2; exit 1; }
    export WINEPREFIX=$prefix
    if [ -n "$fresh" ] || [ ! -f "$prefix/system.reg" ]; then
      wineserver -k 2>/dev/null || true
      # A case may have made a file immutable to make it unwritable even for root.
      [ ! -e "$prefix" ] || chattr -R -i "$prefix" 2>/dev/null || true
      rm -rf "$prefix"
      if [ -n "$from" ]; then
        [ -f "$from/system.reg" ] || { echo "wine-env: no Wine prefix in $from to copy" >&2; exit 1; }
        WINEPREFIX=$from wineserver -w
        cp -a "$from" "$prefix"
      else
        timeout 300 wineboot -i >/dev/null 2>&1 || true
        # The registry reaches the disk when the server ends.
        timeout 120 wineserver -w
        [ -f "$prefix/system.reg" ] || { echo "wine-env: wineboot made no prefix in $prefix" >&2; exit 1; }
      fi
      # Wine draws the caption's close box with Marlett; this Wine does not load the fonts of
      # fonts-wine from /usr/share/wine/fonts, but it does from the prefix's Fonts folder. (Its
      # Tahoma is left out: it would turn the Japanese captions into boxes.)
      cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    if [ -n "$dpi" ]; then
      # The system density is read from these two keys when the prefix's server starts.
      local hex
      hex=$(printf '%08x' "$dpi")
      if ! grep -q "\"LogPixels\"=dword:$hex" "$prefix/user.reg" ||
        ! grep -q "\"LogPixels\"=dword:$hex" "$prefix/system.reg"; then
        printf '%s\r\n' 'REGEDIT4' '' \
          '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" '' \
          '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' \
          "\"LogPixels\"=dword:$hex" >"$prefix/drive_c/density.reg"
        timeout 60 wine reg import 'C:\density.reg' >/dev/null 2>&1 || true
        timeout 60 wineserver -w
        rm -f "$prefix/drive_c/density.reg"
        grep -q "\"LogPixels\"=dword:$hex" "$prefix/user.reg" && grep -q "\"LogPixels\"=dword:$hex" "$prefix/system.reg" ||
          { echo "wine-env: the density $dpi did not reach the registry of $prefix" >&2; exit 1; }
      fi
    fi
  ) 9>"$prefix.lock"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -e
  own=
  [ "${1:-}" = --own-display ] && { own=1; shift; }
  [ $# -ge 1 ] || { echo "usage: $0 [--own-display] COMMAND ARGS... | make-prefix [--fresh] [--dpi N] [--from BASE] PATH" >&2; exit 2; }
  if [ -n "$own" ] || [ -z "${DISPLAY:-}" ]; then wine_env_start_xvfb 1024x768 1024x768 1600x1200; fi
  if [ "$1" = make-prefix ]; then
    shift
    wine_env_prefix "$@"
  else
    # In the background, so that a signal reaches the trap at once; it is passed on.
    "$@" <&0 &
    child=$!
    trap 'kill -TERM $child 2>/dev/null; exit 143' TERM
    trap 'kill -INT $child 2>/dev/null; exit 130' INT
    set +e
    wait $child
    exit $?
  fi
elif [ -z "${DISPLAY:-}" ]; then
  wine_env_start_xvfb 1024x768 1024x768 1600x1200
fi
