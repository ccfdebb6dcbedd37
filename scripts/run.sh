#!/usr/bin/env bash
# Builds what the assistant needs (no tests) and starts it under Wine on the
# embedded default set-up: a Maildir under var/mail (registered through
# VxMail.dll as the default mail profile "Vindalex"), the assistant named
# "Vindi", its web pages at http://127.0.0.1:8088/~Vindi/.
# Its windows go to your display when there is one, else to a private Xvfb
# (the script then says how to take a screenshot of it).
# Send it a request from another shell: scripts/demo-request.sh "Send me my new mail."
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
say() { echo "run: $*" >&2; }
. "$root/scripts/build-dirs.sh"

if ! VX_WIN_TARGETS=vx_runnable "$root/scripts/build.sh"; then
  say "the build failed (its errors are above); nothing was started"; exit 1
fi

var="$root/var"; mkdir -p "$var/mail"
export VX_MAIL_DIR="$var/mail"
# A display of the user's own when one answers; a virtual one otherwise.
want=virtual
if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1; then
  want=user
fi
session=$var/wine-$VX_WIN_ARCH
# Reuse the session only when it was finished (a failed start leaves no `ready`),
# its display is the one wanted and still alive, and its mail set-up names this build.
reuse() {
  [ -f "$session/ready" ] && [ -f "$session/env" ] || return 1
  ( . "$session/env"
    [ -d "$WINEPREFIX" ] && [ "${VX_SESSION_DISPLAY:-}" = "$want" ] || exit 1
    if [ "$want" = virtual ]; then kill -0 "$(cat "$session/xvfb.pid")" 2>/dev/null || exit 1; fi
    grep -qF "$(printf 'Z:%s' "$VX_BIN_DIR/VxMail.dll" | sed 's#/#\\\\#g')" "$session/vxmail.reg" ) 2>/dev/null
}
if ! reuse; then
  say "starting a fresh Wine session in $session"
  VX_USE_DISPLAY=$([ $want = user ] && echo 1 || echo 0) \
    "$root/scripts/wine-session.sh" start "$session" || { say "Wine could not be started (reason above)"; exit 1; }
fi
. "$session/env"
export VX_WINE_ENV="$session/env"
"$root/scripts/vindalex-prefs.sh" Vindi 8088 || { say "could not write the assistant's settings into $WINEPREFIX"; exit 1; }

echo "Starting Vindalex: web pages at http://127.0.0.1:8088/~Vindi/ (no site password is set: the page opens at once)"
echo "  mail box $var/mail/Maildir, answers in $var/mail/Outbox, Wine prefix $WINEPREFIX"
if [ "$VX_SESSION_DISPLAY" = virtual ]; then
  echo "  no display of yours was found, so its windows are on the virtual display $DISPLAY;"
  echo "  to look at them: import -display $DISPLAY -window root vindalex.png"
fi
cd "$VX_BIN_DIR"
rc=0
"$root/scripts/wine-run.sh" Vindalex.exe "$@" || rc=$?
[ $rc -eq 0 ] || say "Vindalex ended with exit code $rc"
exit $rc
