#!/bin/bash
# Renders the user guide as a user opens it, from the release zip, in headless Chromium:
#   tools/shots/guide-page-shot.sh OUT.png [WIDTHxHEIGHT]     (default 1000x1600)
# The zip is unpacked into a fresh folder, so the page shows only pictures the zip holds.
set -e -o pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${MARLOWEN_BUILD_ROOT:-$root/build}
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 OUT.png [WIDTHxHEIGHT]" >&2; exit 2; }
png=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
size=${2:-1000x1600}
zip=$(ls "$out"/release/Marlowen-*-win64.zip 2>/dev/null | head -n 1)
[ -n "$zip" ] || { echo "guide-page-shot: no zip in $out/release (tools/package.sh makes it)" >&2; exit 1; }
if ! command -v chromium >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends chromium >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && LC_ALL=C.UTF-8 cmake -E tar xf "$zip")
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$work/profile" \
  --hide-scrollbars --window-size="${size/x/,}" --screenshot="$png" "file://$work/Marlowen/使い方.html" 2>/dev/null
[ -s "$png" ] || { echo "guide-page-shot: Chromium wrote no $png" >&2; exit 1; }
echo "$png"
