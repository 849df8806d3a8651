#!/bin/bash
# Writes the demo settings (kept in UTF-8 with LF here) as Marlowen reads them: Shift-JIS, CR LF.
set -e -o pipefail
iconv -f UTF-8 -t CP932 "$(dirname "$0")/data.ini" | sed 's/$/\r/' > "$1"
