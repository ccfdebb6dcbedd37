#!/usr/bin/python3
"""Relvane's action under Wine against a mail box written with Python's email
package: each request forwards the matching messages, read back from the
outbox with the same package ("FW: " subjects, texts, attachments)."""
import email
import email.policy
import mailbox
import os
import shutil
import subprocess
import sys
import tempfile
import time
from email.message import EmailMessage

build = os.environ["VX_BUILD_DIR"]
root = os.environ["VX_SOURCE_ROOT"]
tests = os.environ["VX_TEST_BIN_DIR"]
wine_run = os.path.join(root, "scripts", "wine-run.sh")
work = tempfile.mkdtemp(prefix="relvane-", dir=os.path.join(build, "wine"))
profile = "RelvaneTest" + str(os.getpid())


def winpath(path):
    return "Z:" + path.replace("/", "\\")


def make_mailbox(empty=False, request=False):
    for d in ("Maildir", "Outbox"):
        shutil.rmtree(os.path.join(work, d), ignore_errors=True)
    box = mailbox.Maildir(os.path.join(work, "Maildir"), create=True)
    os.makedirs(os.path.join(work, "Outbox", "new"), exist_ok=True)
    past = time.time() - 3600
    if empty:
        return

    def add(sender, subject, text, seen, attachment=None):
        m = EmailMessage()
        m["From"] = sender
        m["To"] = "vindalex@localhost"
        m["Subject"] = subject
        m["Date"] = email.utils.formatdate(past)
        m.set_content(text)
        if attachment:
            m.add_attachment(attachment[1], maintype="application", subtype="octet-stream",
                             filename=attachment[0])
        msg = mailbox.MaildirMessage(m)
        if seen:
            msg.set_subdir("cur")
            msg.set_flags("S")
        key = box.add(msg)
        path = os.path.join(work, "Maildir", box._lookup(key))
        os.utime(path, (past, past))
        return path

    add("Alice Example <alice@example.com>", "Lunch plans", "Noon at the usual place.", False,
        ("menu.txt", b"soup\r\nbread\r\n"))
    add("Bob Builder <bob@example.com>", "Status report", "All green.", False)
    add("Alice Example <alice@example.com>", "Old news", "Read long ago.", True)
    if request:
        # The mail that asks, already marked read by the host, and the host's
        # note that it is the one being answered.
        path = add("Someone <someone@example.com>", "Vindalex, my old messages", "Send me all my old messages.",
                   True)
        with open(os.path.join(tests, "Answering.txt"), "w") as f:
            f.write('%s "Vindalex, my old messages" from someone@example.com' % os.path.basename(path).split(":")[0])


def register_profile():
    reg = os.path.join(work, "profile.reg")
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n' % profile)
        f.write('"Password"=""\n')
        f.write('"Maildir"="%s"\n' % winpath(os.path.join(work, "Maildir")).replace("\\", "\\\\"))
        f.write('"From"="vindalex@localhost"\n"SmtpServer"=""\n')
        f.write('"Outbox"="%s"\n' % winpath(os.path.join(work, "Outbox")).replace("\\", "\\\\"))
    subprocess.run([wine_run, "regedit", "/S", winpath(reg)], check=True, timeout=120,
                   capture_output=True)


