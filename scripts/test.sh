#!/usr/bin/env bash
# Builds both targets and runs every test: natively under the sanitizers, then
# the Windows binaries under Wine (fresh prefix, Xvfb). Arguments go to ctest.
# VX_WIN_ARCH=i686 builds and tests the 32-bit Windows programs instead of the
# 64-bit ones (the machine must run 32-bit programs for their tests).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/build-dirs.sh"
"$root/scripts/build.sh" || exit 1
jobs=${VX_JOBS:-$(nproc 2>/dev/null || echo 2)}
status=0
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
if [ "${VX_SKIP_HOST:-0}" != 1 ]; then
  echo "== host build (sanitizers)"
  ctest --test-dir "$broot/host" --output-on-failure -j "$jobs" "$@" || status=1
fi
if [ "${VX_SKIP_WIN32:-0}" != 1 ]; then
  echo "== Windows build, $VX_WIN_ARCH (Wine)"
  ctest --test-dir "$VX_WIN_BUILD" --output-on-failure -j "$jobs" "$@" || status=1
fi
exit $status
