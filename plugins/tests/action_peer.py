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
        f.write('"From"="vindi@localhost"\n')
        f.write('"SmtpServer"="127.0.0.1:%d"\n' % port)
    subprocess.run([WINE_RUN, "regedit", "/S", winpath(reg)], check=True, timeout=300, capture_output=True)
    return outbox


def run_steps(module, steps, settings="", install_dir=""):
    """Runs the driver over steps [(kind, requester, sender name, fields...)];
    returns ({step number: result}, [received mail as dicts], {test sentence
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
                          VX_ACTION_SETTINGS=settings, VX_ACTION_INSTALL_DIR=install_dir)
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


def finish(what):
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print(what + ": all checks passed")
