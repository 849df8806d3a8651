# Sourced by the scripts that run Wine programs: start_xvfb FIRST LAST [WxH] opens an Xvfb
# (1024x768 unless told) on the first free display number in FIRST..LAST, exports DISPLAY
# and stops it when the script ends, with the wineserver of the script's own WINEPREFIX.
start_xvfb() {
  local n
  for n in $(seq "$1" "$2"); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
  Xvfb :$n -screen 0 "${3:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi; kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}
