#!/usr/bin/env bash
# Benchmark (not a test): Vindalex.exe under Wine on a Maildir that already
# receives N request mails (default 1,000).
#  - start-up to a ready engine: from the program's start to its first answer
#    (start-up, grammar and plug-ins loaded, first mail tick);
#  - memory: the resident size of the running program after every request is
#    answered, and again 20 seconds later (it must not grow).
# usage: core/bench/vindalex_bench.sh [requests]   (build first: scripts/build.sh)
# VX_WIN_ARCH=i686 measures the 32-bit build (build/win32-i686, build/bin-i686);
# VX_BUILD_DIR and VX_BIN_DIR name other trees.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
n=${1:-1000}
. "$root/scripts/build-dirs.sh"
build=${VX_BUILD_DIR:-$VX_WIN_BUILD}
bin=$VX_BIN_DIR
[ -f "$bin/Vindalex.exe" ] || { echo "build first: $bin/Vindalex.exe missing"; exit 2; }
work=$build/vindalex_bench
rm -rf "$work"; mkdir -p "$work/prog" "$work/mail/Outbox"
"$root/scripts/wine-session.sh" start "$work/wine" >/dev/null
trap '"$root/scripts/wine-session.sh" stop "$work/wine"' EXIT
. "$work/wine/env"
cp "$bin"/Vindalex.exe "$bin"/Trellane.dll "$bin"/VxFx.dll "$bin"/lib*.dll "$bin"/*.kVX "$bin"/*.Vqt "$work/prog/"
mkdir -p "$work/mail/Maildir/new" "$work/mail/Maildir/cur" "$work/mail/Maildir/tmp"
winpath() { printf 'Z:%s' "$1" | sed 's#/#\\\\#g'; }
cat >"$work/profile.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\VindalexBench]
"Password"=""
"Maildir"="$(winpath "$work/mail/Maildir")"
"From"="vindi@localhost"
"SmtpServer"=""
"Outbox"="$(winpath "$work/mail/Outbox")"
REG
timeout 120 wine regedit /S "$work/profile.reg" >/dev/null 2>&1
# The web server on a free port of its own: runs of several work trees may overlap.
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$root/scripts/vindalex-prefs.sh" Vindi "$port" VindalexBench
# The shortest mail tick (10 ms): the benchmark measures work, not waiting.
timeout 60 wine reg add 'HKCU\Software\Ostrel Software\Vindalex Personal Assistant\Korvaneant1' /v kVRefreshRate /t REG_DWORD /d 1 /f >/dev/null 2>&1
# Requests arrive in batches of ten, each batch once the last is answered, so
# the mail box never holds many unread mails; the request asks for mail from
# a sender who never writes, so it answers without reading the others.
drop() {
  /usr/bin/python3 - "$work/mail/Maildir" "$1" "$2" <<'PY'
import mailbox, sys, email.message, email.utils
box = mailbox.Maildir(sys.argv[1], create=False)
for i in range(int(sys.argv[2]), int(sys.argv[2]) + int(sys.argv[3])):
    m = email.message.EmailMessage()
    m["From"] = "You <you@localhost>"
    m["To"] = "vindalex@localhost"
    m["Subject"] = "Vindi, request %d" % i
    m["Date"] = email.utils.formatdate(localtime=True)
    m["Message-ID"] = email.utils.make_msgid()
    m.set_content("Show me new messages from (Nobody Here).\n")
    box.add(mailbox.MaildirMessage(m))
PY
}
drop 0 1
count() { find "$work/mail/Outbox" -type f | wc -l; }
cd "$work/prog"
export WINEPATH="Z:${bin//\//\\}" VINDALEX_NO_TIPS=1
start=$(date +%s.%N)
wine Vindalex.exe >"$work/vindalex.out" 2>&1 &
pid=$!
until [ "$(count)" -ge 1 ]; do sleep 0.02; kill -0 $pid 2>/dev/null || { echo "program ended"; exit 1; }; done
first=$(date +%s.%N)
echo "start-up to first answer: $(echo "$first - $start" | bc) s"
# The loader becomes the program: $pid is Vindalex.exe itself (not another
# Vindalex.exe that a test or a second run has started meanwhile).
rss() { ps -o rss= -p "$pid" | tr -d ' '; }
echo "resident memory after the first answer: $(rss) KB"
deadline=$((SECONDS + 1800))
sent=1
while [ "$sent" -lt "$n" ] && [ $SECONDS -lt $deadline ]; do
  batch=$((n - sent < 10 ? n - sent : 10))
  drop "$sent" "$batch"
  sent=$((sent + batch))
  until [ "$(count)" -ge "$sent" ] || [ $SECONDS -ge $deadline ]; do
    sleep 0.05
    kill -0 $pid 2>/dev/null || { echo "program ended after $(count) of $sent answers"; exit 1; }
  done
done
done_at=$(date +%s.%N)
echo "answers: $(count) of $n in $(echo "$done_at - $start" | bc) s"
limit=$((64 * 1024))
mem=$(rss)
echo "resident memory after $n requests: $mem KB (limit $limit KB)"
sleep 20
later=$(rss)
echo "resident memory 20 s later: $later KB"
timeout 60 wine taskkill /im Vindalex.exe >/dev/null 2>&1 || true
for _ in $(seq 1 120); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
[ "$(count)" -ge "$n" ] || { echo "not every request was answered"; exit 1; }
[ -n "$mem" ] && [ -n "$later" ] && [ "$mem" -lt $limit ] && [ "$later" -lt $limit ] || { echo "over the memory limit (or the program ended)"; exit 1; }
