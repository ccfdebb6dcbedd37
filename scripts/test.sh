#!/usr/bin/env bash
# Builds both targets and runs every test: natively under the sanitizers, then
# the Win32 binaries under Wine (fresh prefix, Xvfb). Arguments go to ctest.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
status=0
broot=${VX_BUILD_ROOT:-$root/build}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1
echo "== host build (sanitizers)"
ctest --test-dir "$broot/host" --output-on-failure -j "$jobs" "$@" || status=1
echo "== Win32 build (Wine)"
ctest --test-dir "$broot/win32" --output-on-failure -j "$jobs" "$@" || status=1
exit $status
