#!/usr/bin/python3
"""Pexmor end to end under Wine: it checks the libraries and MAPI32.DLL, sends
its test mail through the system's MAPI32.DLL and our mail-client DLL to a real
SMTP server (aiosmtpd), draws its report (a screenshot of it is kept in the
build's artifacts folder), answers its message boxes through the hook and
ends by itself. A second run with no SMTP server listening reports the refused
send as failed.

usage: pexmor_test.py PROBE.exe   (run by CTest inside the Wine session)
"""
import email
import os
import shutil
import subprocess
import sys
import time
from email import policy

sys.path.insert(0, os.path.join(os.environ["VX_SOURCE_ROOT"], "testsupport", "python"))
from vxtest import WINE_RUN, check, free_port, run_checks, smtp_server, winpath, wine_run  # noqa: E402

PROBE = sys.argv[1]
PEXMOR = os.path.join(os.environ["VX_BIN_DIR"], "Pexmor.exe")
ARTIFACTS = os.path.join(os.environ["VX_BUILD_DIR"], "artifacts")
VXMAIL_KEY = r"HKCU\Software\Vindalex\VxMail"
NOTICE = "Vindalex Setup will now test your email MAPI configuration."
ASKED = "Were you asked for a username or password?"
MAIL_TAB = "When you start Vindalex, please enter the program properties"
READY = "If a new email message with an attachment did appear,"
DLLS = "One or more shared DLLs are missing or out of date."
ATTACHMENT = b"\x22Testing Simple MAPI Send Message\r\n"


def session_display():
    """The Wine session's X display, from its environment file."""
    env = os.environ.get("VX_WINE_ENV") or os.path.join(os.environ["VX_BUILD_DIR"], "wine", "env")
    for line in open(env):
        if line.startswith("export DISPLAY="):
            return line.split("=", 1)[1].strip()
    return os.environ.get("DISPLAY", "")


def default_profile():
    r = subprocess.run([WINE_RUN, "reg", "query", VXMAIL_KEY, "/v", "DefaultProfile"], capture_output=True,
                       timeout=120)
    for line in r.stdout.decode("latin-1").splitlines():
        if "DefaultProfile" in line and "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


def set_default_profile(name):
    if name is None:
        subprocess.run([WINE_RUN, "reg", "delete", VXMAIL_KEY, "/v", "DefaultProfile", "/f"], capture_output=True,
                       timeout=120)
    else:
        subprocess.run([WINE_RUN, "reg", "add", VXMAIL_KEY, "/v", "DefaultProfile", "/t", "REG_SZ", "/d", name,
                        "/f"], capture_output=True, check=True, timeout=120)


def boxes(log_path):
    """The message boxes shown so far: (report at that moment, text) pairs."""
    if not os.path.exists(log_path):
        return []
    text = open(log_path, "rb").read().decode("latin-1")
    out = []
    for entry in text.split("\n----\n"):
        if "box:\n" not in entry:
            continue
        report, _, box = entry.partition("\nbox:\n")
        out.append((report.replace("report:\n", "", 1), box))
    return out


def session_env():
    """The environment wine-run.sh gives a program, to run one with changes of our own."""
    env = dict(os.environ)
    path = os.environ.get("VX_WINE_ENV") or os.path.join(os.environ["VX_BUILD_DIR"], "wine", "env")
    for line in open(path):
        if line.startswith("export ") and "=" in line:
            key, value = line[len("export "):].strip().split("=", 1)
            value = value.strip('"').replace("$PATH", os.environ.get("PATH", ""))
            env[key] = value
    env["WINEPATH"] = "Z:" + os.environ["VX_BIN_DIR"].replace("/", "\\")
    return env


