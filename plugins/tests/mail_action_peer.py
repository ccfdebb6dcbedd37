#!/usr/bin/python3
"""The summary, listing, file and program plug-ins under Wine, one plug-in per
run (the argument names it): Python's mailbox and email packages write the
mail box and the files, mail_action_tests.exe offers a request line to the
plug-in the way the host does, and the answers arrive at a real SMTP server
(aiosmtpd) and are parsed back with the email package."""
import email
import email.policy
import email.utils
import io
import mailbox
import os
import subprocess
import sys
import time
import zipfile
from email.message import EmailMessage

sys.path.insert(0, os.path.join(os.environ["VX_SOURCE_ROOT"], "testsupport", "python"))
from vxtest import check, run_checks, smtp_server, wine_run, winpath  # noqa: E402

TESTS = os.environ["VX_TEST_BIN_DIR"]
DRIVER = os.path.join(TESTS, "plugin_mail_actions_tests.exe")
BIN = os.environ["VX_BIN_DIR"]
REQUESTER = "someone@example.com"
OWNER = "vindalex@localhost"  # the profile's own address
PROFILE = "ActionTest%d" % os.getpid()
# Who may have the owner's mail, files and programs by mail:
# (accepted list, requester, served).
TRUST_CASES = [
    ("", REQUESTER, False),                       # a stranger, the list empty
    ("", "VinDalex@LOCALHOST", True),             # the owner's own address, any case
    ("boss@example.com", "boss@example.com", True),  # a listed sender
    ("boss@example.com", REQUESTER, False),       # a stranger beside a list
    ("boss@example.com", OWNER, False),           # a list leaves the owner out too
]


def register_profile(work, port):
    reg = os.path.join(work, "profile.reg")
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n' % PROFILE)
        f.write('"Password"=""\n')
        f.write('"Maildir"="%s"\n' % winpath(os.path.join(work, "Maildir")).replace("\\", "\\\\"))
        f.write('"From"="%s"\n' % OWNER)
        f.write('"SmtpServer"="127.0.0.1:%d"\n' % port)
        f.write('"Outbox"="%s"\n' % winpath(os.path.join(work, "Outbox")).replace("\\", "\\\\"))
    os.makedirs(os.path.join(work, "Outbox", "new"), exist_ok=True)
    rc, _ = wine_run("regedit", "/S", winpath(reg), timeout=120)
    check(rc == 0, "profile registered")


def unregister_profile(work):
    reg = os.path.join(work, "unprofile.reg")
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n' % PROFILE)
    wine_run("regedit", "/S", winpath(reg), timeout=120)


def act(request, expect=1, mode=0, settings="", accepted=REQUESTER, requester=REQUESTER, install=BIN, web="", entries=0, zip_password=""):
    """Runs the driver on one request line: its output lines."""
    env = dict(os.environ, VX_ACTION_WEB_DIR=web, VX_ACTION_ZIP_PASSWORD=zip_password, VX_ACTION_ENTRIES=str(entries), VX_ACTION_PLUGIN=PLUGIN, VX_ACTION_REQUEST=request, VX_ACTION_PROFILE=PROFILE,
               VX_ACTION_MODE=str(mode), VX_ACTION_SETTINGS=settings, VX_ACTION_ACCEPTED=accepted,
               VX_ACTION_REQUESTER=requester, VX_ACTION_INSTALL_DIR=winpath(install), VX_ACTION_EXPECT=str(expect))
    r = subprocess.run([os.path.join(os.environ["VX_SOURCE_ROOT"], "scripts", "wine-run.sh"), DRIVER],
                       env=env, capture_output=True, timeout=300)
    out = r.stdout.decode("latin-1")
    check(r.returncode == 0, "%s: the driver passed (exit %d)\n%s%s" % (request, r.returncode, out[-3000:],
                                                                      r.stderr.decode("latin-1")[-1500:]))
    return out


def answers(received, since=0):
    """The mails the SMTP server got from index since: (recipients, message)."""
    out = []
    for _, rcpts, content in received[since:]:
        out.append((rcpts, email.message_from_bytes(content, policy=email.policy.default)))
    return out


def text_of(msg):
    body = msg.get_body(preferencelist=("plain",))
    return body.get_content().replace("\r\n", "\n") if body is not None else ""


