#!/usr/bin/python3
"""The whole mail road with the program's own parts: Python's email package
writes ordinary mail and a request into a fresh Maildir, the Win32 engine test
drives the engine's mail ticks with the real Relvane plug-in and the packed
request grammar, and every answer - the forwards, the automatic reply and the
help listing - is received by a real SMTP server on a loopback port and read
back with the email package."""
import email
import email.policy
import email.utils
import mailbox
import os
import shutil
import sys
import time
import uuid
from email.message import EmailMessage

root = os.environ["VX_SOURCE_ROOT"]
sys.path.insert(0, os.path.join(root, "testsupport", "python"))
from vxtest import check, failures, smtp_server, wine_run, winpath  # noqa: E402

build = os.environ["VX_BUILD_DIR"]
tests = os.environ["VX_TEST_BIN_DIR"]

ASSISTANT = "vindi@localhost"
# The requests come from the mail box's owner, whose address is the one the
# assistant's profile sends as: with no accepted senders listed, only the owner
# may have the owner's mail.
OWNER = ASSISTANT
AUTO_SUBJECT = "Regarding your last message.[Auto reply]"
AUTO_TEXT = ("I'm sorry, I had trouble understanding what it is you wanted me to do, "
             "perhaps I was instructed to ignore these types of requests?")
HELP_HEAD = "These plugins are currently active:\n------------------\n"
MENU = b"soup\r\nbread\r\n\x00\xff binary tail"


def message(sender, subject, text, attachment=None, date=None):
    m = EmailMessage()
    m["From"] = sender
    m["To"] = ASSISTANT
    m["Subject"] = subject
    m["Date"] = email.utils.formatdate(date or time.time() - 3600)
    m.set_content(text)
    if attachment:
        m.add_attachment(attachment[1], maintype="application", subtype="octet-stream", filename=attachment[0])
    return m


def fill(store, mails):
    """Adds (message, seen) pairs in order; a seen one lies in cur/ with the S flag."""
    for m, seen in mails:
        msg = mailbox.MaildirMessage(m)
        if seen:
            msg.set_subdir("cur")
            msg.set_flags("S")
        store.add(msg)
        time.sleep(0.01)  # distinct delivery times keep the order


