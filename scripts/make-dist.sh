#!/usr/bin/env bash
# Packs the download: BUILD_DIR/dist/Dawnroll-VERSION-win32.zip with Dawnroll.exe, README.md and
# LICENSE at its top level, and SHA256SUMS beside it (check with: cd BUILD_DIR/dist && sha256sum -c SHA256SUMS).
# The version is the one in CMakeLists.txt. The archive is the same byte for byte for the same
# files: fixed order, fixed times (those of the last commit), fixed modes, no extra fields.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
program=$build/win32/Dawnroll.exe
version=$(sed -n 's/^project(Dawnroll VERSION \([0-9][0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
[ -n "$version" ] || { echo "make-dist: no project VERSION in CMakeLists.txt" >&2; exit 1; }
[ -f "$program" ] || { echo "make-dist: $program is missing" >&2; exit 1; }

dist=$build/dist
name=Dawnroll-$version-win32.zip
stage=$build/dist-stage
rm -rf "$stage"
mkdir -p "$stage" "$dist"
cp "$program" "$stage/Dawnroll.exe"
cp "$top/README.md" "$top/LICENSE" "$stage/"
chmod 0644 "$stage"/*
stamp=$(git -C "$top" log -1 --format=%ct 2>/dev/null || echo 1767225600)
touch -d "@$stamp" "$stage"/*

rm -f "$dist/$name" "$dist/SHA256SUMS"
(cd "$stage" && LC_ALL=C ls | TZ=UTC zip -q -X -D "$dist/$name" -@)
rm -rf "$stage"
(cd "$dist" && sha256sum "$name" >SHA256SUMS)
echo "$dist/$name"
cat "$dist/SHA256SUMS"
