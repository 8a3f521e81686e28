# Sourced by the scripts that run Wine: a 32-bit prefix, quiet, and no downloads of Wine's
# optional Mono and Gecko components (this program needs neither).
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Marks a prefix this project's scripts made (and will throw away or keep only for the demo):
# the programs that write a system's own autostart places look for this file at the root of its
# drive C: and refuse to run in any other prefix (tests/shared/ThrowawayPrefix.h).
#   mark_throwaway_prefix PREFIX WHO
mark_throwaway_prefix() {
    printf 'Made by Dawnroll'"'"'s %s; its autostart places may be written by the tests, the benchmark and the demo.\r\n' \
        "$2" >"$1/drive_c/.dawnroll-throwaway-prefix"
}