def trust_table(received, request, served_subject, gave_away, **options):
    """Runs request by mail for each of TRUST_CASES: a served requester gets
    served_subject, any other one the refusal, and gave_away(message) says
    whether an answer carries what was asked for."""
    for accepted, requester, served in TRUST_CASES:
        case = "%s with list %r" % (requester, accepted)
        n = len(received)
        act(request, accepted=accepted, requester=requester, **options)
        got = answers(received, n)
        check(len(got) == 1, "%s: one answer (%d)" % (case, len(got)))
        for rcpts, msg in got:
            check(rcpts == [requester], "%s: the answer to the requester %r" % (case, rcpts))
            if served:
                check(msg["Subject"] == served_subject and gave_away(msg),
                      "%s: served: %r %r" % (case, msg["Subject"], text_of(msg)[:300]))
            else:
                check(msg["Subject"] == "Request refused." and "Your request was refused." in text_of(msg)
                      and not gave_away(msg), "%s: refused: %r %r" % (case, msg["Subject"], text_of(msg)[:300]))


def wait_for(path, seconds=120):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if os.path.exists(path):
            return True
        time.sleep(0.5)
    return False


# ---------------------------------------------------------------- Sumvane
def sumvane(work, received):
    box = mailbox.Maildir(os.path.join(work, "Maildir"), create=True)
    past = time.time() - 3600

    def add(sender, subject, text, seen):
        m = EmailMessage()
        m["From"] = sender
        m["To"] = "vindalex@localhost"
        m["Subject"] = subject
        m["Date"] = email.utils.formatdate(past)
        m.set_content(text)
        msg = mailbox.MaildirMessage(m)
        if seen:
            msg.set_subdir("cur")
            msg.set_flags("S")
        return box.add(msg)

    add("Alice Example <alice@example.com>", "Lunch plans", "Noon at the usual place. " + "x" * 100, False)
    add("Bob Builder <bob@example.com>", "Status report", "All green.", False)
    add("Alice Example <alice@example.com>", "Old news", "Read long ago.", True)
    request = add("Someone <someone@example.com>", "Vindalex, please",
                  "Please send me a summary of new messages.", False)
    # The host's note of the mail it is answering, beside the program.
    note = os.path.join(TESTS, "Answering.txt")
    name = box._lookup(request)
    with open(note, "w") as f:
        f.write('%s "Vindalex, please" from someone@example.com' % os.path.basename(name).split(":")[0])
    try:
        act("Please send me a summary of new messages.")
    finally:
        os.remove(note)
    got = answers(received)
    check(len(got) == 1, "one summary (%d)" % len(got))
    if got:
        rcpts, msg = got[0]
        text = text_of(msg)
        check(rcpts == [REQUESTER], "summary to the requester %r" % rcpts)
        check(msg["Subject"] == "Summary of messages.", "subject %r" % msg["Subject"])
        check("Lunch plans\nFrom: alice@example.com (Alice Example)" in text, "Alice's entry: %r" % text)
        check("Status report\nFrom: bob@example.com (Bob Builder)" in text, "Bob's entry: %r" % text)
        check("Old news" not in text, "read mail left out: %r" % text)
        check("Vindalex, please" not in text, "the request itself is not summarised: %r" % text)
        check(("Noon at the usual place. " + "x" * 39 + "\n------") in text, "64 characters of text: %r" % text)
    # Summarising marked nothing read.
    box = mailbox.Maildir(os.path.join(work, "Maildir"), create=False)
    unread = sorted(m["Subject"] for m in box if "S" not in m.get_flags())
    check(unread == ["Lunch plans", "Status report", "Vindalex, please"], "still unread: %r" % unread)

    # One sender's messages, read or not.
    n = len(received)
    act('Please send me a summary of the messages from "Alice".', settings="DefaultNew=0")
    got = answers(received, n)
    check(len(got) == 1, "one summary of Alice's (%d)" % len(got))
    if got:
        text = text_of(got[0][1])
        check("Lunch plans" in text and "Old news" in text and "Status report" not in text, "Alice's: %r" % text)

    # By mail, the owner's messages go only to whom the list trusts.
    trust_table(received, "Please send me a summary of new messages.", "Summary of messages.",
                lambda msg: "Lunch plans" in text_of(msg))

    # On the web: entries whose [more...] opens the whole message and marks
    # that one read, and only that one. (A web request has no request mail:
    # the one that asked by mail above is listed too.)
    web = os.path.join(work, "web")
    os.makedirs(web)
    out = act("Please send me a summary of new messages.", mode=2, requester="Web Requestuser1", web=web,
              entries=3)
    opened = [l[len("OPENED="):] for l in out.splitlines() if l.startswith("OPENED=")]
    check(len(opened) == 1, "one message opened: %r" % out[-1500:])
    box = mailbox.Maildir(os.path.join(work, "Maildir"), create=False)
    read = sorted(m["Subject"] for m in box if "S" in m.get_flags())
    check(opened and read == sorted(["Old news", opened[0].strip()]), "read now: %r, opened %r" % (read, opened))

    # Not a summary: the forwarding plug-in's request is not taken.
    n = len(received)
    act("Please send me new messages.", expect=0)
    check(len(received) == n, "no answer to a forward request")


