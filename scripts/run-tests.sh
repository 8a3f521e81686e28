#!/usr/bin/env bash
# Runs every test: the native rules under sanitizers, the fuzzer, and the Win32 programs of both
# builds under Wine on virtual screens, all in one CTest run that ends with its summary, and a
# closing line that counts passed, failed and skipped entries. The 32-bit build's entries run
# in the 32-bit prefix (and under WOW64 in the 64-bit one), the 64-bit build's (named x64_...)
# in the 64-bit prefix; the two prefixes' tests run side by side. Where the host runs no 32-bit
# programs (or DAWNROLL_NO_32BIT=1), the 32-bit build's Wine entries are skipped and say why.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
state=$build/test-session
. "$top/scripts/wine-env.sh"
# One run at a time in a build folder: a second would stop the first one's Wine session.
mkdir -p "$build"
exec 9>"$build/.test-run.lock"
flock -n 9 || { echo "run-tests: another test run is using $build" >&2; exit 1; }

if [ "$DAWNROLL_HOST32" = yes ]; then
    echo "Builds tested: 32-bit (Dawnroll.exe) in a 32-bit prefix and under WOW64 in a 64-bit prefix;" \
        "64-bit (Dawnroll64.exe) in a 64-bit prefix."
else
    echo "Builds tested: 64-bit (Dawnroll64.exe) in a 64-bit prefix. The 32-bit build's Wine tests are" \
        "skipped: this host runs no 32-bit programs${DAWNROLL_NO_32BIT:+ (DAWNROLL_NO_32BIT=1)}."
fi

"$top/scripts/wine-session.sh" stop "$state" 2>/dev/null
trap '"$top/scripts/wine-session.sh" stop "$state"' EXIT
session=$("$top/scripts/wine-session.sh" start "$build/wine-test" "$state") || exit 1
export $session
# Test programs save screen pictures (BMP) here, the 64-bit build's in x64; they become PNG
# files after the run.
mkdir -p "$build/screenshots/x64"
export DAWNROLL_SCREENSHOTS="Z:${build//\//\\}\\screenshots"
# One CTest run over both build folders.
mkdir -p "$build/tests"
printf 'subdirs("%s")\nsubdirs("%s")\n' "$build/win32" "$build/win64" >"$build/tests/CTestTestfile.cmake"
junit=$build/tests/results.xml
rm -f "$junit"
ctest --test-dir "$build/tests" --output-on-failure --timeout 900 -j3 --output-junit "$junit" "$@"
status=$?
for picture in "$build"/screenshots/*.bmp "$build"/screenshots/x64/*.bmp; do
    [ -e "$picture" ] && convert "$picture" "${picture%.bmp}.png" >/dev/null 2>&1 && rm -f "$picture"
done
# The closing line: CTest's own summary counts a skipped entry among those that passed.
if [ -f "$junit" ]; then
    total=$(grep -c '<testcase ' "$junit")
    failed=$(grep -c '<testcase [^>]*status="fail"' "$junit")
    skipped=$(grep -c '<testcase [^>]*status="\(notrun\|disabled\)"' "$junit")
    echo "Tests: $((total - failed - skipped)) passed, $failed failed, $skipped skipped"
fi
exit $status
