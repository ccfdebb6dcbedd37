#!/usr/bin/env bash
# Runs one Win32 program of the build under the session's Wine prefix, with the
# runtime DLLs of its bin folder on the search path. Exit code is the program's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/build-dirs.sh"
envfile=${VX_WINE_ENV:-${VX_BUILD_DIR:-$VX_WIN_BUILD}/wine/env}
[ -f "$envfile" ] || { echo "no Wine session: $envfile (run: scripts/wine-session.sh start <dir>)"; exit 2; }
. "$envfile"
# A test may take DLLs of its own in place of Wine's (VX_DLL_OVERRIDES, same syntax).
if [ -n "${VX_DLL_OVERRIDES:-}" ]; then
  export WINEDLLOVERRIDES="$VX_DLL_OVERRIDES;$WINEDLLOVERRIDES"
fi
bindir=$VX_BIN_DIR
export WINEPATH="Z:${bindir//\//\\}"
exec wine "$@"
