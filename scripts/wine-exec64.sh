#!/usr/bin/env bash
# Runs one Win32 test program under Wine for CTest, as wine-exec.sh does, but in the test
# session's 64-bit prefix (DAWNROLL_WINEPREFIX64, made by wine-session.sh start), where the
# 32-bit program runs under WOW64. A CTest entry names this script as its command:
#   add_test(NAME x COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-exec64.sh $<TARGET_FILE:x> ARGS...)
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
# The prefix keeps its own architecture: with WINEARCH=win32 Wine refuses a 64-bit prefix.
unset WINEARCH
export WINEPREFIX=${DAWNROLL_WINEPREFIX64:-$top/build/wine-test64}
# The 64-bit prefix's own screen (see wine-session.sh).
export DISPLAY=${DAWNROLL_DISPLAY64:-$DISPLAY}
# Only a 64-bit prefix has a folder for the 32-bit system files (its registry files may not be
# written yet while the session's wineserver runs).
if [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    echo "wine-exec64: $WINEPREFIX is not a 64-bit Wine prefix (run the tests with scripts/run-tests.sh)" >&2
    exit 1
fi
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