# ---------------------------------------------------------------- Listavo
def listavo(work, received):
    tree = os.path.join(work, "tree")
    for rel in ("a.bat", "b.txt", "sub/c.bat", "sub/d.txt", "sub/inner/e.bat"):
        path = os.path.join(tree, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write("rem\r\n")
    act('Please send me a list of files called "*.bat" in "%s".' % winpath(tree), settings="Files=1")
    got = answers(received)
    check(len(got) == 1, "one listing (%d)" % len(got))
    if got:
        rcpts, msg = got[0]
        text = text_of(msg)
        lines = [l for l in text.split("\n") if l.startswith("Z:")]
        want = sorted(winpath(os.path.join(tree, r)) for r in ("a.bat", "sub/c.bat", "sub/inner/e.bat"))
        check(msg["Subject"] == "Listing you requested.", "subject %r" % msg["Subject"])
        check(text.startswith("Here is a listing of files from %s\n" % winpath(tree)), "heading: %r" % text)
        check(sorted(lines) == want, "the mask applied: %r" % lines)

    # Folders, from a folder named with a trailing backslash.
    n = len(received)
    act('Send me a list of the folders in "%s\\".' % winpath(tree))
    got = answers(received, n)
    check(len(got) == 1, "one folder listing")
    if got:
        lines = sorted(l for l in text_of(got[0][1]).split("\n") if l.startswith("Z:"))
        check(lines == sorted([winpath(os.path.join(tree, "sub")), winpath(os.path.join(tree, "sub", "inner"))]),
              "folders: %r" % lines)

    # A tree deeper than the walk goes: the listing says it stopped.
    deep = os.path.join(work, "deep")
    path = deep
    for i in range(16):
        path = os.path.join(path, "level%d" % i)
    os.makedirs(path)
    n = len(received)
    act('Send me a list of the folders in "%s".' % winpath(deep))
    got = answers(received, n)
    if got:
        text = text_of(got[0][1])
        check("The listing stops here" in text, "the cut is told: %r" % text[-400:])
        check("level11" in text and "level12" not in text, "twelve levels listed: %r" % text[-400:])

    # Listing files is switched off: the answer says so and it counts as handled.
    n = len(received)
    act('Send me a list of files in "%s".' % winpath(tree), settings="Files=0")
    got = answers(received, n)
    check(len(got) == 1 and "I'm sorry, but I've been asked not to handle that type of request." in text_of(got[0][1]),
          "refusal by setting: %r" % [text_of(g[1]) for g in got])

    # By mail, a listing goes only to whom the list trusts.
    trust_table(received, 'Please send me a list of files called "*.bat" in "%s".' % winpath(tree),
                "Listing you requested.", lambda msg: "a.bat" in text_of(msg), settings="Files=1")

    # A list of messages is not a listing of files.
    n = len(received)
    act("Send me a list of my new messages.", expect=0)
    check(len(received) == n, "no listing for a summary request")


def set_leftover(work, name, value):
    """A plug-in value as another program (the assistant) may leave it in the
    shared prefix; None removes it."""
    reg = os.path.join(work, "leftover.reg")
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Korvaneant1]\n')
        f.write('"%s"=%s\n' % (name, "-" if value is None else "dword:%08x" % value))
    rc, _ = wine_run("regedit", "/S", winpath(reg), timeout=120)
    check(rc == 0, "value %s set to %r" % (name, value))


