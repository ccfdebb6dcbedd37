#!/usr/bin/python3
"""Simple MAPI over a Maildir against Linux mail tools.

Python's mailbox and email packages write the store; the Win32 probe reads, marks,
saves, deletes and sends through MAPI32.DLL under Wine; mailbox.Maildir then checks
the moves and flags, the email package parses what was sent, and a real SMTP server
(aiosmtpd) on a free loopback port receives the relayed mail.

usage: interop_test.py PROBE.exe   (run by CTest inside the Wine session)
"""
import email
import mailbox
import os
import subprocess
import sys
import time
from email import policy
from email.message import EmailMessage

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                "testsupport", "python"))
from vxtest import WINE_RUN, check, free_port, run_checks, smtp_server, wine_run, winpath  # noqa: E402

PROBE = sys.argv[1]


def probe(*args):
    _, lines = wine_run(PROBE, *args)
    result = {}
    for l in lines:
        k, _, v = l.partition("=")
        result.setdefault(k, []).append(v)
    return result


def unescape(s):
    out = bytearray()
    i = 0
    while i < len(s):
        if s[i] == "\\" and s[i + 1:i + 2] == "x":
            out.append(int(s[i + 2:i + 4], 16))
            i += 4
        else:
            out += s[i].encode("latin-1")
            i += 1
    return bytes(out)


def escape(text):
    # Spec files are ANSI (windows-1252 under the test prefix); escape what is not printable.
    out = ""
    for b in text.encode("cp1252"):
        out += chr(b) if 32 <= b < 127 and b != 92 else "\\x%02X" % b
    return out


def write_spec(path, **fields):
    with open(path, "w", encoding="ascii") as f:
        for key, values in fields.items():
            for v in values if isinstance(values, list) else [values]:
                f.write("%s=%s\n" % (key, escape(v)))


def rc(result):
    return int(result.get("rc", ["-1"])[-1])


def make_message(subject, body, sender="Jürgen Müller <juergen@example.org>", attachment=None):
    m = EmailMessage()
    m["From"] = sender
    m["To"] = "assistant@example.com"
    m["Subject"] = subject
    m["Date"] = email.utils.format_datetime(email.utils.localtime())
    m.set_content(body)
    if attachment:
        m.add_attachment(attachment[1], maintype="application", subtype="octet-stream", filename=attachment[0])
    return m


def main():
    run_checks("vxmail-interop-", run, "interop ok")


