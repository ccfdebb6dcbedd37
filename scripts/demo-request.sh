#!/usr/bin/env bash
# Drops a request mail for the running assistant (scripts/run.sh) into its
# Maildir and prints the answer when it arrives (at most 90 seconds).
# usage: demo-request.sh "Send me my new mail." [maildir-root]
# The request comes from the mail box's owner (the address the assistant's
# mail profile sends as, vindalex@localhost in scripts/run.sh's set-up): with
# no accepted senders listed, only the owner may have the owner's mail.
# VX_DEMO_FROM names another sender.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
request=${1:-Send me my new mail.}
mail=${2:-$root/var/mail}
name=${VINDALEX_NAME:-Vindi}
[ -d "$mail/Maildir/new" ] || { echo "no Maildir in $mail (start scripts/run.sh first)"; exit 2; }
mkdir -p "$mail/Outbox/new" "$mail/Outbox/cur"
# Only delivered answers count: a file in Outbox/tmp is still being written.
answers() { find "$mail/Outbox/new" "$mail/Outbox/cur" -type f 2>/dev/null | sort; }
before=$(answers)
/usr/bin/python3 - "$mail/Maildir" "$name" "$request" "${VX_DEMO_FROM:-You <vindalex@localhost>}" <<'PY'
import mailbox, sys, email.message, email.utils
box = mailbox.Maildir(sys.argv[1], create=False)
m = email.message.EmailMessage()
m["From"] = sys.argv[4]
m["To"] = "vindalex@localhost"
m["Subject"] = "%s, a request" % sys.argv[2]
m["Date"] = email.utils.formatdate(localtime=True)
m["Message-ID"] = email.utils.make_msgid()
m.set_content(sys.argv[3] + "\n")
box.add(mailbox.MaildirMessage(m))
PY
echo "Request sent: $request"
deadline=$((SECONDS + 90))
while [ $SECONDS -lt $deadline ]; do
  after=$(answers)
  new=$(comm -13 <(echo "$before") <(echo "$after") | grep -v '^$' || true)
  if [ -n "$new" ]; then
    for f in $new; do
      echo "---- answer ($f)"
      /usr/bin/python3 - "$f" <<'PY'
import sys, email, email.policy
m = email.message_from_binary_file(open(sys.argv[1], "rb"), policy=email.policy.default)
print("Subject:", m["Subject"]); print("To:", m["To"]); print()
body = m.get_body(preferencelist=("plain", "html"))
print(body.get_content() if body else m.get_payload())
PY
    done
    exit 0
  fi
  sleep 0.5
done
echo "no answer within 90 seconds (is scripts/run.sh running?)"; exit 1
