#!/bin/bash
# Runs a Windows program of the build under Wine in tools/wine-env.sh's environment, in the
# prefix of the run (MARLOWEN_WINEPREFIX). Used as CMake's cross-compiling emulator, so ctest
# runs the Windows test programs.
set -e
. "$(dirname "$0")/wine-env.sh"
export WINEPREFIX=${MARLOWEN_WINEPREFIX:-${TMPDIR:-/tmp}/marlowen-wine-$(id -u)}
wine_env_prefix "$WINEPREFIX"
# With the display of the caller there is nothing of this shell's own to end afterwards.
[ -n "$wine_env_xvfb" ] || exec wine "$@"
set +e
wine "$@"
