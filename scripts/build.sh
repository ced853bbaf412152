#!/usr/bin/env bash
# Configures and builds both configurations: the native one (sanitizers, fuzz target) and the
# Windows one (programs, exdui.dll, data files, tests). VENNMARK_BUILD_DIR moves the build folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VENNMARK_BUILD_DIR:-$root/build}
jobs=$(nproc)

if [ ! -f "$build/native/build.ninja" ]; then
  cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$build/native" -j "$jobs"

if [ ! -f "$build/win/build.ninja" ]; then
  cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
        -DVENNMARK_NATIVE_BUILD="$build/native" >/dev/null
fi
cmake --build "$build/win" -j "$jobs"
