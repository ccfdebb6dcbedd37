#!/usr/bin/env bash
# Builds and starts the assistant under Wine on the embedded default set-up:
# a Maildir under var/ and the web pages on 127.0.0.1. Uses Xvfb when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
VX_SKIP_HOST=1 "$root/scripts/build.sh"
var="$root/var"; mkdir -p "$var"
if [ ! -f "$var/wine/env" ] || ! ( . "$var/wine/env"; [ -d "$WINEPREFIX" ] ); then
  "$root/scripts/wine-session.sh" start "$var/wine"
fi
. "$var/wine/env"
export VX_WINE_ENV="$var/wine/env" VX_BIN_DIR="$root/build/bin"
cd "$root/build/bin"
echo "Starting Vindalex (display $DISPLAY, prefix $WINEPREFIX)"
exec "$root/scripts/wine-run.sh" Vindalex.exe "$@"
