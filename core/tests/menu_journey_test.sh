#!/usr/bin/env bash
# Every command of the program's three menus, through the delivered program
# under Wine and Xvfb: the desktop toolbar's menu and the tray icon's menu are
# opened as a click opens them and driven with keys; the main window's menu
# commands are sent to the frame as its menu sends them. Each runs once with
# the console open (mail interface active) and once with it closed, and must
# leave its mark: a window, a restored frame, a console opened or closed, the
# program ended. A Deactivate holds although automatic log-on is on. The tray
# menu is kept as a screenshot.
set -euo pipefail
root=${VX_SOURCE_ROOT:?}
build=${VX_BUILD_DIR:?}
bin=${VX_BIN_DIR:?}
. "${VX_WINE_ENV:-$build/wine/env}"
work=$build/vindalex_menu_test
art=$build/artifacts
rm -rf "$work"
mkdir -p "$work/prog" "$work/mail/Maildir/new" "$work/mail/Maildir/cur" "$work/mail/Maildir/tmp" "$work/mail/Outbox" "$art"
cp "$bin"/Vindalex.exe "$bin"/Trellane.dll "$bin"/VxFx.dll "$bin"/vndHook.dll "$bin"/lib*.dll "$bin"/*.kVX "$bin"/*.Vqt "$work/prog/"

winpath() { printf 'Z:%s' "$1" | sed 's#/#\\\\#g'; }
cat >"$work/profile.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\VindalexMenuTest]
"Password"=""
"Maildir"="$(winpath "$work/mail/Maildir")"
"From"="vindi@localhost"
"SmtpServer"=""
"Outbox"="$(winpath "$work/mail/Outbox")"
REG
# A ".log" file opens in Notepad, as on Windows (Wine's prefix has no such
# association of its own): the Previous Log commands open one.
cat >>"$work/profile.reg" <<REG

[HKEY_CLASSES_ROOT\\.log]
@="txtfile"
REG
timeout 120 wine regedit /S "$work/profile.reg" >/dev/null 2>&1
key='HKCU\Software\Ostrel Software\Vindalex Personal Assistant'
timeout 60 wine reg delete "$key" /f >/dev/null 2>&1 || true
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# As the run script sets it up: automatic log-on, no active hours (start and
# end both midnight), a mail tick of half a second.
"$root/scripts/vindalex-prefs.sh" Vindi "$port" VindalexMenuTest
setting() { timeout 60 wine reg add "$key\\Korvaneant1" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }
setting kVCreateAppBar 1
setting kVAutoHideAppBar 0

pid=
# A failed run closes the program as a user would first: killed, it would
# leave its desktop toolbar's screen edge reserved for the tests after it.
fail() {
  echo "FAIL: $*"
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    probe keys esc >/dev/null 2>&1 || true
    probe close >/dev/null 2>&1 || true
    for _ in $(seq 1 120); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    kill "$pid" 2>/dev/null
  fi
  exit 1
}
probe() { timeout 300 wine "$VX_TEST_BIN_DIR/vindalex_window_tree.exe" "$@" 2>/dev/null | tr -d '\r'; }
say() { echo "ok ($(date +%T)): $*"; }
shot() { sleep 1; timeout 60 import -display "$DISPLAY" -window root "$art/$1" || fail "no screenshot $1"; echo "screenshot: $art/$1"; }

cd "$work/prog"
export WINEPATH="Z:${bin//\//\\}" VINDALEX_NO_TIPS=1
VX_PROGRAM_PATH=$(printf 'Z:%s' "$work/prog/Vindalex.exe" | sed 's#/#\\#g')
export VX_PROGRAM_PATH

# Polls a condition (a shell command) for up to two minutes.
until_true() { for _ in $(seq 1 240); do eval "$1" && return 0; sleep 0.5; done; return 1; }
console_open() { probe console >/dev/null; }
window_shows() { probe toplevels | grep -q " text=$1\$"; }

# Starts the program; the automatic log-on opens the console.
start() {
  # The previous log file the Previous Log commands open.
  echo "the log of the run before" >Vindalex.log
  wine Vindalex.exe >"$work/$1.out" 2>&1 &
  pid=$!
  until_true console_open || fail "$1: the automatic log-on opened no console"
  probe toolbar >/dev/null || fail "$1: no desktop toolbar"
}
ended() { ! kill -0 "$pid" 2>/dev/null; }
expect_end() {
  until_true ended || fail "$1 did not end the program"
  wait "$pid" || true
  pid=
  say "$1 ended the program"
}
# A menu: opens it, presses the keys, checks it closed.
in_menu() {
  local which=$1
  shift
  probe menu "$which" || fail "the $which menu did not open"
  # The menu window shows a little before its loop takes keys.
  sleep 0.5
  probe keys "$@" || fail "keys $* in the $which menu"
  # A greyed item leaves the menu open: Escape closes it (unless the
  # command ended the program).
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || return 0
  local open
  open=$(probe menus || true)
  if [[ "$open" =~ ^[1-9] ]]; then
    probe keys esc >/dev/null || true
    until_true '[ "$(probe menus)" = 0 ]' || fail "the $which menu stayed open after keys $*"
  fi
}
# A Deactivate by the user, then several mail ticks: the console stays closed.
deactivated_stays() {
  until_true '! console_open' || fail "$1 did not close the console"
  sleep 3
  console_open && fail "after $1 the automatic log-on opened the console again"
  say "$1 closed the console, and it stayed closed"
}
opens_window() {
  local what=$1 title=$2
  until_true "window_shows '$title'" || { probe toplevels; fail "$what opened no \"$title\" window"; }
  probe cancel "$title" || fail "the \"$title\" window did not take Cancel"
  until_true "! window_shows '$title'" || fail "the \"$title\" window stayed"
  say "$what opened \"$title\""
}
restores_frame() {
  probe minimize || fail "the frame could not be minimised"
  until_true 'probe iconic' || fail "the frame did not minimise"
  "$@"
  until_true '! probe iconic' || fail "$* did not restore the main window"
  say "$* restored the main window"
}
opens_previous_log() {
  "$@"
  until_true 'probe other VindalexB' || fail "$* opened no viewer on the previous log file"
  say "$* opened the previous log file"
}
options_ask_no() {
  "$@"
  local text
  text=$(probe answer 7) || fail "$* asked nothing while the mail interface is active"
  grep -q "Deactivate it now" <<<"$text" || fail "$* asked: $text"
  sleep 1
  console_open || fail "answered No, $* still closed the console"
  say "$* offered to deactivate (answered No)"
}
options_sheet() {
  "$@"
  opens_window "$*" Properties
}
stays_open() {
  "$@"
  sleep 2
  console_open || fail "$* (greyed while the console is open) closed the console"
  say "$* did nothing while the console is open"
}
opens_console() {
  "$@"
  until_true console_open || fail "$* opened no console"
  say "$* opened the console"
}
tb() { in_menu toolbar "$@"; }
tray() { in_menu tray "$@"; }
main() { probe post "$1" || fail "the frame did not take command $1"; }

# ---- Desktop toolbar menu, console open (its view is the command target).
start first
tb f a && opens_window "toolbar File > About" "About Vindalex Personal Assistant"
tb h a && opens_window "toolbar Help > About" "About Vindalex Personal Assistant"
restores_frame tb v c
opens_previous_log tb v p
options_ask_no tb v o
stays_open tb a a
# Options, answered Yes: the mail interface is deactivated and the sheet opens.
tb v o
text=$(probe answer 6) || fail "the toolbar's Options asked nothing"
echo "asked: $text"
opens_window "toolbar View > Options, answered Yes" Properties
deactivated_stays "Options' deactivation"
opens_console tb a a
tb a d && deactivated_stays "toolbar Actions > Deactivate"

# ---- Desktop toolbar menu, console closed (the toolbar is the target).
tb f a && opens_window "toolbar File > About (no console)" "About Vindalex Personal Assistant"
restores_frame tb v c
opens_previous_log tb v p
options_sheet tb v o
tb a d
sleep 1
console_open && fail "Deactivate without a console opened one"
opens_console tb a a
tb a d && deactivated_stays "toolbar Deactivate"
tb f x && expect_end "toolbar File > Exit (no console)"

start second
tb f x && expect_end "toolbar File > Exit (console open)"

# ---- Tray menu, console open (its view is the owner), then closed.
start third
probe menu tray || fail "the tray menu did not open"
shot vindalex_tray_menu.png
probe keys esc || fail "Escape in the tray menu"
until_true '[ "$(probe menus)" = 0 ]' || fail "the tray menu stayed open after Escape"
restores_frame tray c
stays_open tray a
tray d && deactivated_stays "tray Deactivate"
restores_frame tray c
tray d
sleep 1
console_open && fail "the tray's greyed Deactivate opened a console"
opens_console tray a
tray x && expect_end "tray Exit (console open)"

start fourth
tray d && deactivated_stays "tray Deactivate"
tray x && expect_end "tray Exit (no console)"

# ---- Main menu: File, View, Actions, Help, with the console open and closed.
start fifth
main 57664 && opens_window "main Help > About" "About Vindalex Personal Assistant"
main 104 && opens_window "main Help > Tip of the Day" "Tip of the Day"
opens_previous_log main 32784
options_ask_no main 32772
main 32771 && deactivated_stays "main Actions > Activate (a toggle, while active)"
options_sheet main 32772
opens_console main 32771
main 57665 && expect_end "main File > Exit (console open)"

start sixth
main 32771 && deactivated_stays "main Actions > Activate (while active)"
main 57664 && opens_window "main Help > About (no console)" "About Vindalex Personal Assistant"
opens_previous_log main 32784
main 57665 && expect_end "main File > Exit (no console)"
echo "PASS"
