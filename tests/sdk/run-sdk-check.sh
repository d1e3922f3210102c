#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and builds two callers
# against the installed tree only: with the project's cross toolchain through
# the CMake package, and (the C caller) with clang and lld through the plain
# header and import library.  Each caller runs under Wine beside the
# installed DLLs.
set -euo pipefail
: "${GT_BUILD_DIR:?}" "${GT_SOURCE_DIR:?}"
work="$GT_BUILD_DIR/sdk-check"
prefix="$work/prefix"
rm -rf "$work"
mkdir -p "$work"

cmake --install "$GT_BUILD_DIR" --prefix "$prefix" >/dev/null

run() {  # run DIR PROGRAM: a caller under Wine, from its own directory
  echo "== $2"
  (cd "$1" && "$GT_SOURCE_DIR/cmake/wine-run.sh" "./$2")
}

echo "== configure against $prefix"
cmake -S "$GT_SOURCE_DIR/tests/sdk/consumer" -B "$work/gcc" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$GT_SOURCE_DIR/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/gcc" >/dev/null
run "$work/gcc" consumer_c.exe
run "$work/gcc" consumer_cxx.exe

# The same C caller from a second toolchain.
version=$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")$/\1/p' "$prefix/lib/cmake/gtapi32/gtapi32ConfigVersion.cmake")
libgcc_dir=$(dirname "$(i686-w64-mingw32-gcc-posix -print-libgcc-file-name)")
mkdir -p "$work/clang"
clang --target=i686-w64-mingw32 -fuse-ld=lld -O2 -L"$libgcc_dir" \
  -I"$prefix/include" -DPACKAGE_VERSION="\"$version\"" \
  "$GT_SOURCE_DIR/tests/sdk/consumer/consumer.c" "$prefix/lib/libgtapi32.dll.a" -lversion \
  -o "$work/clang/consumer_c_clang.exe"
cp "$prefix"/bin/*.dll "$prefix"/bin/*.DLL "$work/clang/"
run "$work/clang" consumer_c_clang.exe
echo "== all callers ran"
