"""What the script-driven Wine tests share: checks that collect failures, running a
Win32 program in the session, Windows paths, a loopback SMTP server that keeps
what it receives, and a scratch folder around the whole run.

A script finds this module through its path below the source root:
    sys.path.insert(0, os.path.join(<source root>, "testsupport", "python"))
"""
import contextlib
import os
import shutil
import socket
import subprocess
import sys
import tempfile

ROOT = os.environ.get("VX_SOURCE_ROOT",
                      os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine_run(exe, *args, timeout=300):
    """Runs exe in the Wine session: (exit code, output lines without CRs).
    A failing run prints its tail, so the test log shows why."""
    r = subprocess.run([WINE_RUN, exe] + [str(a) for a in args], capture_output=True, timeout=timeout)
    out = r.stdout.decode("latin-1")
    if r.returncode != 0:
        print(exe, args, "exit", r.returncode, out[-3000:], r.stderr.decode("latin-1")[-2000:])
    return r.returncode, [l.rstrip("\r") for l in out.splitlines()]


def free_port():
    """A loopback port nothing listens on (just now)."""
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


@contextlib.contextmanager
def smtp_server():
    """A real SMTP server (aiosmtpd) on a free loopback port while the block runs:
    yields (port, received), received filling with (MAIL FROM, RCPT TOs, content)."""
    from aiosmtpd.controller import Controller

    received = []

    class Handler:
        async def handle_DATA(self, server, session, envelope):
            received.append((envelope.mail_from, list(envelope.rcpt_tos), envelope.content))
            return "250 OK"

    port = free_port()
    # The controller's own start-up wait is a few seconds: too short for a
    # loaded machine, where it would fail a test that did nothing wrong.
    controller = Controller(Handler(), hostname="127.0.0.1", port=port, ready_timeout=120)
    controller.start()
    try:
        yield port, received
    finally:
        controller.stop()


def run_checks(prefix, body, ok):
    """Runs body(work) in a fresh scratch folder (removed afterwards), then exits 1
    when a check failed, else prints ok."""
    work = tempfile.mkdtemp(prefix=prefix)
    try:
        body(work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print(ok)