def run_pexmor(work, name, smtp, answers, screenshot=None, libraries=None):
    """Runs Pexmor on a profile of its own; returns (exit code, boxes). With
    libraries ({name: fixture}), a copy of Pexmor runs from a folder holding
    those libraries, loaded in place of the system's."""
    maildir = os.path.join(work, name, "Maildir")
    outbox = os.path.join(work, name, "Outbox")
    for d in (maildir, outbox):
        for sub in ("new", "cur", "tmp"):
            os.makedirs(os.path.join(d, sub), exist_ok=True)
    rc, _ = wine_run(PROBE, "profile", name, winpath(maildir), winpath(outbox), "tester@example.com", smtp, "-")
    check(rc == 0, "profile %s written" % name)
    set_default_profile(name)
    log = os.path.join(work, name + ".log")
    hold = os.path.join(work, name + ".go")
    env = dict(session_env(), PEXMOR_MESSAGE_LOG=winpath(log), PEXMOR_ANSWERS=answers, PEXMOR_HOLD_FILE=winpath(hold))
    program = PEXMOR
    if libraries:
        folder = os.path.join(work, name, "program")
        os.makedirs(folder, exist_ok=True)
        program = os.path.join(folder, "Pexmor.exe")
        shutil.copy(PEXMOR, program)
        for library, fixture in libraries.items():
            shutil.copy(os.path.join(os.environ["VX_TEST_BIN_DIR"], fixture), os.path.join(folder, library))
        names = ",".join(os.path.splitext(l)[0].lower() for l in libraries)
        env["WINEDLLOVERRIDES"] = env.get("WINEDLLOVERRIDES", "") + ";" + names + "=n"
    proc = subprocess.Popen(["wine", program], env=env, cwd=os.path.dirname(program),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # The first box after "Tests Complete." waits for the hold file: the
        # finished report is on the screen meanwhile.
        deadline = time.monotonic() + 240
        complete = False
        while time.monotonic() < deadline and proc.poll() is None:
            complete = any("Tests Complete." in report for report, _ in boxes(log))
            if complete:
                break
            time.sleep(0.2)
        check(complete or proc.poll() is not None,
              "a box after the report's \"Tests Complete.\" within 240 s (the hold file ends the wait)")
        if screenshot:
            os.makedirs(ARTIFACTS, exist_ok=True)
            shot = subprocess.run(["import", "-display", session_display(), "-window", "root",
                                   os.path.join(ARTIFACTS, screenshot)], capture_output=True, timeout=60)
            check(shot.returncode == 0, "screenshot of the report taken")
        open(hold, "w").close()
        rc = proc.wait(timeout=240)
    except subprocess.TimeoutExpired:
        proc.kill()
        rc = None
    return rc, boxes(log)


def body(work):
    saved = default_profile()
    try:
        with smtp_server() as (port, received):
            rc, shown = run_pexmor(work, "PexmorTest", "127.0.0.1:%d" % port, "yes,no", "pexmor_report.png")
            check(rc == 0, "Pexmor ended by itself (exit %r)" % rc)
            texts = [box for _, box in shown]
            check(texts and texts[0].startswith(NOTICE), "the mail test was announced first: %r" % texts[:1])
            final = shown[-1][0] if shown else ""
            for line in ("Test Status:", "Test DLLs", "- MAPI32.DLL:  OK", "Test Mail", "- Complete",
                         "Tests Complete."):
                check(line in final, "the report holds %r:\n%s" % (line, final))
            for dll in ("- MSVCRT.DLL:  ", "- MSVCP60.DLL: ", "- MFC42.DLL:   "):
                check(any(dll + r in final for r in ("OK", "Missing", "Update Required")),
                      "the report judges %r" % dll)
            libraries_ok = all(dll + "OK" in final for dll in ("- MSVCRT.DLL:  ", "- MSVCP60.DLL: ",
                                                                  "- MFC42.DLL:   "))
            closing = texts[1:]
            if libraries_ok:
                # Answered yes: the Mail tab advice comes before the last word.
                check([t.split("\r\n")[0] for t in closing] == [ASKED, MAIL_TAB, READY],
                      "the closing messages, once each: %r" % closing)
            else:
                check(len(closing) == 1 and closing[0].startswith(DLLS) and "setup-DLL.exe" in closing[0],
                      "the shared-library message, once: %r" % closing)
            check(len(received) == 1, "one test mail reached the SMTP server: %d" % len(received))
            if received:
                sender, recipients, content = received[0]
                check(recipients == ["tester@example.com"], "addressed to the profile's own address: %r" % recipients)
                message = email.message_from_bytes(content, policy=policy.default)
                files = [(p.get_filename(), p.get_payload(decode=True)) for p in message.iter_attachments()]
                check(len(files) == 1 and files[0][1] == ATTACHMENT,
                      "the attachment is the document's archive: %r" % files)
        # Up-to-date shared libraries beside the program: the closing messages
        # are the mail advice, and the "yes" brings the Mail tab's.
        with smtp_server() as (port, received):
            rc, shown = run_pexmor(work, "PexmorCurrent", "127.0.0.1:%d" % port, "yes,no", None,
                                   {"MSVCP60.DLL": "pexmor_v6_8168.dll", "MFC42.DLL": "pexmor_v6_8267.dll"})
            check(rc == 0, "Pexmor ended by itself with current libraries (exit %r)" % rc)
            final = shown[-1][0] if shown else ""
            check("- MSVCP60.DLL: OK" in final and "- MFC42.DLL:   OK" in final,
                  "the libraries beside the program were judged current:\n%s" % final)
            texts = [t.split("\r\n")[0] for _, t in shown]
            if "- MSVCRT.DLL:  OK" in final:
                check(texts == [NOTICE, ASKED, MAIL_TAB, READY], "the mail advice, once each: %r" % texts)
            check(len(received) == 1, "the test mail arrived: %d" % len(received))
        # Nothing listens on the SMTP port: the refused send is a failed test.
        rc, shown = run_pexmor(work, "PexmorRefused", "127.0.0.1:%d" % free_port(), "no,no")
        check(rc == 0, "Pexmor ended by itself after a refused send (exit %r)" % rc)
        final = shown[-1][0] if shown else ""
        check("- Failed" in final and "Tests Complete." in final, "the refused send is reported failed:\n%s" % final)
        check(sum(1 for _, t in shown if t.startswith(NOTICE)) == 1, "the mail test ran once")
    finally:
        set_default_profile(saved)


run_checks("pexmor-", body, "Pexmor: report, test mail and closing messages as expected")
