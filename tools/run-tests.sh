#!/bin/bash
# Installs what is needed, builds everything and runs every test: native unit tests, the
# sanitizer build, the Windows unit tests under Wine, the end-to-end tests and the fuzzers.
# The native tree's tests, mostly end-to-end programs that wait on Wine, run while the other
# trees are built and tested beside them; the Windows tests run beside the sanitizer tests and
# the fuzzers.
set -e -o pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
"$root/tools/setup.sh"
"$root/tools/build.sh" win

# One X display for every Wine program of the run, unless one is set already, and one prefix
# for the Windows test programs, whose wineserver ends with the run.
. "$root/tools/wine-env.sh"
export MARLOWEN_WINEPREFIX=$out/wineprefix
wine_env_own "$MARLOWEN_WINEPREFIX"

# run_tree PRESET [WRAPPER...]: its ctest, the log in build/ctest-PRESET.log.
run_tree() {
  local b=$1 jobs
  shift
  jobs=$(nproc)
  # The native tree's end-to-end lanes mostly wait on Wine: one job more than the cores.
  [ "$b" = native ] && jobs=$((jobs + 1))
  # A test preset names its tree under build/; elsewhere ctest runs in the tree itself.
  if [ "$out" = "$root/build" ]; then
    (cd "$root" && "$@" ctest --preset "$b" -j "$jobs")
  else
    (cd "$out/$b" && "$@" ctest --output-on-failure -j "$jobs")
  fi >"$out/ctest-$b.log" 2>&1
}

rm -f "$out"/ctest-*.log
"$root/tools/build.sh" native
run_tree native &
native=$!
status=0
# A tree that fails to build still lets the others run and report; its missing log fails the run.
built=1
"$root/tools/build.sh" asan fuzz || { built=0; status=1; }
# Under Wine on a display of its own: Wine keeps the clipboards of the prefixes on one display
# in step, and the Windows tests use theirs while the end-to-end programs use others. They
# mostly wait on Wine, so the sanitizer tests and the fuzzers run beside them; beside a build
# their history benchmark's smoke test gets too little of the machine.
run_tree win "$root/tools/wine-env.sh" --own-display &
win=$!
if [ $built = 1 ]; then
  run_tree asan || status=1
  run_tree fuzz || status=1
fi
wait $win || status=1
wait $native || status=1

passed=0
failed=0
for b in native asan win fuzz; do
  echo "=== tests: $b"
  if [ ! -f "$out/ctest-$b.log" ]; then echo "not run"; status=1; continue; fi
  cat "$out/ctest-$b.log"
  total=; bad=
  read -r total bad < <(sed -n 's/.*tests passed, \([0-9]*\) tests\? failed out of \([0-9]*\).*/\2 \1/p' "$out/ctest-$b.log") || true
  if [ -z "$total" ]; then status=1; continue; fi
  passed=$((passed + total - bad))
  failed=$((failed + bad))
done
echo "total: $passed passed, $failed failed"
exit $status