def leftover(name):
    """The value's data as regedit exports it, or None when it is absent."""
    rc, lines = wine_run("reg", "query", "HKCU\\Korvaneant1", "/v", name, timeout=120)
    for line in lines:
        parts = line.split()
        if rc == 0 and len(parts) >= 3 and parts[0] == name:
            return int(parts[-1], 16)
    return None


# ---------------------------------------------------------------- Parcavo
def parcavo(work, received):
    # Zipping left switched on by another program: the runs below that do not
    # ask for it still send the plain file, and the value is as it was after.
    set_leftover(work, "Parcavo-UseZip", 1)
    try:
        parcavo_cases(work, received)
        check(leftover("Parcavo-UseZip") == 1, "the value left by another program is back as it was")
    finally:
        set_leftover(work, "Parcavo-UseZip", None)


def parcavo_cases(work, received):
    data = os.urandom(40000) + b"\x00\r\n\x1a" * 100
    path = os.path.join(work, "files", "report data.bin")
    os.makedirs(os.path.dirname(path))
    with open(path, "wb") as f:
        f.write(data)

    def attachments(msg):
        return [(a.get_filename(), a.get_payload(decode=True)) for a in msg.iter_attachments()]

    # An accepted sender's mail: the file comes back with equal bytes.
    act('Please send me the file "%s".' % winpath(path), accepted=REQUESTER)
    got = answers(received)
    check(len(got) == 1, "one file mail (%d)" % len(got))
    if got:
        rcpts, msg = got[0]
        check(rcpts == [REQUESTER] and msg["Subject"] == "File Sent.", "%r %r" % (rcpts, msg["Subject"]))
        check("I have attached this file at your request." in text_of(msg), text_of(msg))
        files = attachments(msg)
        check(len(files) == 1 and files[0][1] == data, "equal bytes: %r" % [(f[0], len(f[1])) for f in files])

    # Zipped: Python's zipfile reads the archive back.
    n = len(received)
    act('Please send me the file "%s".' % winpath(path), accepted=REQUESTER, settings="UseZip=1")
    got = answers(received, n)
    check(len(got) == 1, "one zipped file mail (%d)" % len(got))
    if got:
        files = attachments(got[0][1])
        check(len(files) == 1 and files[0][0].lower().endswith(".zip"), "a zip: %r" % [f[0] for f in files])
        if files:
            with zipfile.ZipFile(io.BytesIO(files[0][1])) as z:
                names = z.namelist()
                check(len(names) == 1 and names[0].endswith("report data.bin"), "member %r" % names)
                check(names and z.read(names[0]) == data, "zipped bytes equal")

    # An archive the library cannot make (a password longer than it takes):
    # logged, nothing mailed (neither the file nor a half-made archive), and
    # not handled, so the host answers instead.
    n = len(received)
    out = act('Please send me the file "%s".' % winpath(path), expect=0, accepted=REQUESTER, settings="UseZip=1",
              zip_password="p" * 80)
    check("Error locating Zip DLL. Please re-install." in out, "failed archive logged: %r" % out[-800:])
    check(len(received) == n, "nothing mailed for a failed archive: %r" % [text_of(g[1]) for g in answers(received, n)])

    # The zip library missing: logged, nothing mailed, not handled.
    empty = os.path.join(work, "nolib")
    os.makedirs(empty)
    bare = os.path.join(work, "bare")
    os.makedirs(bare)
    for name in os.listdir(BIN):
        if not name.lower().startswith("zlmzip"):
            os.symlink(os.path.join(BIN, name), os.path.join(bare, name))
    n = len(received)
    global DRIVER
    driver = DRIVER
    DRIVER = os.path.join(bare, "plugin_mail_actions_tests.exe")
    os.symlink(driver, DRIVER)
    env_bin = os.environ["VX_BIN_DIR"]
    os.environ["VX_BIN_DIR"] = bare
    try:
        out = act('Please send me the file "%s".' % winpath(path), expect=0, accepted=REQUESTER,
                  settings="UseZip=1", install=empty)
    finally:
        os.environ["VX_BIN_DIR"] = env_bin
        DRIVER = driver
    check("Error locating Zip DLL. Please re-install." in out, "missing library logged: %r" % out[-800:])
    check(len(received) == n, "nothing mailed without the zip library")

    # By mail, the file goes only to whom the list trusts.
    trust_table(received, 'Please send me the file "%s".' % winpath(path), "File Sent.",
                lambda msg: any(a[1] == data for a in attachments(msg)))

    # A name that is not there, and a name with wildcards: no file, still handled.
    for name in (winpath(os.path.join(work, "files", "missing.bin")), winpath(os.path.join(work, "files", "*.bin"))):
        n = len(received)
        act('Please send me the file "%s".' % name, accepted=REQUESTER, settings="UseFindFile=1")
        got = answers(received, n)
        check(len(got) == 1 and "There was an error locating your requested file." in text_of(got[0][1])
              and not attachments(got[0][1]), "%s: %r" % (name, [text_of(g[1]) for g in got]))

    # From the desktop to a named address: the user's own request, mailed there.
    n = len(received)
    act('Send the file "%s" to (carol@example.com).' % winpath(path), mode=1)
    got = answers(received, n)
    check(len(got) == 1 and got[0][0] == ["carol@example.com"] and attachments(got[0][1])
          and attachments(got[0][1])[0][1] == data,
          "desktop to carol: %r" % [(g[0], text_of(g[1]), [(a[0], len(a[1] or b"")) for a in attachments(g[1])])
                                    for g in got])


