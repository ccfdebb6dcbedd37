#!/usr/bin/env bash
# Builds and starts the assistant under Wine on the embedded default set-up:
# a Maildir under var/mail (registered through VxMail.dll as the default mail
# profile "Vindalex"), the assistant named "Vindi", its web pages on
# 127.0.0.1:8088. Uses Xvfb when there is no display.
# Send it a request from another shell: scripts/demo-request.sh "Send me my new mail."
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
VX_SKIP_HOST=1 "$root/scripts/build.sh"
var="$root/var"; mkdir -p "$var/mail"
export VX_MAIL_DIR="$var/mail" VX_BIN_DIR="$root/build/bin"
if [ ! -f "$var/wine/env" ] || ! ( . "$var/wine/env"; [ -d "$WINEPREFIX" ] && kill -0 "$(cat "$var/wine/xvfb.pid")" 2>/dev/null ); then
  "$root/scripts/wine-session.sh" start "$var/wine"
fi
. "$var/wine/env"
export VX_WINE_ENV="$var/wine/env"
"$root/scripts/vindalex-prefs.sh" Vindi 8088
cd "$root/build/bin"
echo "Starting Vindalex (display $DISPLAY, prefix $WINEPREFIX, mail in $var/mail/Maildir)"
exec "$root/scripts/wine-run.sh" Vindalex.exe "$@"
