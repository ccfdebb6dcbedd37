#!/usr/bin/python3
"""The mail classes end to end, through the system's MAPI32.DLL and VxMail.dll.

Python's email package writes mail of many kinds into a Maildir; the Win32 client
(mapi_mail_client.exe, built on CZLMMapi, CZLMMapiMessage and CMAPILogon) finds,
peeks and reads it; Python checks texts, senders, dates and attachment bytes and
that peeking left the mail unread while reading marked it. Then the client sends
mail through a real SMTP server (aiosmtpd on a free loopback port), and Python
parses what arrived.

usage: mail_e2e_test.py CLIENT.exe PROBE.exe   (run by CTest inside the Wine session)
"""
import email
import email.utils
import mailbox
import os
import sys
import time
from email import policy
from email.message import EmailMessage
from email.mime.application import MIMEApplication
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email.header import Header

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "..",
                                "testsupport", "python"))
from vxtest import check, run_checks, smtp_server, winpath  # noqa: E402
from vxtest import wine_run as run  # noqa: E402

CLIENT, PROBE = sys.argv[1], sys.argv[2]
ANSI = "cp1252"  # the prefix's ANSI code page


def make_profile(name, store, outbox, smtp="-", password="-"):
    rc, _ = run(PROBE, "profile", name, winpath(store), winpath(outbox), "assistant@example.com", smtp, password)
    check(rc == 0, "profile %s written" % name)


def messages(lines):
    """The client's output as a list of per-message dicts (texts decoded from hex)."""
    out, cur, tail = [], None, {}
    for line in lines:
        key, _, value = line.partition("=")
        if key == "id":
            cur = {"id": value, "recips": [], "files": []}
            out.append(cur)
        elif cur is None or key in ("end", "logon", "log", "logoff", "exception", "messagebox"):
            tail[key] = value
        elif key in ("subject", "note"):
            cur[key] = bytes.fromhex(value)
        elif key == "from":
            cur["from"] = tuple(bytes.fromhex(p) for p in value.split("|"))
        elif key == "recip":
            cls, name, addr = value.split("|")
            cur["recips"].append((int(cls), bytes.fromhex(name), bytes.fromhex(addr)))
        elif key == "file":
            name, data = value.split("|")
            cur["files"].append((bytes.fromhex(name), bytes.fromhex(data)))
        else:
            cur[key] = value
    return out, tail


def ansi(text):
    return text.encode(ANSI)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def local_minute(timestamp):
    return time.strftime("%Y/%m/%d %H:%M", time.localtime(timestamp))


# ---------------------------------------------------------------- the mails