# ---------------------------------------------------------------- Skrivo
def skrivo(work, received):
    marker = os.path.join(work, "ran.txt")
    batch = os.path.join(work, "scripts", "Make Marker.bat")
    os.makedirs(os.path.dirname(batch))
    with open(batch, "w") as f:
        f.write('@echo ran> "%s"\r\n' % winpath(marker))

    # By mail, the batch runs only for whom the list trusts; the marker tells
    # whether it ran.
    def ran(msg):
        if msg["Subject"] != "File Executed.":
            return os.path.exists(marker)
        if not wait_for(marker):
            return False
        os.remove(marker)
        return True

    trust_table(received, 'Please run "%s".' % winpath(batch), "File Executed.", ran)
    check(not os.path.exists(marker), "no marker after the refusals")

    # The desktop road: the user's own request runs the batch.
    out = act('Please run "%s".' % winpath(batch), mode=1)
    check(wait_for(marker), "the batch left its marker")
    check("Executing: %s with these parameters : ." % winpath(batch) in out, "status line: %r" % out[-600:])
    os.remove(marker)

    # An accepted sender's mail: run, and the answer says so.
    n = len(received)
    act('Please run "%s".' % winpath(batch), accepted=REQUESTER)
    check(wait_for(marker), "the batch ran for an accepted sender")
    got = answers(received, n)
    check(len(got) == 1 and got[0][1]["Subject"] == "File Executed."
          and "I ran the file at your request." in text_of(got[0][1]), "%r" % [text_of(g[1]) for g in got])

    # Missing, and with wildcards: the error is told, nothing runs.
    for name, message in ((winpath(os.path.join(work, "scripts", "none.bat")), "The specified file was not found."),
                          (winpath(os.path.join(work, "scripts", "*.bat")), "Wildcards are not allowed")):
        n = len(received)
        act('Please run "%s".' % name, accepted=REQUESTER)
        got = answers(received, n)
        check(len(got) == 1 and "There was an error executing your request." in text_of(got[0][1])
              and message in text_of(got[0][1]), "%s: %r" % (name, [text_of(g[1]) for g in got]))


PLUGIN = sys.argv[1] if len(sys.argv) > 1 else ""
CASES = {"Sumvane": sumvane, "Listavo": listavo, "Parcavo": parcavo, "Skrivo": skrivo}


def body(work):
    with smtp_server() as (port, received):
        register_profile(work, port)
        try:
            CASES[PLUGIN](work, received)
        finally:
            unregister_profile(work)


run_checks("action-%s-" % PLUGIN.lower(), body, "%s: all checks passed" % PLUGIN)
