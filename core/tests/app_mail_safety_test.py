#!/usr/bin/python3
"""Vindalex.exe live under Wine against mail that could hurt it.

1. Responders that answer everything: a naive out-of-office responder and an
   older assistant (neither marks its mail as automatic) exchange mail with the
   assistant through a real SMTP server on loopback; each answer they get is
   put back into the assistant's Maildir at once. The assistant, taking every
   mail as a request (no name set), answers each of them once and never their
   answers: the exchange stops after one round.
2. Killed while it works: 50 requests wait, with the owner's requests for
   new mail with attachments among them and friends' mail with attachments
   for them to forward; the program is killed by its process id at random
   points while it answers them and started again, then left to finish.
   Every request is answered exactly once, no forward goes out twice, nothing
   is left half-written in the mail folders' tmp/, and no message of the
   Maildir is lost or changed. The figures are printed.
"""
import email
import email.policy
import mailbox
import os
import random
import shutil
import signal
import subprocess
import sys
import threading
import time
from email.message import EmailMessage

root = os.environ["VX_SOURCE_ROOT"]
sys.path.insert(0, os.path.join(root, "testsupport", "python"))
from vxtest import check, failures, free_port, smtp_server, winpath  # noqa: E402

build = os.environ["VX_BUILD_DIR"]
bindir = os.environ["VX_BIN_DIR"]
wine_env = os.environ.get("VX_WINE_ENV", os.path.join(build, "wine", "env"))

AUTO_SUBJECT = "Regarding your last message.[Auto reply]"
AUTO_TEXT = ("I'm sorry, I had trouble understanding what it is you wanted me to do, "
             "perhaps I was instructed to ignore these types of requests?")
KEY = r"HKEY_CURRENT_USER\Software\Ostrel Software\Vindalex Personal Assistant"


def shell(script, timeout=120, **kw):
    """Runs a bash script inside the Wine session's environment."""
    return subprocess.run(["bash", "-c", ". \"$VX_WINE_ENV_FILE\"\n" + script], timeout=timeout,
                          env=dict(os.environ, VX_WINE_ENV_FILE=wine_env), capture_output=True, **kw)


def regedit(work, text):
    path = os.path.join(work, "settings.reg")
    with open(path, "w") as f:
        f.write("REGEDIT4\n\n" + text)
    shell('wine regedit /S "%s"' % winpath(path))


def message(sender, subject, text, **fields):
    m = EmailMessage()
    m["From"] = sender
    m["To"] = "vindi@localhost"
    m["Subject"] = subject
    m["Date"] = fields.pop("Date", None) or email.utils.formatdate(localtime=True)
    m["Message-ID"] = email.utils.make_msgid()
    for name, value in fields.items():
        m[name.replace("_", "-")] = value
    m.set_content(text)
    return m