def mails():
    """(name, bytes, expected) for each kind of mail; expected texts as the client must see them."""
    out = []
    date = "Tue, 08 May 2001 14:07:00 +0000"
    when = local_minute(email.utils.mktime_tz(email.utils.parsedate_tz(date)))

    m = EmailMessage()
    m["From"] = "Plain Sender <plain@example.org>"
    m["To"] = "Assistant <assistant@example.com>"
    m["Subject"] = "Plain request"
    m["Date"] = date
    m.set_content("What time is it?\nAnd the weather?\n")
    out.append(("plain", m.as_bytes(policy=policy.SMTP),
                dict(subject=b"Plain request", note=b"What time is it?\r\nAnd the weather?\r\n",
                     sender=(b"Plain Sender", b"plain@example.org"), date=when, files=[],
                     to=[(1, b"Assistant", b"assistant@example.com")])))

    binary = bytes(range(256)) * 3
    text_file = "Zeile 1\r\nZeile 2 \u00e4\u00f6\u00fc\r\n".encode("latin-1")
    m = EmailMessage()
    m["From"] = "Anna Attach <anna@example.net>"
    m["To"] = "assistant@example.com"
    m["Cc"] = "Copy One <cc1@example.org>, cc2@example.org"
    m["Subject"] = "Files for you"
    m["Date"] = date
    m.set_content("Two files attached.\n")
    m.add_attachment(binary, maintype="application", subtype="octet-stream", filename="data.bin")
    m.add_attachment(text_file, maintype="text", subtype="plain", filename="notes.txt")
    out.append(("multipart", m.as_bytes(policy=policy.SMTP),
                dict(subject=b"Files for you", note=b"Two files attached.\r\n",
                     sender=(b"Anna Attach", b"anna@example.net"), date=when,
                     files=[(b"data.bin", binary), (b"notes.txt", text_file)],
                     cc=[(2, b"Copy One", b"cc1@example.org"), (2, b"cc2@example.org", b"cc2@example.org")])))

    body = "Gr\u00fc\u00dfe aus K\u00f6ln, caf\u00e9 cr\u00e8me \u2013 50 \u20ac.\n" * 3
    m = MIMEText(body.replace("\u2013", "-").replace("\u20ac", "EUR"), "plain", "iso-8859-1")
    del m["Content-Transfer-Encoding"]
    m["Content-Transfer-Encoding"] = "quoted-printable"
    import quopri
    m.set_payload(quopri.encodestring(body.replace("\u2013", "-").replace("\u20ac", "EUR").encode("latin-1")).decode("ascii"))
    m["From"] = "=?iso-8859-1?q?J=FCrgen_M=FCller?= <juergen@example.org>"
    m["To"] = "assistant@example.com"
    m["Subject"] = Header("\u00c4nderung f\u00fcr M\u00e4rz", "iso-8859-1").encode()
    m["Date"] = date
    latin_body = body.replace("\u2013", "-").replace("\u20ac", "EUR")
    out.append(("qp-latin1", m.as_bytes(),
                dict(subject=ansi("\u00c4nderung f\u00fcr M\u00e4rz"), note=ansi(crlf(latin_body)),
                     sender=(ansi("J\u00fcrgen M\u00fcller"), b"juergen@example.org"), date=when, files=[])))

    utf_body = "Preis: 20 \u20ac \u2013 \u201eGut\u201c, na\u00efve r\u00e9sum\u00e9.\nZweite Zeile.\n"
    m = MIMEText(utf_body, "plain", "utf-8")  # base64 for utf-8 by default
    m["From"] = Header("Zo\u00eb \u00c5sa", "utf-8").encode() + " <zoe@example.org>"
    m["To"] = "assistant@example.com"
    m["Subject"] = Header("Preis \u20ac und \u201eZitat\u201c", "utf-8").encode()
    m["Date"] = date
    raw = m.as_bytes()
    check(b"Content-Transfer-Encoding: base64" in raw, "the UTF-8 mail is base64")
    out.append(("b64-utf8", raw,
                dict(subject=ansi("Preis \u20ac und \u201eZitat\u201c"), note=ansi(crlf(utf_body)),
                     sender=(ansi("Zo\u00eb \u00c5sa"), b"zoe@example.org"), date=when, files=[])))

    # LF-only, no Date, no From: the date is the file's, the sender empty.
    raw = b"To: assistant@example.com\nSubject: bare\n\nno sender here\nsecond line\n"
    out.append(("bare", raw, dict(subject=b"bare", note=b"no sender here\r\nsecond line\r\n",
                                  sender=(b"", b""), date=None, files=[])))
    return out


# ---------------------------------------------------------------- reading

