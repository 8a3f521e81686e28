#!/usr/bin/env bash
# Starts or stops the Wine session the tests run in: a virtual screen (Xvfb), a fresh throwaway
# 32-bit prefix under build/, a fresh 64-bit prefix beside it (PREFIX64, for the program on 64-bit
# Windows; see wine-exec64.sh) with a screen of its own, and a persistent wineserver for the
# 32-bit prefix, for quick process starts.
#   wine-session.sh start PREFIX STATE_DIR   prints the environment to use (DISPLAY=...,
#                                            WINEPREFIX=..., DAWNROLL_WINEPREFIX64=...)
#   wine-session.sh stop STATE_DIR
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

start() {
    local prefix=$1 state=$2
    mkdir -p "$state"
    local display display64
    display=$(start_screen "$state" xvfb)
    # The 64-bit prefix gets a screen of its own: its long-lived processes keep windows of their
    # own, which on a shared screen take the 32-bit tests' real mouse input.
    display64=$(start_screen "$state" xvfb64)

    export DISPLAY=$display
    local prefix64=${prefix}64
    remove_prefix "$prefix"
    remove_prefix "$prefix64"
    echo "$prefix" >"$state/prefix"
    echo "$prefix64" >"$state/prefix64"
    # The 64-bit prefix boots first, on its own, and its server is not kept: booting it beside the
    # 32-bit one, or keeping its processes, made the 32-bit tests' real clicks go missing. Its
    # tests start it again when they run.
    DISPLAY=$display64 WINEARCH=win64 WINEPREFIX=$prefix64 wineboot -i >"$state/wineboot64.log" 2>&1 </dev/null ||
        { echo "the 64-bit prefix did not boot, see $state/wineboot64.log" >&2; exit 1; }
    mark_throwaway_prefix "$prefix64" scripts/wine-session.sh
    (unset WINEARCH; export WINEPREFIX=$prefix64; wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true)
    WINEPREFIX=$prefix wineboot -i >"$state/wineboot.log" 2>&1 </dev/null
    mark_throwaway_prefix "$prefix" scripts/wine-session.sh
    WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 </dev/null || true
    echo "DISPLAY=$display"
    echo "WINEPREFIX=$prefix"
    echo "DAWNROLL_WINEPREFIX64=$prefix64"
    echo "DAWNROLL_DISPLAY64=$display64"
    mount_small_drive "$prefix" "$state"
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

# A small drive the tests can fill: a 256 KiB tmpfs under the state folder, drive T: of the
# prefix. Only root can mount it; without it the tests that need it skip.
mount_small_drive() {
    local prefix=$1 state=$2 mount=$2/small-drive
    [ "$(id -u)" = 0 ] || return 0
    mkdir -p "$mount"
    mountpoint -q "$mount" || mount -t tmpfs -o size=256k,mode=0777 dawnroll-small "$mount" 2>/dev/null || return 0
    ln -sfn "$mount" "$prefix/dosdevices/t:"
    echo "DAWNROLL_FULL_DRIVE=T:"
}

stop() {
    local state=$1
    stop_server "$state/prefix"
    stop_server "$state/prefix64"
    if mountpoint -q "$state/small-drive" 2>/dev/null; then
        umount "$state/small-drive" 2>/dev/null || umount -l "$state/small-drive" 2>/dev/null || true
    fi
    for screen in xvfb xvfb64; do
        if [ -f "$state/$screen.pid" ]; then
            kill "$(cat "$state/$screen.pid")" 2>/dev/null || true
            rm -f "$state/$screen.pid"
        fi
    done
}

case "${1:-}" in
start) start "$2" "$3" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start PREFIX STATE_DIR | stop STATE_DIR" >&2; exit 2 ;;
esac