class Assistant:
    """One program folder, mail profile and settings; starts and stops the program."""

    def __init__(self, work, case, name, smtp_port=None):
        self.base = os.path.join(work, case)
        self.prog = os.path.join(self.base, "prog")
        self.maildir = os.path.join(self.base, "Maildir")
        self.outbox = os.path.join(self.base, "Outbox")
        os.makedirs(self.prog)
        for f in os.listdir(bindir):
            if f == "Vindalex.exe" or f.endswith((".dll", ".kVX", ".Vqt")):
                shutil.copy(os.path.join(bindir, f), self.prog)
        mailbox.Maildir(self.maildir, create=True)
        mailbox.Maildir(self.outbox, create=True)
        profile = "VindalexSafety" + case
        shell("wine reg delete '%s' /f >/dev/null 2>&1; true" % KEY.replace("HKEY_CURRENT_USER", "HKCU"))
        regedit(self.base, '[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n"Password"=""\n'
                '"Maildir"="%s"\n"From"="vindi@localhost"\n"SmtpServer"="%s"\n"Outbox"="%s"\n'
                % (profile, winpath(self.maildir).replace("\\", "\\\\"),
                   "127.0.0.1:%d" % smtp_port if smtp_port else "", winpath(self.outbox).replace("\\", "\\\\")))
        r = shell('"%s/scripts/vindalex-prefs.sh" Vindi %d %s' % (root, free_port(), profile))
        check(r.returncode == 0, "%s: settings written: %s" % (case, r.stderr[-500:]))
        # An empty name takes every mail as a request (the set-up most open to loops).
        regedit(self.base, '[%s\\Korvaneant1]\n"kVMyName"="%s"\n' % (KEY, name))
        self.proc = None
        self.logs = []

    def start(self):
        self.proc = subprocess.Popen(
            ["bash", "-c", '. "$VX_WINE_ENV_FILE"; cd "$1"; exec wine Vindalex.exe', "-", self.prog],
            env=dict(os.environ, VX_WINE_ENV_FILE=wine_env, VINDALEX_NO_TIPS="1",
                     WINEPATH="Z:" + bindir.replace("/", "\\")),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def kill(self):
        """Kills the program by its process id, as a crash or power cut would."""
        os.kill(self.proc.pid, signal.SIGKILL)
        self.proc.wait(timeout=60)
        self.keep_log()

    def stop(self):
        # WM_CLOSE to this copy's main window only: another test may run a
        # Vindalex of its own on the same display.
        probe = os.path.join(os.environ["VX_TEST_BIN_DIR"], "vindalex_window_tree.exe")
        shell("VX_PROGRAM_PATH='%s' wine '%s' close >/dev/null 2>&1; true"
              % (winpath(os.path.join(self.prog, "Vindalex.exe")), probe), timeout=300)
        try:
            self.proc.wait(timeout=90)
        except subprocess.TimeoutExpired:
            check(False, "the program did not end after WM_CLOSE")
            self.kill()
            return
        self.keep_log()

    def keep_log(self):
        """The log of the run that just ended (the next start moves it aside)."""
        path = os.path.join(self.prog, "Vindalex.log")
        self.logs.append(open(path, encoding="latin-1").read() if os.path.exists(path) else "")

    def answers(self, received=None):
        """(recipient, subject) of every answer: from the SMTP server, or the outbox."""
        got = []
        if received is not None:
            for _, rcpts, content in list(received):
                msg = email.message_from_bytes(content, policy=email.policy.default)
                got += [(r.lower(), str(msg["Subject"])) for r in rcpts]
        else:
            box = mailbox.Maildir(self.outbox, factory=None, create=False)
            for key in box.keys():
                try:
                    with box.get_file(key) as f:
                        msg = email.message_from_binary_file(f, policy=email.policy.default)
                except FileNotFoundError:
                    continue
                got.append((email.utils.parseaddr(str(msg["To"]))[1].lower(), str(msg["Subject"])))
        return got


def wait_for(condition, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.25)
    return condition()


def responder_loop(work):
    with smtp_server() as (port, received):
        a = Assistant(work, "Loop", "", port)
        store = mailbox.Maildir(a.maildir, create=False)
        # What the two responders say to every mail they get.
        peers = {
            "away@localhost": lambda s: ("Automatic reply: " + s, "I am out of the office until Monday."),
            "assistant2@localhost": lambda s: (AUTO_SUBJECT, AUTO_TEXT),
        }
        store.add(message("Away <away@localhost>", "hello", "zork qqq blorf"))
        store.add(message("Other Assistant <assistant2@localhost>", "hello", "zork qqq blorf"))
        answered = set()
        stop = threading.Event()

        def respond():
            while not stop.is_set():
                for i, (_, rcpts, content) in enumerate(list(received)):
                    if i in answered:
                        continue
                    answered.add(i)
                    subject = str(email.message_from_bytes(content, policy=email.policy.default)["Subject"])
                    for r in rcpts:
                        if r.lower() in peers:
                            s, text = peers[r.lower()](subject)
                            store.add(message(r, s, text))
                time.sleep(0.1)

        t = threading.Thread(target=respond, daemon=True)
        t.start()
        a.start()
        try:
            # Both responders got their answer; then a person's mail, dropped
            # after the responders' answers, is answered last: by then the
            # assistant has seen theirs.
            check(wait_for(lambda: {"away@localhost", "assistant2@localhost"} <= {r for r, _ in a.answers(received)},
                           240), "loop: both responders answered: %r" % a.answers(received))
            check(wait_for(lambda: len(store) >= 4, 120), "loop: the responders' answers reached the Maildir")
            time.sleep(1)
            store.add(message("Person <person@localhost>", "hello", "zork qqq blorf"))
            check(wait_for(lambda: "person@localhost" in {r for r, _ in a.answers(received)}, 240),
                  "loop: the person was answered after the responders' answers")
        finally:
            a.stop()
            stop.set()
        got = a.answers(received)
        print("loop: the assistant sent", got)
        for peer in peers:
            check(sum(1 for r, _ in got if r == peer) == 1, "loop: one answer to %s, not a loop: %r" % (peer, got))
        check(all(s == AUTO_SUBJECT for _, s in got), "loop: answers %r" % got)
        # Every answer is marked as automatic, so well-behaved responders stay quiet.
        for _, _, content in received:
            msg = email.message_from_bytes(content, policy=email.policy.default)
            check(str(msg["Auto-Submitted"]).startswith("auto-replied"), "loop: answer not marked automatic")


def killed_batch(work, seed):
    rng = random.Random(seed)
    a = Assistant(work, "Kill", "Vindi")
    store = mailbox.Maildir(a.maildir, create=False)
    originals = {}
    # Friends' mail with attachments, an hour old: what the owner's requests forward.
    for k in range(8):
        m = message("Friend %d <friend%d@localhost>" % (k, k), "Photos %d" % k, "The pictures, as promised.",
                    Date=email.utils.formatdate(time.time() - 3600, localtime=True))
        m.add_attachment(bytes(rng.getrandbits(8) for _ in range(100000)), maintype="application",
                         subtype="octet-stream", filename="photos%d.bin" % k)
        originals[a_key(m)] = bytes(m)
        store.add(m)
    for k in range(50):
        m = message("User %d <user%d@localhost>" % (k, k), "Vindi, request %d" % k, "zork qqq blorf %d" % k)
        originals[a_key(m)] = bytes(m)
        store.add(m)
        if k % 15 == 5:
            # The owner (the profile's own address) asks for the new mail.
            m = message("Owner <vindi@localhost>", "Vindi, forward %d" % k,
                        "Please send me all unread messages with attachments.")
            originals[a_key(m)] = bytes(m)
            store.add(m)
    # Requests are marked read as soon as they are taken, long before they
    # are answered: the work is done when every one has its answer.
    def all_answered():
        return {"user%d@localhost" % k for k in range(50)} <= {r for r, _ in a.answers()}

    kills = 0
    for _ in range(8):
        a.start()
        time.sleep(rng.uniform(1.0, 7.0))
        a.kill()
        kills += 1
        if kills >= 4 and all_answered():
            break
    # The last run is left to finish and then closed in order.
    a.start()
    finished = wait_for(lambda: all_read(store) and all_answered(), 300)
    # Then until no answer has come for a few seconds.
    seen = [len(a.answers()), time.time()]

    def settled():
        n = len(a.answers())
        if n != seen[0]:
            seen[:] = [n, time.time()]
        return time.time() - seen[1] > 15

    wait_for(settled, 300)
    a.stop()
    got = a.answers()
    counts = {k: sum(1 for r, s in got if r == "user%d@localhost" % k) for k in range(50)}
    logs = "".join(a.logs)
    noted = {k for k in range(50) if '"Vindi, request %d" from' % k in logs
             and "marked read but never answered" in logs}
    once = sum(1 for c in counts.values() if c == 1)
    twice = sum(1 for c in counts.values() if c == 2)
    never = [k for k, c in counts.items() if c == 0]
    forwards = [s for r, s in got if r == "vindi@localhost" and s.startswith("FW: ")]
    print("kill during a batch (seed %d): %d kills; answered once %d, twice %d, more %d, never %d; "
          "logged as never answered: %s; forwards %d of 8 photos mails, %s" %
          (seed, kills, once, twice, sum(1 for c in counts.values() if c > 2), len(never), sorted(noted),
           len([s for s in forwards if s.startswith("FW: Photos")]), sorted(forwards)))
    check(finished, "kill: the last run read and answered every request")
    check(all(c == 1 for c in counts.values()), "kill: requests not answered exactly once: %r"
          % {k: c for k, c in counts.items() if c != 1})
    check(len(forwards) == len(set(forwards)), "kill: a forward went out twice: %r" % sorted(forwards))
    check(any(s.startswith("FW: Photos") for s in forwards), "kill: nothing was forwarded: %r" % sorted(forwards))
    check(all(s.startswith("FW: Photos") for s in forwards), "kill: a request was forwarded: %r" % sorted(forwards))
    # Nothing half-written is left behind in the mail folders.
    for folder in (a.maildir, a.outbox):
        left = os.listdir(os.path.join(folder, "tmp"))
        check(left == [], "kill: left in %s/tmp: %r" % (folder, left))
    # No message lost or changed: every request is still there, byte for byte.
    kept = {}
    for key in store.keys():
        with store.get_file(key) as f:
            data = f.read()
        kept[a_key(email.message_from_bytes(data, policy=email.policy.default))] = data
    check(set(kept) == set(originals), "kill: messages lost: %r" % (set(originals) - set(kept)))
    for mid, data in originals.items():
        check(kept.get(mid, b"").replace(b"\r\n", b"\n") == data.replace(b"\r\n", b"\n"),
              "kill: message %s changed" % mid)


def a_key(m):
    return str(m["Message-ID"])


def all_read(store):
    return all("S" in m.get_flags() for m in store)


def body(work):
    responder_loop(work)
    seed = int(os.environ.get("VX_KILL_SEED", str(int(time.time()) % 100000)))
    killed_batch(work, seed)


if __name__ == "__main__":
    work = os.path.join(build, "app_mail_safety")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    body(work)
    if failures:
        print("%d check(s) failed (work folder kept: %s)" % (len(failures), work))
        sys.exit(1)
    shutil.rmtree(work, ignore_errors=True)
    print("mail safety: all checks passed")