def run(case, empty=False, request=False, requester="someone@example.com", accepted="someone@example.com"):
    """The forwarded mail of one request by requester, with accepted the
    program's accepted-sender list (one address or none)."""
    make_mailbox(empty, request)
    webdir = os.path.join(work, "web")
    os.makedirs(webdir, exist_ok=True)
    install = os.path.join(work, "install")
    os.makedirs(install, exist_ok=True)
    env = dict(os.environ, VX_RELVANE_CASE=case, VX_RELVANE_PROFILE=profile, VX_RELVANE_WEB_DIR=webdir,
               VX_RELVANE_INSTALL_DIR=install,
               VX_RELVANE_REQUESTER=requester, VX_RELVANE_ACCEPTED=accepted)
    try:
        r = subprocess.run([wine_run, os.path.join(tests, "relvane_action_tests.exe")], env=env,
                           capture_output=True, text=True, timeout=300)
    finally:
        if request:
            os.remove(os.path.join(tests, "Answering.txt"))
    if r.returncode != 0:
        print(r.stdout, r.stderr)
        sys.exit("the action failed for " + case)
    sent = []
    outbox = os.path.join(work, "Outbox", "new")
    for name in sorted(os.listdir(outbox)):
        with open(os.path.join(outbox, name), "rb") as f:
            msg = email.message_from_binary_file(f, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        files = [(p.get_filename(), p.get_payload(decode=True)) for p in msg.iter_attachments()]
        sent.append((str(msg["Subject"]), str(msg["To"]), body.get_content() if body else "", files))
    return sorted(sent)


errors = []
passed = 0


def check(case, cond, what):
    global passed
    if cond:
        passed += 1
    else:
        errors.append("%s: %s" % (case, what))


register_profile()
try:
    # Unread only, no attachments.
    sent = run("new-without")
    check("new-without", [s[0] for s in sent] == ["FW: Lunch plans", "FW: Status report"], sent)
    check("new-without", all(not s[3] for s in sent), "attachments were sent")
    check("new-without", all("someone@example.com" in s[1] for s in sent), "recipient")
    lunch = [s for s in sent if s[0] == "FW: Lunch plans"]
    check("new-without", lunch and "From: Alice Example (alice@example.com)" in lunch[0][2]
          and "------" in lunch[0][2] and "Noon at the usual place." in lunch[0][2], "text: %r" % lunch)
    # All messages, attachments by default.
    sent = run("all-with")
    check("all-with", [s[0] for s in sent] == ["FW: Lunch plans", "FW: Old news", "FW: Status report"], sent)
    lunch = [s for s in sent if s[0] == "FW: Lunch plans"]
    check("all-with", lunch and lunch[0][3] == [("menu.txt", b"soup\r\nbread\r\n")], "attachment: %r" % lunch)
    # The request itself, among the old messages, is never forwarded back.
    sent = run("all-with", request=True)
    check("request", [s[0] for s in sent] == ["FW: Lunch plans", "FW: Old news", "FW: Status report"], sent)
    # All messages of one sender.
    sent = run("from-alice")
    check("from-alice", [s[0] for s in sent] == ["FW: Lunch plans", "FW: Old news"], sent)
    # Sent to the address the request names, not to the requester.
    sent = run("to-carol")
    check("to-carol", [s[0] for s in sent] == ["FW: Lunch plans", "FW: Status report"], sent)
    check("to-carol", all("carol@example.com" in s[1] for s in sent), sent)
    # An empty mail box answers that nothing matched, with the status line.
    sent = run("new-without", empty=True)
    check("empty", len(sent) == 1 and sent[0][0] == "No matching messages.", sent)
    check("empty", sent and "Sorry, I couldn't find any messages your request." in sent[0][2]
          and ": Sending new messages (do not send attachments) to Someone(someone@example.com)." in sent[0][2],
          sent)
    # By mail, the owner's messages go only to whom the list trusts:
    # (accepted list, requester, served).
    for accepted, requester, served in [
        ("", "stranger@example.net", False),                 # a stranger, the list empty
        ("", "VinDalex@LocalHost", True),                    # the owner's own address, any case
        ("boss@example.com", "boss@example.com", True),      # a listed sender
        ("boss@example.com", "stranger@example.net", False),  # a stranger beside a list
    ]:
        case = "%s with list %r" % (requester, accepted)
        sent = run("all-with", requester=requester, accepted=accepted)
        if served:
            check(case, [s[0] for s in sent] == ["FW: Lunch plans", "FW: Old news", "FW: Status report"]
                  and all(requester in s[1] for s in sent), sent)
        else:
            check(case, len(sent) == 1 and sent[0][0] == "Request refused." and requester in sent[0][1]
                  and "Your request was refused." in sent[0][2] and not sent[0][3], sent)
    # A stranger naming someone else: the refusal goes to the stranger only.
    sent = run("to-carol", requester="stranger@example.net", accepted="")
    check("stranger to carol", [(s[0], s[1]) for s in sent] == [("Request refused.", "stranger@example.net")], sent)
    # A web request is the user's own, whatever the list: the messages go to
    # the user's page (checked by the program); the forward form on it mails
    # the message with its attachment.
    sent = run("web", accepted="")
    check("web", [(s[0], s[1]) for s in sent] == [("FW: Lunch plans", "dave@example.com")], sent)
    check("web", sent and "See below." in sent[0][2]
          and [f[1] for f in sent[0][3]] == [b"soup\r\nbread\r\n"], sent)
    # From the desktop every message opens a window (checked by the program:
    # the attachment is listed and kept); no mail goes out.
    sent = run("desktop")
    check("desktop", sent == [], sent)
    kept = os.path.join(work, "install", "Temporary Files")
    check("desktop", os.path.isdir(kept) and [n for n in os.listdir(kept) if n.endswith("-menu.txt")],
          "kept files: %r" % (os.listdir(kept) if os.path.isdir(kept) else None))
    # A summary request is not forwarded: nothing goes out.
    sent = run("summary")
    check("summary", sent == [], sent)
finally:
    shutil.rmtree(work, ignore_errors=True)

if errors:
    print("\n".join(errors))
    print("%d passed, %d failed" % (passed, len(errors)))
    sys.exit(1)
print("%d passed, 0 failed" % passed)
