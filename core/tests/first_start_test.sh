#!/usr/bin/env bash
# The first start as the README gives it (scripts/run.sh, in its parts): a new
# Wine prefix and display of its own, the demo settings written into it, the
# program started from a folder holding what the build delivers. The main
# window comes up alone (no message box; the set-up turns the tip at start
# off), and Help > Tip of the Day shows a tip. Screenshots are kept.
set -euo pipefail
root=${VX_SOURCE_ROOT:?}
build=${VX_BUILD_DIR:?}
bin=${VX_BIN_DIR:?}
work=$build/vindalex_first_start
art=$build/artifacts
session=$work/session
rm -rf "$work"
mkdir -p "$work/prog" "$work/mail" "$art"
# What scripts/run.sh starts from: the delivered program and its files.
cp "$bin"/Vindalex.exe "$bin"/Trellane.dll "$bin"/VxFx.dll "$bin"/VxMail.dll "$bin"/vndHook.dll "$bin"/lib*.dll \
  "$bin"/*.kVX "$bin"/*.Vqt "$bin"/tips.txt "$work/prog/"

pid=
stop_session() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  timeout 120 "$root/scripts/wine-session.sh" stop "$session" >/dev/null 2>&1 || true
}
trap stop_session EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A fresh session, as run.sh makes one when there is none: its own display
# and prefix, the mail provider registered for this mail box.
export VX_MAIL_DIR=$work/mail
timeout 600 "$root/scripts/wine-session.sh" start "$session" || fail "no Wine session could be made"
. "$session/env"
# run.sh writes the demo settings into a new prefix only; this is one.
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$root/scripts/vindalex-prefs.sh" Vindi "$port"

cd "$work/prog"
export WINEPATH="Z:${bin//\//\\}"
VX_PROGRAM_PATH=$(printf 'Z:%s' "$work/prog/Vindalex.exe" | sed 's#/#\\#g')
export VX_PROGRAM_PATH
probe() { timeout 300 wine "$VX_TEST_BIN_DIR/vindalex_window_tree.exe" "$@" 2>/dev/null | tr -d '\r'; }
wine Vindalex.exe >"$work/first.out" 2>&1 &
pid=$!

# The demo set-up switches the tip at start off: the main window comes up
# alone, and the automatic log-on opens its console.
for _ in $(seq 1 240); do
  probe console >/dev/null && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended at its first start"
  sleep 0.5
done
probe console >/dev/null || { probe toplevels; fail "no console at the first start"; }
sleep 2
timeout 60 import -display "$DISPLAY" -window root "$art/vindalex_first_start.png" || fail "no screenshot"
echo "screenshot: $art/vindalex_first_start.png"
echo "windows at the first start:"
probe toplevels | tee "$work/toplevels.txt"
boxes=$(probe boxes)
[ -z "$boxes" ] || fail "a message box at the first start: $boxes"
# The program's top-level windows on show: the main window alone (the
# desktop toolbar is off in this set-up).
others=$(grep -v ' text=.*Vindalex' "$work/toplevels.txt" || true)
[ -z "$others" ] || fail "other windows at the first start: $others"

# Help > Tip of the Day shows a tip from the tips file.
probe post 104 || fail "the frame did not take Tip of the Day"
tip=
for _ in $(seq 1 240); do
  tip=$(probe toplevels | grep ' text=Tip of the Day$' || true)
  [ -n "$tip" ] && break
  sleep 0.5
done
[ -n "$tip" ] || { probe toplevels; fail "no Tip of the Day"; }
sleep 1
timeout 60 import -display "$DISPLAY" -window root "$art/vindalex_first_start_tip.png" || fail "no screenshot"
echo "screenshot: $art/vindalex_first_start_tip.png"
text=$(probe text "Tip of the Day" 1004) || fail "the tip's text could not be read"
echo "tip: $text"
[ -n "$text" ] || fail "the Tip of the Day is empty"
grep -q "Tips file does not exist\|Trouble reading the tips file" <<<"$text" && fail "the tip says: $text"
boxes=$(probe boxes)
[ -z "$boxes" ] || fail "a message box with the tip: $boxes"

probe cancel "Tip of the Day" || fail "the tip did not take Cancel"
probe close || true
for _ in $(seq 1 240); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after WM_CLOSE"
wait "$pid" || true
pid=
echo "PASS"