def test_reading(work):
    store_path = os.path.join(work, "Maildir")
    outbox_path = os.path.join(work, "Outbox")
    box = mailbox.Maildir(store_path, create=True)
    box.close()
    keys = {}
    expected = {}
    n = 0
    for name, raw, exp in mails():
        # Delivered in order, with CRLF for the plain one (as SMTP delivers it) and as written otherwise.
        n += 1
        key = "%d.M%dP%d.e2etest" % (1700000000 + n, n, os.getpid())
        path = os.path.join(store_path, "new", key)
        with open(path, "wb") as f:
            f.write(raw)
        os.utime(path, (1700000000 + n * 60, 1700000000 + n * 60))
        keys[name] = key
        expected[key] = (name, exp)
        if exp["date"] is None:
            exp["date"] = local_minute(1700000000 + n * 60)
    # One mail read before: unread-only sweeps pass it by.
    seen = mailbox.MaildirMessage(b"From: old@example.org\nSubject: old\n\nold\n")
    seen.set_subdir("cur")
    seen.add_flag("S")
    box = mailbox.Maildir(store_path, create=False)
    seen_key = box.add(seen)
    box.close()

    profile = "e2e-read-%d" % os.getpid()
    make_profile(profile, store_path, outbox_path, password="pw 1")

    # A wrong password: the logon fails and the log says why.
    rc, lines = run(CLIENT, "logon", profile, "wrong")
    _, tail = messages(lines)
    check(tail.get("logon") == "3", "wrong password gives 3 (%r)" % tail.get("logon"))
    check(b"could not log into your email program" in bytes.fromhex(tail.get("log", "")), "logon failure text")

    # Peek at every unread mail, oldest first.
    rc, lines = run(CLIENT, "read", profile, "pw 1", hex(0x20 | 0x100), hex(0x80))
    found, tail = messages(lines)
    check(rc == 0 and tail.get("logon") == "0", "peek run (%r)" % tail)
    check([m["id"] for m in found] == [keys[name] for name, _, _ in mails()], "unread FIFO order %r" % [m["id"] for m in found])
    check(tail.get("end") == "16", "sweep ends with no more messages (%r)" % tail.get("end"))
    for m in found:
        name, exp = expected.get(m["id"], ("?", None))
        if exp is None:
            check(False, "unexpected message %s" % m["id"])
            continue
        check(m.get("read") == "0", "%s read rc %r" % (name, m.get("read")))
        check(m.get("subject") == exp["subject"], "%s subject %r" % (name, m.get("subject")))
        check(m.get("note") == exp["note"], "%s note %r" % (name, m.get("note")))
        sender = m.get("from", (b"", b""))
        check(sender[1] == exp["sender"][1], "%s sender address %r" % (name, sender))
        if exp["sender"][0]:
            check(sender[0] == exp["sender"][0], "%s sender name %r" % (name, sender))
        check(m.get("date") == exp["date"], "%s date %r, expected %r" % (name, m.get("date"), exp["date"]))
        check(m["files"] == exp["files"], "%s attachments %r" % (name, [(f[0], len(f[1])) for f in m["files"]]))
        check(int(m.get("flags", "0")) & 1 == 1, "%s flagged unread" % name)
        if "to" in exp:
            check([r for r in m["recips"] if r[0] == 1] == exp["to"], "%s to %r" % (name, m["recips"]))
        if "cc" in exp:
            check([r for r in m["recips"] if r[0] == 2] == exp["cc"], "%s cc %r" % (name, m["recips"]))
    box = mailbox.Maildir(store_path, create=False)
    for name, key in keys.items():
        msg = box.get_message(key)
        check(msg.get_subdir() == "new" and "S" not in msg.get_flags(), "peeking left %s unread" % name)

    # Read for real: each one marked read, the sweep still reaches them all.
    rc, lines = run(CLIENT, "read", profile, "pw 1", hex(0x20 | 0x100), "0")
    found, tail = messages(lines)
    check([m["id"] for m in found] == [keys[name] for name, _, _ in mails()], "reading sweep %r" % [m["id"] for m in found])
    check(all(m.get("read") == "0" for m in found), "every read succeeded")
    box = mailbox.Maildir(store_path, create=False)
    for name, key in keys.items():
        msg = box.get_message(key)
        check(msg.get_subdir() == "cur" and "S" in msg.get_flags(), "reading marked %s read" % name)
    check(box.get_message(seen_key).get_subdir() == "cur", "the old mail stays")

    rc, lines = run(CLIENT, "read", profile, "pw 1", hex(0x20 | 0x100), hex(0x80))
    found, tail = messages(lines)
    check(found == [] and tail.get("end") == "16", "nothing unread is left (%r)" % [m["id"] for m in found])

    # Without the unread-only flag, every mail, the old one too.
    rc, lines = run(CLIENT, "read", profile, "pw 1", hex(0x100), hex(0x80))
    found, _ = messages(lines)
    check(len(found) == len(keys) + 1, "all mail listed (%d)" % len(found))


# ---------------------------------------------------------------- sending

