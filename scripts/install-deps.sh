#!/usr/bin/env bash
# Installs what building and testing need from Debian's packages. Quick when all is present:
# the package lists are refreshed only when a package is missing.
set -euo pipefail

packages=(make cmake googletest mingw-w64 g++-mingw-w64-i686-posix wine wine32:i386 wine64 xvfb
          imagemagick x11-utils clang libclang-rt-14-dev zip)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
