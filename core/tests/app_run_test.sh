#!/usr/bin/env bash
# Vindalex.exe under Wine and Xvfb, on a Maildir and a mail profile of its
# own: it starts, loads its plug-ins and grammar and answers a request mail
# within a few ticks; its web server answers; a screenshot of its window is kept in the build folder;
# its main window is an MDI frame with toolbar, status bar and caption strip
# whose console is an MDI child that closes and opens anew with the mail session;
# a second start hands over to the first and ends; closing the first shuts it
# down and saves the settings; a ".kvn" file named on the command line is read,
# a missing one opens nothing and the program runs on;
# without a mail session the options command opens its sheet, which Cancel
# closes; switching the desktop toolbar on there shows a notice while it is made.
set -euo pipefail
root=${VX_SOURCE_ROOT:?}
build=${VX_BUILD_DIR:?}
bin=${VX_BIN_DIR:?}
. "${VX_WINE_ENV:-$build/wine/env}"
work=$build/vindalex_app_test
rm -rf "$work"
mkdir -p "$work/prog" "$work/mail/Maildir/new" "$work/mail/Maildir/cur" "$work/mail/Maildir/tmp" "$work/mail/Outbox" "$build/artifacts"
# A program folder of its own: its logs, temporary files and plug-ins stay here.
cp "$bin"/Vindalex.exe "$bin"/Trellane.dll "$bin"/VxFx.dll "$bin"/vndHook.dll "$bin"/lib*.dll "$bin"/*.kVX "$bin"/*.Vqt "$work/prog/"
echo "from an earlier run" >"$work/prog/Vindalex.log"
mkdir -p "$work/prog/Temporary Files/sub"
echo x >"$work/prog/Temporary Files/sub/left.tmp"

winpath() { printf 'Z:%s' "$1" | sed 's#/#\\\\#g'; }
cat >"$work/profile.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\VindalexAppTest]
"Password"=""
"Maildir"="$(winpath "$work/mail/Maildir")"
"From"="vindi@localhost"
"SmtpServer"=""
"Outbox"="$(winpath "$work/mail/Outbox")"
REG
timeout 120 wine regedit /S "$work/profile.reg" >/dev/null 2>&1
timeout 60 wine reg delete 'HKCU\Software\Ostrel Software\Vindalex Personal Assistant' /f >/dev/null 2>&1 || true
# A free port of its own: test runs of several work trees may overlap.
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$root/scripts/vindalex-prefs.sh" Vindi "$port" VindalexAppTest

fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }

# Puts a request mail ("Send me my new mail.") from a sender into the Maildir.
drop_request() {
  /usr/bin/python3 - "$work/mail/Maildir" "$1" "$2" <<'PY'
import mailbox, sys, email.message
m = email.message.EmailMessage()
m["From"] = sys.argv[2]
m["To"] = "vindalex@localhost"
m["Subject"] = sys.argv[3]
m.set_content("Send me my new mail.\n")
mailbox.Maildir(sys.argv[1], create=False).add(mailbox.MaildirMessage(m))
PY
}

# One request is waiting before the start: the first mail check shares its
# tick with the log-on.
drop_request "Early <early@localhost>" "Vindi, an early request"

cd "$work/prog"
export WINEPATH="Z:${bin//\//\\}" VINDALEX_NO_TIPS=1
# The probe looks only at the windows of this copy of the program.
VX_PROGRAM_PATH=$(printf 'Z:%s' "$work/prog/Vindalex.exe" | sed 's#/#\\#g')
export VX_PROGRAM_PATH
# Closes this copy's main window (WM_CLOSE) and waits, bounded, for it to end.
close_program() {
  probe close || true
  for _ in $(seq 1 240); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end after WM_CLOSE"
  wait "$pid" || true
  pid=
}
wine Vindalex.exe >"$work/first.out" 2>&1 &
pid=$!

# The request waiting at start is answered first (its answer would otherwise
# be taken for the answer to the next one).
for _ in $(seq 1 240); do grep -rqs "^To:.*early@localhost" "$work/mail/Outbox" && break; sleep 0.5; done
grep -rqs "^To:.*early@localhost" "$work/mail/Outbox" || fail "the request waiting at start was not answered"

# The request arrives while the assistant runs.
# From the mail box's owner (the profile's address): with no accepted senders
# listed, only the owner is served.
VX_DEMO_FROM="You <vindi@localhost>" "$root/scripts/demo-request.sh" "Send me my new mail." "$work/mail" \
  >"$work/answer.txt" 2>&1 || { cat "$work/answer.txt"; fail "no answer to the request mail"; }
cat "$work/answer.txt"
grep -q "^To:.*vindi@localhost" "$work/answer.txt" || fail "the answer is not addressed to the requester"
! grep -q "^Subject: Request refused." "$work/answer.txt" || fail "the owner's request was refused"
[ -z "$(ls "$work/mail/Maildir/new")" ] || fail "the request mail was not taken"
[ ! -e "$work/prog/Temporary Files/sub/left.tmp" ] || fail "the temporary folder was not emptied"
[ -d "$work/prog/Temporary Files/sub" ] || fail "folders in the temporary folder are kept"
grep -q "from an earlier run" "$work/prog/VindalexB.log" || fail "the last log was not kept as VindalexB.log"

# The web server the frame started answers on 127.0.0.1.
code=$(curl -s -o /dev/null -w '%{http_code}' --max-time 20 http://127.0.0.1:$port/ || true)
echo "web server: HTTP $code"
[ "$code" != "000" ] && [ -n "$code" ] || fail "the web server does not answer"

# Let the console show a few log lines, then keep a picture of the screen.
for _ in $(seq 1 240); do [ -s "$work/prog/Vindalex.log" ] && break; sleep 0.5; done
[ -s "$work/prog/Vindalex.log" ] || fail "the console wrote no log file"
sleep 2.5
timeout 60 import -display "$DISPLAY" -window root "$build/artifacts/vindalex_main_window.png" || fail "no screenshot"
echo "screenshot: $build/artifacts/vindalex_main_window.png"

# The frame's windows, seen from outside: bars along its edges, the console
# view (the first pane id) inside an MDI child of the real MDI client.
probe() { timeout 300 wine "$VX_TEST_BIN_DIR/vindalex_window_tree.exe" "$@" 2>/dev/null | tr -d '\r'; }
console_view() { probe tree | awk '$1 == 3 && $3 == "id=59648" { print $NF }' | head -1; }
tree=$(probe tree)
echo "$tree"
grep -q '^1 ToolbarWindow32 id=59392 visible=1' <<<"$tree" || fail "no toolbar on the frame"
grep -q '^1 msctls_statusbar32 id=59393 visible=1' <<<"$tree" || fail "no status bar on the frame"
grep -q '^1 .* id=59420 visible=1' <<<"$tree" || fail "no caption strip on the frame"
grep -qi '^1 MDICLIENT ' <<<"$tree" || fail "no MDI client in the frame"
grep -q '^2 .* id=65280 visible=1 text=Vindale' <<<"$tree" || fail "the console is not an MDI child titled after its document"
[ -n "$(console_view)" ] || fail "no console view in the MDI child"
grep -q '^0 .* text=Vindale1 - Vindalex ' <<<"$tree" || fail "the frame's caption does not name the console document"

# Log-off closes the console; the automatic log-on that follows opens a new
# one (another window).
first=$(console_view)
probe command 32773 || fail "the frame did not take the log-off command"
for _ in $(seq 1 240); do now=$(console_view); [ -n "$now" ] && [ "$now" != "$first" ] && break; sleep 0.5; done
[ "$(console_view)" != "$first" ] || fail "the console stayed open after log-off"
[ -n "$(console_view)" ] || fail "the next log-on did not open a console"

# The options sheet does not open over a mail session, however the command
# arrives: the frame asks whether to deactivate first; No keeps the session.
probe post 32772 || fail "the options command could not be posted"
asked=$(probe answer 7) || fail "the options command asked nothing during a mail session"
grep -q "Deactivate it now" <<<"$asked" || fail "the options command asked: $asked"
probe toplevels | grep -q ' text=Properties$' && fail "the options sheet opened during a mail session"
[ -n "$(console_view)" ] || fail "answered No, the options command still ended the mail session"

# A second start hands over to the first and ends on its own.
timeout 300 wine Vindalex.exe >"$work/second.out" 2>&1 || fail "the second start did not end"
kill -0 "$pid" 2>/dev/null || fail "the first instance ended with the second"

# Closing the window (WM_CLOSE) ends the program in order; the settings are saved.
close_program
saved=$(timeout 60 wine reg query 'HKCU\Software\Ostrel Software\Vindalex Personal Assistant\Korvaneant1' /v kVInstDir 2>/dev/null | tr -d '\r')
grep -qi 'vindalex_app_test' <<<"$saved" || fail "the settings were not saved at exit: $saved"

# A ".kvn" file named on the command line is read: its strings switch the
# sender check on, and with no authorised senders set a request is refused.
cp "$root/core/console/tests/two_strings.kvn" "$work/senders.kvn"
wine Vindalex.exe "$(printf 'Z:%s' "$work/senders.kvn" | sed 's#/#\\#g')" >"$work/third.out" 2>&1 &
pid=$!
drop_request "Stranger <stranger@localhost>" "Vindi, a request"
for _ in $(seq 1 240); do grep -qs "unauthorized user. (stranger@localhost)" "$work/prog/Vindalex.log" && break; sleep 0.5; done
grep -qs "unauthorized user. (stranger@localhost)" "$work/prog/Vindalex.log" ||
  fail "the sender check stayed off: the .kvn file on the command line was not read"
close_program

# A ".kvn" file named on the command line that is not there opens nothing:
# the assistant starts all the same and answers its mail.
answers=$(find "$work/mail/Outbox" -type f | wc -l)
wine Vindalex.exe "$(printf 'Z:%s' "$work/no-such.kvn" | sed 's#/#\\#g')" >"$work/missing.out" 2>&1 &
pid=$!
drop_request "You <vindi@localhost>" "Vindi, after a missing document"
for _ in $(seq 1 240); do
  kill -0 "$pid" 2>/dev/null || fail "start-up ended over a missing document on the command line"
  [ "$(find "$work/mail/Outbox" -type f | wc -l)" -gt "$answers" ] && break
  sleep 0.5
done
[ "$(find "$work/mail/Outbox" -type f | wc -l)" -gt "$answers" ] ||
  fail "no answer after a start with a missing document on the command line"
# Start-up went on to its end: the main window is shown, and no box stands.
tree=$(probe tree) || fail "no main frame after a start with a missing document"
grep -q '^0 .* visible=1 ' <<<"$tree" || { echo "$tree"; fail "start-up stopped at the missing document: the main window was never shown"; }
probe toplevels | grep -q '^#32770 ' && { probe toplevels; fail "a message box stands after a start with a missing document"; }
close_program
grep -qi "page fault" "$work/missing.out" && { cat "$work/missing.out"; fail "the program crashed after a start with a missing document"; }

# Without a mail session the options command opens the "Properties" sheet;
# Cancel closes it, and the web server, rebuilt from the settings on the
# way out, answers again.
timeout 60 wine reg add 'HKCU\Software\Ostrel Software\Vindalex Personal Assistant\Korvaneant1' \
  /v kVAutoLogin /t REG_DWORD /d 0 /f >/dev/null 2>&1 || fail "automatic log-on could not be switched off"
wine Vindalex.exe >"$work/fourth.out" 2>&1 &
pid=$!
tree=$(probe tree) || fail "no main frame without a mail session"
grep -q '^2 .* id=65280 ' <<<"$tree" && fail "a console opened although automatic log-on is off"
probe post 32772 || fail "the options command could not be posted"
sheet=
for _ in $(seq 1 240); do sheet=$(probe toplevels | grep ' text=Properties$' || true); [ -n "$sheet" ] && break; sleep 0.5; done
[ -n "$sheet" ] || { probe toplevels; fail "the options command opened no sheet without a mail session"; }
echo "options sheet: $sheet"
sleep 1
timeout 60 import -display "$DISPLAY" -window root "$build/artifacts/vindalex_options_from_frame.png" || fail "no screenshot"
echo "screenshot: $build/artifacts/vindalex_options_from_frame.png"
probe cancel Properties || fail "the sheet did not take Cancel"
for _ in $(seq 1 240); do probe toplevels | grep -q ' text=Properties$' || break; sleep 0.5; done
probe toplevels | grep -q ' text=Properties$' && fail "the sheet stayed open after Cancel"
kill -0 "$pid" 2>/dev/null || fail "the program ended with the sheet"
code=000
for _ in $(seq 1 240); do
  code=$(curl -s -o /dev/null -w '%{http_code}' --max-time 20 http://127.0.0.1:$port/ || true)
  [ "$code" != "000" ] && [ -n "$code" ] && break
  sleep 0.5
done
[ "$code" != "000" ] && [ -n "$code" ] || fail "the web server does not answer after the sheet closed"

# Switching the desktop toolbar on in the sheet and pressing OK: a notice
# asks the user to wait while the toolbar is made, and closes by itself
# once it is there.
probe has-toolbar && fail "a desktop toolbar before it was switched on"
probe post 32772 || fail "the options command could not be posted"
for _ in $(seq 1 240); do probe toplevels | grep -q ' text=Properties$' && break; sleep 0.5; done
notice=$(probe bar-on) || { echo "$notice"; probe toplevels; fail "no notice came and went while the toolbar was made"; }
echo "$notice"
grep -q '^notice visible=1 text=Please wait while I adjust to accommodate your new selections\.$' <<<"$notice" ||
  fail "the notice does not ask the user to wait: $notice"
r=$(probe toolbar) || fail "switched on in the sheet, no desktop toolbar was made"
echo "desktop toolbar: $r"
close_program
bar=$(timeout 60 wine reg query 'HKCU\Software\Ostrel Software\Vindalex Personal Assistant\Korvaneant1' /v kVCreateAppBar 2>/dev/null | tr -d '\r')
grep -q 'kVCreateAppBar.*0x1' <<<"$bar" || fail "the toolbar's switch was not saved: $bar"
echo "PASS"
