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

var="$root/var"; mkdir -p "$var/mail"

# The build's own output goes to a log; the terminal shows one line of progress.
buildlog=$var/build.log
[ -f "$VX_WIN_BUILD/build.ninja" ] ||
  say "first build: this takes a while (about a quarter of an hour on 8 cores, longer on fewer); its log is $buildlog"
if ! VX_WIN_TARGETS=vx_runnable "$root/scripts/build.sh" 2>&1 | "$root/scripts/build-progress.sh" "$buildlog"; then
  say "the build failed; its errors:"
  grep -E -A5 "error|FAILED" "$buildlog" | head -40 >&2
  say "the whole log is $buildlog; nothing was started"; exit 1
fi
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
fresh=0
if ! reuse; then
  say "starting a fresh Wine session in $session"
  VX_USE_DISPLAY=$([ $want = user ] && echo 1 || echo 0) \
    "$root/scripts/wine-session.sh" start "$session" || { say "Wine could not be started (reason above)"; exit 1; }
  fresh=1
fi
. "$session/env"
export VX_WINE_ENV="$session/env"
# The demo set-up goes into a new prefix only: what the user changed since
# (in Options, or the tip's check box) stays as the user left it.
if [ $fresh = 1 ]; then
  "$root/scripts/vindalex-prefs.sh" Vindi 8088 || { say "could not write the assistant's settings into $WINEPREFIX"; exit 1; }
fi

# The program runs from a folder on the prefix's own C: drive, so that its
# current drive is C: and a path such as "\" (the directory listing's default
# start folder) means C:\, not the root of this computer (Wine's Z:).
progdir=$("$root/scripts/prog-folder.sh" "$WINEPREFIX" "$VX_BIN_DIR") ||
  { say "could not prepare the program folder in $WINEPREFIX/drive_c"; exit 1; }

# One copy runs per prefix: a second start hands its command line over to the
# running one and ends at once.
pidfile=$session/vindalex.pid
if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
  say "Vindalex is already running (started by another scripts/run.sh, pid $(cat "$pidfile")):"
  say "this start only hands its command line over to it; stop it with Ctrl+C there or File > Exit"
  cd "$progdir"
  "$root/scripts/wine-run.sh" Vindalex.exe "$@" || true
  exit 0
fi

echo "Starting Vindalex: web pages at http://127.0.0.1:8088/~Vindi/ (no site password is set: the page opens at once)"
echo "  mail box $var/mail/Maildir, answers in $var/mail/Outbox, Wine prefix $WINEPREFIX"
echo "  program folder C:\\Vindalex ($progdir), its log Vindalex.log there"
if [ "$VX_SESSION_DISPLAY" = virtual ]; then
  echo "  no display of yours was found, so its windows are on the virtual display $DISPLAY;"
  echo "  to look at them: import -display $DISPLAY -window root vindalex.png"
fi
echo "  stop it with Ctrl+C here (or File > Exit in its window)"
cd "$progdir"
# Started in the background so that Ctrl+C reaches this script, which closes
# the program the way its window would (a Windows program takes no SIGINT).
"$root/scripts/wine-run.sh" Vindalex.exe "$@" &
pid=$!
echo "$pid" >"$pidfile"
stopping=0
stop() {
  [ $stopping = 1 ] && return
  stopping=1
  say "stopping Vindalex..."
  timeout 60 wine taskkill /im Vindalex.exe >/dev/null 2>&1 || true
  for _ in $(seq 1 120); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.5; done
  say "it did not close within a minute: ending its Wine session"
  timeout 30 wineserver -k 2>/dev/null || true
}
trap stop INT TERM HUP
rc=0
while :; do
  wait "$pid" && rc=0 || rc=$?
  # A signal interrupts the wait (status above 128) while the program runs on.
  kill -0 "$pid" 2>/dev/null || break
done
rm -f "$pidfile"
[ $stopping = 1 ] && { say "Vindalex stopped"; exit 0; }
[ $rc -eq 0 ] || say "Vindalex ended with exit code $rc"
exit $rc
