# Sourced by the scripts that run Wine: quiet, and no downloads of Wine's optional Mono and Gecko
# components (this program needs neither). A 32-bit prefix unless a script says otherwise.
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

_wine_env_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Whether this host runs 32-bit Linux programs ("yes" or "no"), asked once and passed on to the
# scripts started from here; DAWNROLL_NO_32BIT=1 makes it "no" (scripts/host-runs-32bit.sh).
if [ -z "${DAWNROLL_HOST32:-}" ]; then
    DAWNROLL_HOST32=$("$_wine_env_top/scripts/host-runs-32bit.sh")
fi
export DAWNROLL_HOST32

# Wine's own loaders, called directly: Debian's `wine` command takes the 32-bit one whenever
# wine32 is installed, and that fails where 32-bit programs cannot run. The 64-bit loader runs
# 64-bit programs (and, where the host allows, starts the 32-bit loader for 32-bit ones).
for _loader in /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 /usr/lib64/wine/wine64; do
    [ -x "$_loader" ] && { WINE64_LOADER=$_loader; break; }
done
for _loader in /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine; do
    [ -x "$_loader" ] && { WINE32_LOADER=$_loader; break; }
done
export WINE64_LOADER=${WINE64_LOADER:-wine64} WINE32_LOADER=${WINE32_LOADER:-wine}

# 32 or 64: the kind of a Windows program, read from its PE header (the machine field).
pe_bits() {
    local offset machine
    offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    machine=$(od -An -t x2 -j $((offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
    [ "$machine" = 8664 ] && echo 64 || echo 32
}

# 32 or 64: the kind of a Wine prefix (a 64-bit one has a folder for the 32-bit system files).
prefix_bits() {
    [ -d "$1/drive_c/windows/syswow64" ] && echo 64 || echo 32
}

# Runs a Windows program in the prefix WINEPREFIX with the loader its kind needs:
#   wine_run PROGRAM [ARGUMENTS...]      (a builtin such as wineboot or reg runs as the prefix's kind)
# A 32-bit program in a 64-bit prefix runs under WOW64, as on Windows.
wine_run() {
    local bits
    if [ -f "$1" ]; then bits=$(pe_bits "$1"); else bits=$(prefix_bits "$WINEPREFIX"); fi
    if [ "$bits" = 64 ]; then
        (export WINEARCH=win64; exec "$WINE64_LOADER" "$@")
    elif [ "$(prefix_bits "$WINEPREFIX")" = 64 ]; then
        (unset WINEARCH; exec "$WINE32_LOADER" "$@")
    else
        (export WINEARCH=win32; exec "$WINE32_LOADER" "$@")
    fi
}

# Makes a new prefix of the kind given (32 or 64) at WINEPREFIX. A 64-bit prefix booted where
# 32-bit programs cannot run says that syswow64\rundll32.exe cannot be opened; it is whole.
boot_prefix() {
    if [ "$1" = 64 ]; then
        (export WINEARCH=win64; exec "$WINE64_LOADER" wineboot -i)
    else
        (export WINEARCH=win32; exec "$WINE32_LOADER" wineboot -i)
    fi
}

# Whether a program can run here: a 32-bit one needs a host that runs 32-bit programs.
can_run_program() {
    [ "$(pe_bits "$1")" = 64 ] || [ "$DAWNROLL_HOST32" = yes ]
}

# Marks a prefix this project's scripts made (and will throw away or keep only for the demo):
# the programs that write a system's own autostart places look for this file at the root of its
# drive C: and refuse to run in any other prefix (tests/shared/ThrowawayPrefix.h).
#   mark_throwaway_prefix PREFIX WHO
mark_throwaway_prefix() {
    printf 'Made by Dawnroll'"'"'s %s; its autostart places may be written by the tests, the benchmark and the demo.\r\n' \
        "$2" >"$1/drive_c/.dawnroll-throwaway-prefix"
}
