#!/usr/bin/env bash
# Builds the library, installs it into build/sdk/gtapi32-VERSION and packs
# that tree as build/gtapi32-VERSION-sdk.zip, for callers without CMake.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${GT_BUILD:-$root/build}"
"$root/scripts/build.sh" >&2
version=$(sed -n 's/^project(gtapi32 VERSION \([0-9.]*\) .*/\1/p' "$root/CMakeLists.txt")
name="gtapi32-$version"
stage="$build/sdk"
rm -rf "$stage" "$build/$name-sdk.zip"
cmake --install "$build" --prefix "$stage/$name" >/dev/null
(cd "$stage" && zip -qr "$build/$name-sdk.zip" "$name")
echo "$build/$name-sdk.zip"
