#!/bin/bash
# Runs a Windows program of the build under Wine with the Japanese ANSI code page (932).
# Used as CMake's cross-compiling emulator, so ctest runs the Windows test programs.
set -e
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPREFIX=${MARLOWEN_WINEPREFIX:-${TMPDIR:-/tmp}/marlowen-wine-$(id -u)}

# Programs that create windows need an X display; without one, borrow a private Xvfb.
if [ -z "$DISPLAY" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  flock "$WINEPREFIX.lock" bash -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i' >/dev/null 2>&1
fi
exec wine "$@"
