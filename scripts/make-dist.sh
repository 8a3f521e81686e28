#!/usr/bin/env bash
# Packs the downloads: BUILD_DIR/dist/Dawnroll-VERSION-win32.zip with Dawnroll.exe (the main
# download, for every Windows), BUILD_DIR/dist/Dawnroll-VERSION-win64.zip with Dawnroll64.exe (for
# 64-bit Windows), each with README.md and LICENSE at its top level, and SHA256SUMS beside them
# (check with: cd BUILD_DIR/dist && sha256sum -c SHA256SUMS). The version is the one in
# CMakeLists.txt. Each archive is the same byte for byte for the same files: fixed order, fixed
# times (those of the last commit), fixed modes, no extra fields.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
version=$(sed -n 's/^project(Dawnroll VERSION \([0-9][0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
[ -n "$version" ] || { echo "make-dist: no project VERSION in CMakeLists.txt" >&2; exit 1; }
stamp=$(git -C "$top" log -1 --format=%ct 2>/dev/null || echo 1767225600)
dist=$build/dist
stage=$build/dist-stage
mkdir -p "$dist"
rm -f "$dist"/Dawnroll-*.zip "$dist/SHA256SUMS"

#   pack PROGRAM KIND   writes Dawnroll-VERSION-KIND.zip
pack() {
    local program=$1 name=Dawnroll-$version-$2.zip
    [ -f "$program" ] || { echo "make-dist: $program is missing" >&2; exit 1; }
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$program" "$top/README.md" "$top/LICENSE" "$stage/"
    chmod 0644 "$stage"/*
    touch -d "@$stamp" "$stage"/*
    (cd "$stage" && LC_ALL=C ls | TZ=UTC zip -q -X -D "$dist/$name" -@)
    rm -rf "$stage"
    (cd "$dist" && sha256sum "$name" >>SHA256SUMS)
    echo "$dist/$name"
}
pack "$build/win32/Dawnroll.exe" win32
pack "$build/win64/Dawnroll64.exe" win64
cat "$dist/SHA256SUMS"