def run_case(case, mails):
    """Runs the engine over the mails; returns (received forwards parsed, unread subjects)."""
    failed_before = len(failures)
    base = os.path.join(build, "relvane-mail", "%s-%s" % (case, uuid.uuid4().hex[:8]))
    os.makedirs(base)
    store = mailbox.Maildir(os.path.join(base, "Maildir"), create=True)
    outbox = os.path.join(base, "Outbox")
    mailbox.Maildir(outbox, create=True)
    fill(store, mails)
    with smtp_server() as (port, received):
        os.environ.update(VX_ENGINE_MAILDIR=winpath(os.path.join(base, "Maildir")), VX_ENGINE_OUTBOX=winpath(outbox),
                          VX_ENGINE_PROFILE="RelvaneMail" + case, VX_ENGINE_SMTP="127.0.0.1:%d" % port)
        rc, lines = wine_run(os.path.join(tests, "core_engine_tests.exe"), "--gtest_filter=RelvaneMail.*",
                             timeout=300)
    ok = rc == 0 and any("[  PASSED  ] 1 test" in l for l in lines)
    check(ok, "%s: the engine run" % case)
    if not ok or os.environ.get("VX_VERBOSE"):
        print("\n".join(lines[-80:]))
    got = []
    for mail_from, rcpts, content in received:
        msg = email.message_from_bytes(content, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        files = [(p.get_filename(), p.get_payload(decode=True)) for p in msg.iter_attachments()]
        got.append({"subject": str(msg["Subject"]), "rcpts": rcpts, "to": str(msg["To"]), "from": mail_from,
                    "text": body.get_content().replace("\r\n", "\n") if body else "", "files": files})
    # Everything that went out reached the server: nothing waits in the outbox.
    check(mailbox.Maildir(outbox, create=False).keys() == [], "%s: mail left in the outbox" % case)
    unread = sorted(str(m["Subject"]) for m in store if "S" not in m.get_flags())
    if len(failures) == failed_before:  # a failed case keeps its folders to look at
        shutil.rmtree(base, ignore_errors=True)
    return got, unread


def subjects(got, rcpt):
    return sorted(g["subject"] for g in got if g["rcpts"] == [rcpt])


def one(got, subject):
    found = [g for g in got if g["subject"] == subject]
    check(len(found) == 1, "one %r among %r" % (subject, [g["subject"] for g in got]))
    return found[0] if found else None


def body():
    # 1. Unread mail with attachments: both unread ordinary messages go to the
    # requester, the attachment's bytes intact; the read one and the other
    # answers' mail stay out of it.
    got, unread = run_case("Attachments", [
        (message("Alice Example <alice@example.com>", "Lunch plans", "Noon at the usual place.",
                 ("menu.bin", MENU)), False),
        (message("Bob Builder <bob@example.com>", "Status report", "All green."), False),
        (message("Alice Example <alice@example.com>", "Old news", "Read long ago."), True),
        (message("Jane Requester <%s>" % OWNER, "Vindi, a request",
                 "Please send me all unread messages with attachments.\n"), False),
    ])
    print("attachments:", [(g["subject"], g["rcpts"]) for g in got])
    check(subjects(got, OWNER) == ["FW: Lunch plans", "FW: Status report"],
          "attachments: forwards %r" % [(g["subject"], g["rcpts"]) for g in got])
    check(len(got) == 2, "attachments: nothing else went out: %r" % [g["subject"] for g in got])
    lunch = one(got, "FW: Lunch plans")
    if lunch:
        check(OWNER in lunch["to"], "attachments: To %r" % lunch["to"])
        check(lunch["from"] == ASSISTANT, "attachments: MAIL FROM %r" % lunch["from"])
        check("From: Alice Example (alice@example.com)" in lunch["text"]
              and "Noon at the usual place." in lunch["text"], "attachments: text %r" % lunch["text"])
        check(lunch["files"] == [("menu.bin", MENU)], "attachments: files %r" % lunch["files"])
    status = one(got, "FW: Status report")
    if status:
        check("All green." in status["text"] and "bob@example.com" in status["text"],
              "attachments: text %r" % status["text"])
        check(status["files"] == [], "attachments: files %r" % status["files"])
    # The request and the forwarded messages were read.
    check(unread == [], "attachments: unread %r" % unread)

    # 2. One sender's new mail, the automatic reply to a mail no plug-in
    # handles, and the help listing - all through the same server.
    got, unread = run_case("AliceAutoHelp", [
        (message("Alice Example <alice@example.com>", "Tickets", "Row 7, seats 3 and 4.",
                 ("seats.txt", b"7/3\r\n7/4\r\n")), False),
        (message("Bob Builder <bob@example.com>", "Status report", "All green."), False),
        (message("Alice Example <alice@example.com>", "Old news", "Read long ago."), True),
        (message("Jane Requester <%s>" % OWNER, "Vindi, from Alice", "Send me my messages from Alice.\n"), False),
        (message("Kim <kim@example.org>", "Vindi, a question", "zork qqq blorf\n"), False),
        (message("Lee <lee@example.org>", "Vindi HELP", "\n"), False),
    ])
    print("alice/auto/help:", [(g["subject"], g["rcpts"]) for g in got])
    check(subjects(got, OWNER) == ["FW: Tickets"],
          "from alice: forwards %r" % [(g["subject"], g["rcpts"]) for g in got])
    tickets = one(got, "FW: Tickets")
    if tickets:
        check("Row 7, seats 3 and 4." in tickets["text"], "from alice: text %r" % tickets["text"])
        check(tickets["files"] == [("seats.txt", b"7/3\r\n7/4\r\n")], "from alice: files %r" % tickets["files"])
    check(subjects(got, "kim@example.org") == [AUTO_SUBJECT], "automatic reply %r" % subjects(got, "kim@example.org"))
    auto = [g for g in got if g["rcpts"] == ["kim@example.org"]]
    if auto:
        check(auto[0]["text"].strip() == AUTO_TEXT, "automatic reply text %r" % auto[0]["text"])
    check(subjects(got, "lee@example.org") == ["Help you requested"], "help %r" % subjects(got, "lee@example.org"))
    helps = [g for g in got if g["rcpts"] == ["lee@example.org"]]
    if helps:
        text = helps[0]["text"]
        check(text.startswith(HELP_HEAD) and "Name: Send e-mail upon request\nDescription: Send messages to requester."
              in text and "Sample: Please send me new messages without attachments.\n------------------\n" in text,
              "help text %r" % text)
    check(len(got) == 3, "alice/auto/help: nothing else went out: %r" % [(g["subject"], g["rcpts"]) for g in got])
    # Only what went out was read: another sender's new mail stays new.
    check(unread == ["Status report"], "alice/auto/help: unread %r" % unread)


if __name__ == "__main__":
    body()
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print("relvane mail road: all checks passed")
