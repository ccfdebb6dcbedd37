"""What the plug-in action peers share: a mail profile whose answers go to a
real SMTP server (aiosmtpd) on a loopback port, and one run of the plug-in
action driver over a list of steps, giving each step's result and the mail
the server received, parsed back with Python's email package."""
import email
import email.policy
import mailbox
import os
import subprocess
import sys
import tempfile

ROOT = os.environ["VX_SOURCE_ROOT"]
sys.path.insert(0, os.path.join(ROOT, "testsupport", "python"))
from vxtest import WINE_RUN, check, failures, smtp_server, wine_run, winpath  # noqa: E402,F401

TESTS = os.environ["VX_TEST_BIN_DIR"]
BUILD = os.environ["VX_BUILD_DIR"]


def register_profile(work, profile, port):
    maildir = os.path.join(work, "Maildir")
    outbox = os.path.join(work, "Outbox")
    mailbox.Maildir(maildir, create=True)
    mailbox.Maildir(outbox, create=True)
    reg = os.path.join(work, "profile.reg")
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n' % profile)
        f.write('"Password"=""\n')
        f.write('"Maildir"="%s"\n' % winpath(maildir).replace("\\", "\\\\"))
        f.write('"Outbox"="%s"\n' % winpath(outbox).replace("\\", "\\\\"))
        f.write('"From"="%s"\n' % OWNER)
        f.write('"SmtpServer"="127.0.0.1:%d"\n' % port)
    subprocess.run([WINE_RUN, "regedit", "/S", winpath(reg)], check=True, timeout=300, capture_output=True)
    return outbox


OWNER = "vindi@localhost"  # the profile's own address


def run_steps(module, steps, settings="", install_dir="", accepted=""):
    """Runs the driver over steps [(kind, requester, sender name, fields...)],
    accepted the program's accepted-sender list (one address or none); returns ({step number: result}, [received mail as dicts], {test sentence
    number: result})."""
    work = tempfile.mkdtemp(prefix=module.lower() + "-", dir=os.path.join(BUILD, "wine"))
    profile = module + "Test" + str(os.getpid())
    steps_file = os.path.join(work, "steps.tsv")
    with open(steps_file, "w") as f:
        for step in steps:
            # One step a line: a line end inside a field travels as "\\n".
            f.write("\t".join(field.replace("\n", "\\n") for field in step) + "\n")
    with smtp_server() as (port, received):
        outbox = register_profile(work, profile, port)
        env_before = dict(os.environ)
        os.environ.update(VX_ACTION_MODULE=module, VX_ACTION_PROFILE=profile, VX_ACTION_STEPS=winpath(steps_file),
                          VX_ACTION_SETTINGS=settings, VX_ACTION_INSTALL_DIR=install_dir,
                          VX_ACTION_ACCEPTED=accepted)
        try:
            rc, lines = wine_run(os.path.join(TESTS, "plugin_action_driver.exe"), timeout=300)
        finally:
            os.environ.clear()
            os.environ.update(env_before)
    check(rc == 0, "%s: the driver run" % module)
    if rc != 0 or os.environ.get("VX_VERBOSE"):
        print("\n".join(lines[-80:]))
    results, tests = {}, {}
    for line in lines:
        parts = line.split()
        if len(parts) == 3 and parts[0] == "STEP":
            results[int(parts[1])] = int(parts[2])
        if len(parts) >= 3 and parts[0] == "TEST":
            tests[int(parts[1])] = int(parts[2])
    got = []
    for mail_from, rcpts, content in received:
        msg = email.message_from_bytes(content, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        got.append({"subject": str(msg["Subject"]), "rcpts": rcpts, "from": mail_from,
                    "text": body.get_content().replace("\r\n", "\n") if body else ""})
    check(mailbox.Maildir(outbox, create=False).keys() == [], "%s: mail left in the outbox" % module)
    return results, got, tests


# Who may command by mail: (accepted list, requester, served).
STRANGER = "stranger@example.net"
TRUST_CASES = [
    ("", STRANGER, False),                         # a stranger, the list empty
    ("", "Vindi@LocalHost", True),                 # the owner's own address, any case
    ("boss@example.com", "boss@example.com", True),  # a listed sender
    ("boss@example.com", STRANGER, False),         # a stranger beside a list
]


def trust_table(module, request, served_subject, gave_away, install_dir="", after=()):
    """Offers request by mail for each of TRUST_CASES, one driver run each,
    then the steps after: a served requester gets served_subject, any other
    the refusal, and gave_away(mail) says whether an answer carries what was
    asked for. Returns, case by case: (served, results of the steps after,
    the other mail)."""
    later = []
    for accepted, requester, served in TRUST_CASES:
        case = "%s with list %r" % (requester, accepted)
        steps = [("request", requester, "Asker", request)] + list(after)
        results, got, _ = run_steps(module, steps, install_dir=install_dir, accepted=accepted)
        check(results.get(1) == 1, "%s: handled: %r" % (case, results))
        answer = [g for g in got if g["subject"] in (served_subject, "Request refused.")]
        check(len(answer) == 1 and answer[0]["rcpts"] == [requester],
              "%s: one answer to the requester: %r" % (case, [(g["subject"], g["rcpts"]) for g in got]))
        for g in answer:
            if served:
                check(g["subject"] == served_subject and gave_away(g), "%s: served: %r" % (case, g))
            else:
                check(g["subject"] == "Request refused." and "Your request was refused." in g["text"]
                      and not gave_away(g), "%s: refused: %r" % (case, g))
        later.append((served, [results.get(n) for n in range(2, len(steps) + 1)],
                      [g for g in got if g not in answer]))
    return later


def finish(what):
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print(what + ": all checks passed")
