#!/usr/bin/env bash
# Starts Dawnroll under Wine: the 32-bit Dawnroll.exe in a 32-bit prefix, the 64-bit
# Dawnroll64.exe in a 64-bit one.
#   run-demo.sh            the demo prefix BUILD_DIR/wine-demo: created and seeded with example
#                          autostart entries the first time, then reused as it is; a 32-bit
#                          prefix where the host runs 32-bit programs, else a 64-bit one
#                          (BUILD_DIR/wine-demo64), whose window has fourteen sections
#   run-demo.sh PREFIX     an existing Wine prefix, used as it is (nothing is seeded or changed
#                          except by what you do in the window), with the program of its kind
# With a display the window opens there and the script waits until it is closed. Without one
# the script runs a virtual screen (Xvfb), waits for the window, saves a screenshot as
# BUILD_DIR/demo.png and stops what it started.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
. "$top/scripts/wine-env.sh"

own_prefix=1
if [ -n "${1:-}" ]; then
    own_prefix=0
    prefix=$(cd "$1" 2>/dev/null && pwd) || { echo "run-demo: no Wine prefix at $1" >&2; exit 1; }
    [ -f "$prefix/system.reg" ] || { echo "run-demo: $prefix is not a Wine prefix (no system.reg)" >&2; exit 1; }
    bits=$(prefix_bits "$prefix")
elif [ "$DAWNROLL_HOST32" = yes ]; then
    prefix=$build/wine-demo bits=32
else
    prefix=$build/wine-demo64 bits=64
fi
if [ "$bits" = 64 ]; then
    program=$build/win64/Dawnroll64.exe seeder=$build/win64/tests/tools/seed_demo.exe
else
    program=$build/win32/Dawnroll.exe seeder=$build/win32/tests/tools/seed_demo.exe
    can_run_program "$program" ||
        { echo "run-demo: $prefix is a 32-bit prefix, and this host runs no 32-bit programs" >&2; exit 1; }
fi
[ -f "$program" ] || { echo "run-demo: $program is missing; run 'make build' first" >&2; exit 1; }
echo "Running the $bits-bit program $(basename "$program") in the $bits-bit prefix $prefix."
export WINEPREFIX=$prefix
log=$build/demo-wine.log
mkdir -p "$build"

xvfb_pid=""
program_pid=""
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ "$own_prefix" = 1 ] && [ -z "$had_display" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

had_display=${DISPLAY:-}
if [ -z "$had_display" ]; then
    display=""
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
    done
    [ -n "$display" ] || { echo "run-demo: no free X display" >&2; exit 1; }
    Xvfb "$display" -screen 0 1280x1280x24 -nolisten tcp >"$build/demo-xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

if [ "$own_prefix" = 1 ]; then
    if [ ! -f "$prefix/system.reg" ]; then
        echo "Creating the demo Wine prefix $prefix (once, about 20 s)..."
        rm -rf "$prefix"
        boot_prefix "$bits" >"$log" 2>&1 </dev/null
        wineserver -w >/dev/null 2>&1 || true
    fi
    # The demo prefix is this script's own (also one it made before prefixes were marked): the
    # seeder writes autostart entries only into a prefix so marked.
    mark_throwaway_prefix "$prefix" scripts/run-demo.sh
    if [ ! -f "$prefix/.dawnroll-seeded" ]; then
        [ -f "$seeder" ] || { echo "run-demo: $seeder is missing; run 'make build' first" >&2; exit 1; }
        echo "Seeding the demo prefix with example autostart entries..."
        wine_run "$seeder" >>"$log" 2>&1 </dev/null || { echo "run-demo: seeding failed, see $log" >&2; exit 1; }
        touch "$prefix/.dawnroll-seeded"
    else
        # Each start of the prefix runs and empties the local machine's RunOnce key (Wine's
        # boot does that, as Windows does at startup); put the demo's example back.
        wine_run wineboot >>"$log" 2>&1 </dev/null || true
        wine_run "$seeder" --run-once >>"$log" 2>&1 </dev/null || true
    fi
fi

if [ -n "$had_display" ]; then
    echo "Starting Dawnroll in $prefix on $DISPLAY; close its window to end."
    wine_run "$program" >>"$log" 2>&1 </dev/null
    exit 0
fi

wine_run "$program" >>"$log" 2>&1 </dev/null &
program_pid=$!
window=""
for _ in $(seq 150); do
    window=$(xwininfo -root -tree 2>/dev/null | awk -v title="\"Dawnroll$bits 1.0.2 " 'index($0, title) {print $1; exit}')
    [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
done
[ -n "$window" ] || { echo "run-demo: the Dawnroll window did not appear, see $log" >&2; exit 1; }
# On the virtual screen the window takes the screen's height, so that the picture holds every
# section (fourteen in a 64-bit prefix).
width=$(xwininfo -id "$window" | awk '/^ *Width:/ {print $NF}')
xdotool windowsize "$window" "$width" 1270 >/dev/null 2>&1 || true
sleep 2 # let the window finish painting
# The picture is of the screen, cut to the window.
geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {printf "%dx%d+%d+%d", w, h, x, y}')
import -window root -crop "$geometry" +repage "$build/demo.png"
echo "Dawnroll ($bits-bit) ran in $prefix on a virtual screen; screenshot saved to $build/demo.png"
