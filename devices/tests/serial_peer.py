#!/usr/bin/python3
"""A device on the other end of a COM port: a pseudo-terminal linked into the
Wine prefix as a COM port. It takes three bytes and answers five; the test
program under Wine checks what it reads, this script what it received."""
import os
import select
import subprocess
import sys
import threading
import time
import tty

build = os.environ["VX_BUILD_DIR"]
root = os.environ["VX_SOURCE_ROOT"]
tests = os.environ["VX_TEST_BIN_DIR"]
PORT = 7

master, slave = os.openpty()
tty.setraw(slave)
session = os.path.dirname(os.environ.get("VX_WINE_ENV") or os.path.join(build, "wine", "env"))
link = os.path.join(session, "prefix", "dosdevices", "com%d" % PORT)
if os.path.lexists(link):
    os.remove(link)
os.symlink(os.ttyname(slave), link)
received = bytearray()
stop = threading.Event()


def peer():
    answered = False
    while not stop.is_set():
        ready, _, _ = select.select([master], [], [], 0.05)
        if ready:
            try:
                received.extend(os.read(master, 256))
            except OSError:
                return
        if len(received) >= 3 and not answered:
            os.write(master, b"\x01\x02\x03\x04\x05")
            answered = True


thread = threading.Thread(target=peer, daemon=True)
thread.start()
try:
    run = subprocess.run(
        [os.path.join(root, "scripts", "wine-run.sh"), os.path.join(tests, "devices_unload_tests.exe"),
         "--gtest_filter=SerialPeer.*"],
        env=dict(os.environ, VX_SERIAL_PEER_PORT=str(PORT)), capture_output=True, text=True, timeout=300)
finally:
    stop.set()
    thread.join(2)
    os.remove(link)
if run.returncode != 0 or "1 test" not in run.stdout or "SKIPPED" in run.stdout:
    print(run.stdout, run.stderr)
    sys.exit("the test program failed")
if bytes(received[:3]) != b"\x5a\x5b\x5c":
    sys.exit("the peer received %r" % bytes(received))
print("1 passed, 0 failed")
