#!/usr/bin/env bash
# Installs what building and testing need from Debian's packages. Quick when all is present:
# the package lists are refreshed only when a package is missing. Where the host runs no 32-bit
# programs (scripts/host-runs-32bit.sh; DAWNROLL_NO_32BIT=1 to take that path anywhere), nothing
# of the i386 architecture is asked for: only the 64-bit Wine and the 64-bit build are run there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(make cmake googletest binutils mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          wine wine64 xvfb imagemagick x11-utils xdotool clang libclang-rt-14-dev zip)
# Before anything is installed the check has no assembler of its own to use: binutils first.
command -v as >/dev/null 2>&1 || host32=unknown
host32=${host32:-$("$top/scripts/host-runs-32bit.sh")}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
    done
}

# apt-get update, tried again after a pause when a list could not be fetched (a mirror in the
# middle of a sync answers with lists of unexpected sizes). Whatever lists did arrive stay in use.
update_lists() {
    local try
    for try in 1 2 3 4; do
        if $sudo apt-get update -q >"$log" 2>&1; then return 0; fi
        [ "$try" = 4 ] || { echo "Some package lists could not be fetched; trying again in $((try * 15)) s..."; sleep $((try * 15)); }
    done
    echo "Some package lists could still not be fetched (see below); going on with those that arrived."
    grep -E '^(E|W):' "$log" | head -5 || true
    return 0
}

install() {
    [ "$#" -gt 0 ] || return 0
    echo "Installing: $*"
    update_lists
    if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" >"$log" 2>&1; then
        tail -20 "$log"
        echo "install-deps: could not install $* from the package lists at hand; run 'apt-get update' when the" \
            "package mirror answers again (or check /etc/apt/sources.list), then run this again." >&2
        exit 1
    fi
}

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ "$host32" = unknown ]; then
    install binutils
    host32=$("$top/scripts/host-runs-32bit.sh")
fi
if [ "$host32" = yes ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    packages+=(wine32:i386)
fi
mapfile -t missing < <(missing_packages "${packages[@]}")
install "${missing[@]}"
