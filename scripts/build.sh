#!/usr/bin/env bash
# Builds both targets: build/win32 (MinGW, installs into build/bin) and build/host
# (native clang with AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)
# VX_BUILD_ROOT lets several work trees or runs keep separate build folders.
broot=${VX_BUILD_ROOT:-$root/build}
# The grammar packer is a host tool that the Win32 build runs too: the host
# tree's when there is one, else the Win32 build makes its own natively.
pack=
if [ "${VX_SKIP_HOST:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$broot/host" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$broot/host" -j "$jobs" --target vx_grammar_pack
  pack=$broot/host/tools/vx_grammar_pack
fi
if [ "${VX_SKIP_WIN32:-0}" != 1 ]; then
  cmake -S "$root" -B "$broot/win32" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" -DVX_BIN_DIR="$broot/bin" \
        -DVX_GRAMMAR_PACK="$pack" >/dev/null
  cmake --build "$broot/win32" -j "$jobs"
fi
if [ "${VX_SKIP_HOST:-0}" != 1 ]; then
  cmake --build "$broot/host" -j "$jobs"
fi
