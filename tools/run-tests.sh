#!/bin/bash
# Installs what is needed, builds everything and runs every test: native unit tests, the
# sanitizer build, the Windows unit tests under Wine, the end-to-end tests and the fuzzers.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
"$root/tools/setup.sh"
"$root/tools/build.sh"

# One X display for every Wine program of the run, unless one is set already.
if [ -z "$DISPLAY" ]; then
  for n in $(seq 90 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
fi
export MARLOWEN_WINEPREFIX=$out/wineprefix

status=0
for b in native asan win fuzz; do
  echo "=== tests: $b"
  (cd "$out/$b" && ctest --output-on-failure -j "$(nproc)") || status=1
done
exit $status
