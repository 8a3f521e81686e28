#!/usr/bin/env bash
# Starts or stops the Wine session the tests run in: a fresh throwaway 32-bit prefix under build/
# (only where the host runs 32-bit programs) and a fresh 64-bit prefix beside it (PREFIX64, for
# the 64-bit program and for the 32-bit one on a 64-bit system; see wine-exec64.sh), each with a
# virtual screen (Xvfb) and a persistent wineserver of its own, for quick process starts.
#   wine-session.sh start PREFIX STATE_DIR   prints the environment to use (DISPLAY=...,
#                                            WINEPREFIX=..., DAWNROLL_WINEPREFIX64=...)
#   wine-session.sh stop STATE_DIR
#   wine-session.sh new-prefix BITS PREFIX STATE_DIR   only a new prefix of that kind (32 or 64),
#                                            with its wineserver running
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"

# Starts a virtual screen on a free display; prints the display's name. Its process ID goes to
# STATE/NAME.pid.
start_screen() {
    local state=$1 name=$2 display=""
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    [ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$state/$name.log" 2>&1 &
    echo $! >"$state/$name.pid"
    for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
    echo "$display"
}

# A booted prefix of each kind (32 or 64) is kept under the build folder and copied for each
# session, so that a run boots each kind at most once (again only when Wine changes).
#   base_prefix BITS STATE   prints the base prefix's path, booting it first if needed
base_prefix() {
    local bits=$1 state=$2 base=$build/wine-base$1 version
    version=$("$WINE64_LOADER" --version 2>/dev/null || echo unknown)
    if [ ! -f "$base/.dawnroll-base" ] || [ "$(cat "$base/.dawnroll-base")" != "$version" ]; then
        remove_prefix "$base"
        (export WINEPREFIX=$base; boot_prefix "$bits" >"$state/wineboot$bits.log" 2>&1 </dev/null
         wineserver -w >/dev/null 2>&1 || true)
        [ -f "$base/system.reg" ] || { echo "the $bits-bit prefix did not boot, see $state/wineboot$bits.log" >&2; return 1; }
        echo "$version" >"$base/.dawnroll-base"
    fi
    echo "$base"
}

# A new prefix at PREFIX, a copy of the base prefix of its kind, with a wineserver kept running
# for quick process starts (on its own screen, DISPLAY).
#   new_prefix BITS PREFIX STATE
new_prefix() {
    local bits=$1 prefix=$2 state=$3 base
    base=$(base_prefix "$bits" "$state") || return 1
    remove_prefix "$prefix"
    cp -a "$base" "$prefix"
    # The base's file naming its server's socket folder goes: the copy has a server of its own.
    rm -f "$prefix/.dawnroll-base" "$prefix/wineserver"
    mark_throwaway_prefix "$prefix" scripts/wine-session.sh
    (export WINEPREFIX=$prefix; unset WINEARCH; wineserver -p >/dev/null 2>&1 </dev/null || true)
}

start() {
    local prefix=$1 state=$2
    mkdir -p "$state"
    build=$(cd "$(dirname "$prefix")" && pwd)
    local display display64
    display=$(start_screen "$state" xvfb)
    # The 64-bit prefix has a screen of its own: its tests run beside the 32-bit ones, and each
    # prefix's windows take only their own tests' real mouse input.
    display64=$(start_screen "$state" xvfb64)
    local prefix64=${prefix}64
    echo "$prefix64" >"$state/prefix64"
    DISPLAY=$display64 new_prefix 64 "$prefix64" "$state" || exit 1
    if [ "$DAWNROLL_HOST32" = yes ]; then
        echo "$prefix" >"$state/prefix"
        DISPLAY=$display new_prefix 32 "$prefix" "$state" || exit 1
    fi
    echo "DISPLAY=$display"
    echo "WINEPREFIX=$prefix"
    echo "DAWNROLL_WINEPREFIX64=$prefix64"
    echo "DAWNROLL_DISPLAY64=$display64"
    echo "DAWNROLL_HOST32=$DAWNROLL_HOST32"
    echo "DAWNROLL_BASE_PREFIX64=$build/wine-base64"
    [ "$DAWNROLL_HOST32" = yes ] && echo "DAWNROLL_BASE_PREFIX32=$build/wine-base32"
    local drives=yes
    if [ "$DAWNROLL_HOST32" = yes ]; then mount_small_drive "$prefix" "$state" 32 || drives=no; fi
    mount_small_drive "$prefix64" "$state" 64 || drives=no
    [ "$(id -u)" = 0 ] && [ "$drives" = yes ] && echo "DAWNROLL_FULL_DRIVE=T:"
    return 0
}

# Ends the wineserver of an earlier session's prefix and removes the prefix.
remove_prefix() {
    local prefix=$1
    [ -d "$prefix" ] || return 0
    (unset WINEARCH; export WINEPREFIX=$prefix; wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true)
    rm -rf "$prefix"
}

# Ends the wineserver of the prefix named in the file (one of the session's), and forgets it.
stop_server() {
    local file=$1
    [ -f "$file" ] || return 0
    (unset WINEARCH; export WINEPREFIX=$(cat "$file"); wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true)
    rm -f "$file"
}

# A small drive the tests can fill: a 256 KiB tmpfs under the state folder for each prefix (their
# tests run side by side), drive T: of that prefix. Only root can mount it; without it the tests
# that need it skip. Prints the drive's name once it is there.
#   mount_small_drive PREFIX STATE BITS
mount_small_drive() {
    local prefix=$1 mount=$2/small-drive$3
    [ "$(id -u)" = 0 ] || return 0
    mkdir -p "$mount"
    mountpoint -q "$mount" || mount -t tmpfs -o size=256k,mode=0777 dawnroll-small "$mount" 2>/dev/null || return 1
    ln -sfn "$mount" "$prefix/dosdevices/t:"
}

stop() {
    local state=$1
    stop_server "$state/prefix"
    stop_server "$state/prefix64"
    for drive in "$state"/small-drive*; do
        if mountpoint -q "$drive" 2>/dev/null; then
            umount "$drive" 2>/dev/null || umount -l "$drive" 2>/dev/null || true
        fi
    done
    for screen in xvfb xvfb64; do
        if [ -f "$state/$screen.pid" ]; then
            kill "$(cat "$state/$screen.pid")" 2>/dev/null || true
            rm -f "$state/$screen.pid"
        fi
    done
}

case "${1:-}" in
start) start "$2" "$3" ;;
new-prefix) mkdir -p "$4"; build=$(cd "$(dirname "$3")" && pwd); new_prefix "$2" "$3" "$4" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start PREFIX STATE_DIR | stop STATE_DIR | new-prefix BITS PREFIX STATE_DIR" >&2; exit 2 ;;
esac
