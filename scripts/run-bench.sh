#!/usr/bin/env bash
# Runs the benchmark under Wine on a virtual screen, for each build the host can run, one after
# the other: the 32-bit build in a fresh throwaway 32-bit prefix, the 64-bit build in a fresh
# 64-bit one (the start-up figures put demo entries into the prefix's own autostart places);
# writes the tables, each headed with its build, to bench.txt in the build folder and prints it. PART (or DAWNROLL_BENCH_PARTS) names the
# parts to run, comma-separated: startup, refresh, toggle, staying, bootfile, inilist, folder,
# runkey; all when empty.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
state=$build/bench-session

"$top/scripts/wine-session.sh" stop "$state" 2>/dev/null
trap '"$top/scripts/wine-session.sh" stop "$state"' EXIT
session=$("$top/scripts/wine-session.sh" start "$build/wine-bench" "$state") || exit 1
export $session
. "$top/scripts/wine-env.sh"
export DAWNROLL_BENCH_PARTS=${PART:-${DAWNROLL_BENCH_PARTS:-}}
table=$build/bench.txt
: >"$table"
: >"$build/bench-wine.log"
status=0
for bits in 32 64; do
    if [ "$bits" = 32 ]; then
        program=$build/win32/bench/bench.exe
        if [ "$DAWNROLL_HOST32" != yes ]; then
            echo "The 32-bit build is not measured: this host runs no 32-bit programs." >>"$table"
            continue
        fi
    else
        program=$build/win64/bench/bench.exe
        export WINEPREFIX=$DAWNROLL_WINEPREFIX64 DISPLAY=$DAWNROLL_DISPLAY64
    fi
    [ -f "$program" ] || { echo "run-bench: $program is missing" >&2; status=1; continue; }
    # Output goes to a file: Wine's helper processes would otherwise hold the terminal's pipe.
    timeout 7200 bash -c '. "$1/scripts/wine-env.sh"; shift; wine_run "$@"' _ "$top" "$program" \
        >>"$table" 2>>"$build/bench-wine.log" </dev/null || status=1
    echo >>"$table"
done
cat "$table"
exit $status