def test_sending(work):
    store_path = os.path.join(work, "SendStore")
    outbox_path = os.path.join(work, "SendOutbox")
    mailbox.Maildir(store_path, create=True).close()
    binary = bytes(range(256)) * 5 + b"\x00\r\n\r\x00"
    report = "Bericht \u00fcber M\u00e4rz: 100 \u20ac\r\nZweite Zeile\r\n".encode(ANSI)
    bin_path = os.path.join(work, "capture.bin")
    txt_path = os.path.join(work, "bericht.txt")
    with open(bin_path, "wb") as f:
        f.write(binary)
    with open(txt_path, "wb") as f:
        f.write(report)
    subject = "Antwort: Gr\u00fc\u00dfe \u20ac"
    body = "Hallo J\u00fcrgen,\r\nhier ist die Antwort.\r\n.single dot line\r\n\r\nGru\u00df\r\n"
    spec = os.path.join(work, "send.spec")

    def h(b):
        return (b if isinstance(b, bytes) else ansi(b)).hex()

    with open(spec, "w") as f:
        f.write("to=%s|%s\n" % (h("John Doe"), h("SMTP:john@example.org")))
        f.write("to=%s|%s\n" % (h("anna@example.net"), h("anna@example.net")))
        f.write("cc=%s|%s\n" % (h("Copy"), h("copy@example.org")))
        f.write("bcc=%s|%s\n" % (h("Hidden"), h("hidden@example.org")))
        f.write("subject=%s\n" % h(subject))
        f.write("text=%s\n" % h(body))
        f.write("attach=%s|%s\n" % (h(winpath(bin_path)), h("capture.bin")))
        f.write("attach=%s|%s\n" % (h(winpath(txt_path)), h("bericht.txt")))

    with smtp_server() as (port, received):
        profile = "e2e-send-%d" % os.getpid()
        make_profile(profile, store_path, outbox_path, smtp="127.0.0.1:%d" % port, password="s3cret")
        rc, lines = run(CLIENT, "send", profile, "s3cret", winpath(spec))
        _, tail = messages(lines)
        sent = [l for l in lines if l.startswith("send=")]
        check(sent == ["send=0"], "send rc %r" % sent)

    check(len(received) == 1, "the SMTP server received one mail (%d)" % len(received))
    if not received:
        return
    mail_from, rcpts, content = received[0]
    check(mail_from == "assistant@example.com", "MAIL FROM %r" % mail_from)
    check(sorted(rcpts) == ["anna@example.net", "copy@example.org", "hidden@example.org", "john@example.org"],
          "RCPT TO %r" % rcpts)
    msg = email.message_from_bytes(content, policy=policy.default)
    check(msg["Subject"] == subject, "subject %r" % msg["Subject"])
    check([a.addr_spec for a in msg["To"].addresses] == ["john@example.org", "anna@example.net"], "To %r" % msg["To"])
    check(msg["To"].addresses[0].display_name == "John Doe", "To name %r" % msg["To"])
    check([a.addr_spec for a in msg["Cc"].addresses] == ["copy@example.org"], "Cc %r" % msg["Cc"])
    check(msg.get("Bcc") is None, "no Bcc header on the wire")
    text = msg.get_body(preferencelist=("plain",))
    # Line ends inside an encoded body are the sender's choice: compare the lines.
    content = text.get_content().replace("\r\n", "\n") if text is not None else None
    check(content == body.replace("\r\n", "\n"), "body %r" % content)
    files = {a.get_filename(): a for a in msg.iter_attachments()}
    check(sorted(files) == ["bericht.txt", "capture.bin"], "attachment names %r" % sorted(files))
    if "capture.bin" in files:
        check(files["capture.bin"].get_payload(decode=True) == binary, "binary attachment bytes")
    if "bericht.txt" in files:
        check(files["bericht.txt"].get_payload(decode=True) == report, "text attachment bytes %r" %
              files["bericht.txt"].get_payload(decode=True))


def main():
    def both(work):
        test_reading(work)
        test_sending(work)

    run_checks("vx-mail-e2e-", both, "mail classes end to end: ok")


if __name__ == "__main__":
    main()
