# Sourced by the scripts that run Wine programs: start_xvfb FIRST LAST opens an Xvfb on the
# first free display number in FIRST..LAST, exports DISPLAY and stops it when the script ends.
start_xvfb() {
  local n
  for n in $(seq "$1" "$2"); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=:$n
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}
