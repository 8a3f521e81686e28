#!/usr/bin/env bash
# Runs one Win32 test program under Wine for CTest, in the test session's prefix of the program's
# own kind: a 32-bit program in the 32-bit prefix (WINEPREFIX), a 64-bit one in the 64-bit prefix
# (DAWNROLL_WINEPREFIX64) on that prefix's own screen; with DAWNROLL_IN_PREFIX64=1 (wine-exec64.sh)
# a 32-bit program too, which then runs under WOW64. Wine's long-lived helper processes inherit
# the standard output of whatever starts them; the program writes to a file, so that no helper
# can hold CTest's pipe open, and the file is shown afterwards. A 32-bit program on a host that
# runs no 32-bit programs is skipped (exit code 77, which CTest counts as a skip).
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
if ! can_run_program "$1"; then
    echo "skipped: $(basename "$1") is a 32-bit program and this host runs no 32-bit programs" \
        "(the 64-bit build is tested instead)"
    exit 77
fi
if [ "$(pe_bits "$1")" = 64 ] || [ "${DAWNROLL_IN_PREFIX64:-0}" = 1 ]; then
    export WINEPREFIX=${DAWNROLL_WINEPREFIX64:-$top/build/wine-test64}
    export DISPLAY=${DAWNROLL_DISPLAY64:-${DISPLAY:-}}
    [ -n "${DAWNROLL_SCREENSHOTS:-}" ] && [ "$(pe_bits "$1")" = 64 ] && export DAWNROLL_SCREENSHOTS="$DAWNROLL_SCREENSHOTS\\x64"
    if [ "$(prefix_bits "$WINEPREFIX")" != 64 ]; then
        echo "wine-exec: $WINEPREFIX is not a 64-bit Wine prefix (run the tests with scripts/run-tests.sh)" >&2
        exit 1
    fi
else
    export WINEPREFIX=${WINEPREFIX:-$top/build/wine-test}
fi
log=$(mktemp)
wine_run "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
