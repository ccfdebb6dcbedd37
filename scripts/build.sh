#!/usr/bin/env bash
# Builds both targets: the Windows build (MinGW, installs into its bin folder) and
# build/host (native clang with AddressSanitizer and UndefinedBehaviorSanitizer).
# VX_WIN_ARCH=x86_64 (default) or i686 picks the Windows architecture; i686 builds
# in build/win32-i686 and installs into build/bin-i686.
# VX_WIN_TARGETS names the Windows targets to build (default: everything); then the
# host tree builds only the grammar packer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/build-dirs.sh"
"$root/scripts/deps.sh"
jobs=${VX_JOBS:-$(nproc 2>/dev/null || echo 2)}
# Configures a build tree only when it is new or its settings changed: a tree
# already configured re-runs CMake by itself when a CMakeLists.txt changes, so
# a start with nothing to build does not pay for a configure step.
configure() {
  local dir=$1; shift
  local stamp="$dir/.vx-configure-args" args="$*"
  if [ -f "$dir/build.ninja" ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$args" ]; then
    return 0
  fi
  cmake -B "$dir" "$@" >/dev/null
  printf '%s' "$args" >"$stamp"
}
# The grammar packer is a host tool that the Windows build runs too: the host
# tree's when there is one, else the Windows build makes its own natively.
pack=; host=
if [ "${VX_SKIP_HOST:-0}" != 1 ]; then
  host=$broot/host
  CC=clang CXX=clang++ configure "$broot/host" -S "$root" -G Ninja -DCMAKE_BUILD_TYPE=Debug
  cmake --build "$broot/host" -j "$jobs" --target vx_grammar_pack
  pack=$broot/host/tools/vx_grammar_pack
fi
if [ "${VX_SKIP_WIN32:-0}" != 1 ]; then
  configure "$VX_WIN_BUILD" -S "$root" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw.cmake" -DVX_WIN_ARCH="$VX_WIN_ARCH" \
        -DVX_BIN_DIR="$VX_BIN_DIR" -DVX_GRAMMAR_PACK="$pack" -DVX_HOST_BUILD="$host"
  cmake --build "$VX_WIN_BUILD" -j "$jobs" ${VX_WIN_TARGETS:+--target $VX_WIN_TARGETS}
fi
# A build of named Windows targets (the run's) needs nothing more of the host tree.
if [ "${VX_SKIP_HOST:-0}" != 1 ] && [ -z "${VX_WIN_TARGETS:-}" ]; then
  cmake --build "$broot/host" -j "$jobs"
fi
