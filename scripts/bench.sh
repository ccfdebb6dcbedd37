#!/usr/bin/env bash
# Builds the benchmarks where their figures mean something: the native ones in
# build/bench (Release, no sanitizers; the test tree build/host keeps them), the
# Windows ones in the Windows tree (optimised already) when VX_BENCH_WIN32=1.
# Nothing here is part of the test command.
#   scripts/bench.sh                      build them
#   scripts/bench.sh NAME [ARGS...]       build them, then run the native benchmark NAME
# Windows benchmarks run under a Wine session:
#   scripts/wine-session.sh start build/win32/wine
#   scripts/wine-run.sh build/win32/bench/core_engine_bench.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/build-dirs.sh"
"$root/scripts/deps.sh"
jobs=${VX_JOBS:-$(nproc 2>/dev/null || echo 2)}
bench=$broot/bench
CC=clang CXX=clang++ cmake -S "$root" -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_SANITIZE=OFF >/dev/null
cmake --build "$bench" -j "$jobs" --target vx_benchmarks
if [ "${VX_BENCH_WIN32:-0}" = 1 ]; then
  VX_WIN_TARGETS="vx_runnable vx_benchmarks" "$root/scripts/build.sh"
fi
if [ $# -gt 0 ]; then
  name=$1; shift
  exec "$bench/bench/$name" "$@"
fi
