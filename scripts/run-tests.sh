#!/usr/bin/env bash
# Runs every test: the native rules under sanitizers, the fuzzer, and the Win32 programs under
# Wine on a virtual screen, all in one CTest run that ends with its summary line.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
state=$build/test-session

"$top/scripts/wine-session.sh" stop "$state" 2>/dev/null
trap '"$top/scripts/wine-session.sh" stop "$state"' EXIT
session=$("$top/scripts/wine-session.sh" start "$build/wine-test" "$state") || exit 1
export $session
# Test programs save screen pictures (BMP) here; they become PNG files after the run.
mkdir -p "$build/screenshots"
export DAWNROLL_SCREENSHOTS="Z:${build//\//\\}\\screenshots"
ctest --test-dir "$build/win32" --output-on-failure --timeout 900 "$@"
status=$?
for picture in "$build"/screenshots/*.bmp; do
    [ -e "$picture" ] && convert "$picture" "${picture%.bmp}.png" >/dev/null 2>&1 && rm -f "$picture"
done
exit $status
