#!/usr/bin/env bash
# Runs one Win32 test program under Wine for CTest. Wine's long-lived helper processes inherit
# the standard output of whatever starts them; the program writes to a file, so that no helper
# can hold CTest's pipe open, and the file is shown afterwards.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
export WINEPREFIX=${WINEPREFIX:-$top/build/wine-test}
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
