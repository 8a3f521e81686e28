#!/usr/bin/env bash
# Runs the benchmark under Wine on a virtual screen, in a fresh throwaway prefix of its own
# (the start-up figures put demo entries into the prefix's own autostart places), writes its
# table to bench.txt in the build folder and prints it. PART (or DAWNROLL_BENCH_PARTS) names the
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
# Output goes to a file: Wine's helper processes would otherwise hold the terminal's pipe.
timeout 7200 wine "$build/win32/bench/bench.exe" >"$table" 2>"$build/bench-wine.log" </dev/null
status=$?
cat "$table"
exit $status
