#!/usr/bin/env bash
# Runs one Win32 test program under Wine as a throwaway ordinary user, for the tests that need
# the system's own refusals (a folder the user may not add files to, while the file in it may
# be changed). Root makes the user, its own Wine prefix and the folder, runs the program, and
# removes all of it; anyone else cannot, and the test is skipped (exit code 77).
#   run-as-user.sh PROGRAM.exe [ARGUMENTS...]
# The program finds the folder in DAWNROLL_REFUSING_FOLDER (a Wine path); CONFIG.SYS in it
# holds "A", "B" as two lines.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"

if ! can_run_program "$1"; then
    echo "skipped: $(basename "$1") is a 32-bit program and this host runs no 32-bit programs"
    exit 77
fi
if [ "$(id -u)" != 0 ]; then
    echo "skipped: making a throwaway user to run as needs root" >&2
    exit 77
fi
program=$1
shift
user=dawnroll-t$$
work=$(mktemp -d /tmp/dawnroll-as-user-XXXXXX)
cleanup() {
    if id "$user" >/dev/null 2>&1; then
        runuser -u "$user" -- env WINEPREFIX="$work/prefix" HOME="$work/home" wineserver -k >/dev/null 2>&1
        runuser -u "$user" -- env WINEPREFIX="$work/prefix" HOME="$work/home" wineserver -w >/dev/null 2>&1
        userdel "$user" >/dev/null 2>&1
    fi
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
if ! useradd --no-create-home --home-dir "$work/home" --shell /bin/sh "$user"; then
    echo "skipped: useradd failed" >&2
    exit 77
fi
mkdir -p "$work/home" "$work/refusing"
# The user may not reach the build folder (a clone in a folder only root may enter): the test
# program, one statically linked file, runs from a copy in the user's own folder.
cp "$program" "$work/home/"
program=$work/home/$(basename "$program")
printf 'A\r\nB\r\n' >"$work/refusing/CONFIG.SYS"
# The user's prefix, of the program's kind: a copy of the test session's booted prefix of that
# kind when there is one (DAWNROLL_BASE_PREFIX32 or 64), else booted here.
bits=$(pe_bits "$program")
base_var=DAWNROLL_BASE_PREFIX$bits
base=${!base_var:-}
if [ -n "$base" ] && [ -f "$base/system.reg" ]; then
    cp -a "$base" "$work/prefix"
    rm -f "$work/prefix/.dawnroll-base" "$work/prefix/wineserver"
    boot=:
else
    boot="wineboot -i"
fi
if [ "$bits" = 64 ]; then
    loader=$WINE64_LOADER arch=win64 display=${DAWNROLL_DISPLAY64:-${DISPLAY:-}}
else
    loader=$WINE32_LOADER arch=win32 display=${DISPLAY:-}
fi
chown -R "$user:" "$work"
chmod 0755 "$work"
# The file may be changed by its owner; the folder takes no new files.
chmod 0644 "$work/refusing/CONFIG.SYS"
chmod a-w "$work/refusing"

log=$work/home/log
runuser -u "$user" -- env -i PATH="$PATH" HOME="$work/home" USER="$user" DISPLAY="$display" \
    WINEPREFIX="$work/prefix" WINEARCH="$arch" WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES" \
    DAWNROLL_REFUSING_FOLDER="Z:${work//\//\\}\\refusing" \
    sh -c '[ "$1" = : ] || "$0" $1 >/dev/null 2>&1 </dev/null; shift; "$0" "$@" >"$HOME/log" 2>&1 </dev/null' \
    "$loader" "$boot" "$program" "$@"
status=$?
cat "$log"
# Here the folder is there: the test must have run, not skipped, and passed.
if [ $status = 0 ] && ! grep -q '^\[  PASSED  \] 1 test' "$log"; then
    echo "the test did not run here" >&2
    exit 1
fi
if grep -q '^\[  SKIPPED \]' "$log"; then
    echo "the test skipped although it runs as a user in a folder that refuses new files" >&2
    exit 1
fi
exit $status