def run(work):
    store_path = os.path.join(work, "Maildir")
    outbox_path = os.path.join(work, "Outbox")
    box = mailbox.Maildir(store_path, create=True)
    k_plain = box.add(make_message("Grüße", "Hallo Vindalex,\nbitte antworten.\n"))
    time.sleep(0.05)
    k_attach = box.add(make_message("With file", "See attachment.\n", attachment=("data.bin", bytes(range(256)))))
    time.sleep(0.05)
    seen = mailbox.MaildirMessage(make_message("Already read", "old\n"))
    seen.set_subdir("cur")
    seen.add_flag("S")
    k_seen = box.add(seen)
    time.sleep(0.05)
    k_last = box.add(make_message("Last", "last\n", sender="no-from-name@example.org"))
    box.close()

    name = "interop-%d" % os.getpid()
    check(subprocess.run([WINE_RUN, PROBE, "profile", name, winpath(store_path), winpath(outbox_path),
                          "assistant@example.com", "-", "-"], timeout=300).returncode == 0, "profile written")

    # Identifiers are mailbox's keys; unread-only skips the seen one; FIFO = delivery order.
    ids = probe("list", name, hex(0x20 | 0x100 | 0x4000)).get("id", [])
    check(ids == [k_plain, k_attach, k_last], "unread FIFO listing %r" % ids)
    all_ids = probe("list", name, hex(0x100 | 0x4000)).get("id", [])
    check(all_ids == [k_plain, k_attach, k_seen, k_last], "full FIFO listing %r" % all_ids)

    # A peek leaves the mail in new/ without flags.
    r = probe("read", name, k_plain, hex(0x80))
    check(rc(r) == 0, "peek read rc")
    check(unescape(r["subject"][0]) == "Grüße".encode("cp1252"), "subject in the ANSI code page %r" % r.get("subject"))
    check(unescape(r["note"][0]) == b"Hallo Vindalex,\r\nbitte antworten.\r\n", "note text %r" % r.get("note"))
    check(unescape(r["from"][0]) == "Jürgen Müller|juergen@example.org".encode("cp1252"), "originator %r" % r.get("from"))
    check(len(r["date"][0]) == 16 and r["date"][0][4] == "/" and r["date"][0][13] == ":", "date form %r" % r["date"])
    box = mailbox.Maildir(store_path, create=False)
    check(box.get_message(k_plain).get_subdir() == "new", "peek leaves the message in new/")

    r = probe("read", name, k_attach, hex(0x80))
    check(r.get("file") == ["data.bin|" + bytes(range(256)).hex()], "attachment in a temporary file")

    # The sweep marks each message read and still finds the next one.
    r = probe("sweep", name, hex(0x20 | 0x100), "0")
    swept = [l.split("|")[0] for l in r.get("id", [])]
    check(swept == [k_plain, k_attach, k_last], "sweep continues after marking read %r" % swept)
    check(rc(r) == 16, "sweep ends with MAPI_E_NO_MESSAGES")
    box = mailbox.Maildir(store_path, create=False)
    for key in (k_plain, k_attach, k_last):
        msg = box.get_message(key)
        check(msg.get_subdir() == "cur" and "S" in msg.get_flags(), "%s moved to cur/ with S (%s, %s)" %
              (key, msg.get_subdir(), msg.get_flags()))
    check(probe("list", name, hex(0x20)).get("id") is None, "no unread mail left")

    # Saving: a new message mailbox can read, then deleting it.
    spec = os.path.join(work, "save.spec")
    write_spec(spec, to="John <john@example.org>", subject="Saved café", text="draft body\r\n")
    r = probe("save", name, winpath(spec))
    check(rc(r) == 0 and r.get("id"), "save rc %r" % r)
    saved = r.get("id", [""])[0]
    box = mailbox.Maildir(store_path, create=False)
    check(saved in box.keys(), "saved id is a mailbox key")
    if saved in box.keys():
        parsed = email.message_from_bytes(box.get_bytes(saved), policy=policy.default)
        check(parsed["Subject"] == "Saved café", "saved subject %r" % parsed["Subject"])
        check(rc(probe("delete", name, saved)) == 0, "delete rc")
        check(saved not in mailbox.Maildir(store_path, create=False).keys(), "deleted from the Maildir")

    # Sending without a relay: into the outbox, readable by the email package.
    attach = os.path.join(work, "report.txt")
    with open(attach, "wb") as f:
        f.write(b"report line 1\r\nreport line 2\r\n")
    spec = os.path.join(work, "send.spec")
    write_spec(spec, to=["SMTP:john@example.org", "anna@example.net"], bcc="hidden@example.org",
               subject="Antwort: Grüße €", text="Danke für die Nachricht.\r\n.dot line\r\n",
               attach=winpath(attach), **{"from": "Vindalex Assistant"})
    check(rc(probe("send", name, winpath(spec))) == 0, "send into the outbox")
    outbox = mailbox.Maildir(outbox_path, create=False)
    keys = outbox.keys()
    check(len(keys) == 1, "one message in the outbox")
    if keys:
        sent = email.message_from_bytes(outbox.get_bytes(keys[0]), policy=policy.default)
        check_sent(sent, "outbox")
        check("hidden@example.org" in str(sent.get("Bcc", "")), "outbox copy keeps the blind copy")
        outbox.remove(keys[0])

    # Through a real SMTP server.
    with smtp_server() as (port, received):
        relay = name + "-smtp"
        subprocess.run([WINE_RUN, PROBE, "profile", relay, winpath(store_path), winpath(outbox_path),
                        "assistant@example.com", "127.0.0.1:%d" % port, "-"], timeout=300)
        check(rc(probe("send", relay, winpath(spec))) == 0, "send through SMTP")
    check(len(received) == 1, "the server received one message")
    if received:
        mail_from, rcpts, content = received[0]
        check(mail_from == "assistant@example.com", "MAIL FROM %r" % mail_from)
        check(sorted(rcpts) == ["anna@example.net", "hidden@example.org", "john@example.org"], "RCPT TO %r" % rcpts)
        sent = email.message_from_bytes(content, policy=policy.default)
        check_sent(sent, "smtp")
        check(sent.get("Bcc") is None, "no Bcc header on the wire")
    check(mailbox.Maildir(outbox_path, create=False).keys() == [], "relayed mail leaves the outbox")

    # Relay down: the code says so and the mail waits in the outbox.
    down = name + "-down"
    subprocess.run([WINE_RUN, PROBE, "profile", down, winpath(store_path), winpath(outbox_path),
                    "assistant@example.com", "127.0.0.1:%d" % free_port(), "-"], timeout=300)
    check(rc(probe("send", down, winpath(spec))) == 2, "MAPI_E_FAILURE when the relay is down")
    kept = mailbox.Maildir(outbox_path, create=False)
    check(len(kept.keys()) == 1, "mail kept in the outbox when the relay is down")
    for k in kept.keys():
        check_sent(email.message_from_bytes(kept.get_bytes(k), policy=policy.default), "kept")


def check_sent(sent, where):
    check(sent["Subject"] == "Antwort: Grüße €", "%s subject %r" % (where, sent["Subject"]))
    check(sent["From"].addresses[0].addr_spec == "assistant@example.com", "%s from address" % where)
    check(sent["From"].addresses[0].display_name == "Vindalex Assistant", "%s from name %r" % (where, sent["From"]))
    check([a.addr_spec for a in sent["To"].addresses] == ["john@example.org", "anna@example.net"], "%s to" % where)
    check(sent["Message-ID"] and sent["Date"] is not None, "%s Date and Message-ID" % where)
    body = sent.get_body(preferencelist=("plain",))
    text = body.get_content().replace("\r\n", "\n") if body else None
    check(text == "Danke für die Nachricht.\n.dot line\n", "%s body %r" % (where, text))
    files = list(sent.iter_attachments())
    check(len(files) == 1 and files[0].get_filename() == "report.txt" and
          files[0].get_payload(decode=True) == b"report line 1\r\nreport line 2\r\n",
          "%s attachment %r" % (where, [(f.get_filename(), f.get_payload(decode=True)) for f in files]))


if __name__ == "__main__":
    main()
