"""What the device peers share: a pseudo-terminal linked into the Wine prefix
as a COM port, a control socket on which the test program under Wine asks the
peer to act and to tell what it received, and the run of that test program."""
import os
import select
import socket
import subprocess
import sys
import threading
import time
import tty


class Device:
    """One simulated device on the other end of the pty. Subclasses take the
    bytes the program writes (on_bytes) and answer control lines (control)."""

    def __init__(self):
        self.master = None
        self.lock = threading.Lock()

    def write(self, data):
        os.write(self.master, bytes(data))

    def on_bytes(self, data):
        raise NotImplementedError

    def ready(self, words):
        """Whether a control line can be answered now; a question about what
        the program wrote may have to wait for the bytes still on their way."""
        return True

    def control(self, words):
        raise NotImplementedError


def _serve_pty(device, stop):
    while not stop.is_set():
        ready, _, _ = select.select([device.master], [], [], 0.05)
        if not ready:
            continue
        try:
            data = os.read(device.master, 4096)
        except OSError:
            return
        with device.lock:
            device.on_bytes(data)


def _serve_control(device, server, stop):
    server.settimeout(0.2)
    while not stop.is_set():
        try:
            conn, _ = server.accept()
        except socket.timeout:
            continue
        conn.settimeout(None)
        with conn, conn.makefile("rwb") as stream:
            for line in stream:
                words = line.decode("ascii").split()
                if not words:
                    continue
                deadline = time.monotonic() + 120
                while True:
                    with device.lock:
                        if device.ready(words) or time.monotonic() > deadline:
                            answer = device.control(words)
                            break
                    time.sleep(0.02)
                stream.write((answer or "ok").encode("ascii") + b"\n")
                stream.flush()


def run(device, port, test_filter):
    """Runs devices_unload_tests.exe under Wine with the device on COM<port>;
    exits the script with the test program's outcome."""
    build = os.environ["VX_BUILD_DIR"]
    root = os.environ["VX_SOURCE_ROOT"]
    tests = os.environ["VX_TEST_BIN_DIR"]
    master, slave = os.openpty()
    tty.setraw(slave)
    tty.setraw(master)
    device.master = master
    session = os.path.dirname(os.environ.get("VX_WINE_ENV") or os.path.join(build, "wine", "env"))
    link = os.path.join(session, "prefix", "dosdevices", "com%d" % port)
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(4)
    stop = threading.Event()
    threads = [threading.Thread(target=_serve_pty, args=(device, stop), daemon=True),
               threading.Thread(target=_serve_control, args=(device, server, stop), daemon=True)]
    for t in threads:
        t.start()
    try:
        result = subprocess.run(
            [os.path.join(root, "scripts", "wine-run.sh"), os.path.join(tests, "devices_unload_tests.exe"),
             "--gtest_filter=" + test_filter],
            env=dict(os.environ, VX_SERIAL_PEER_PORT=str(port),
                     VX_DEVICE_PEER_CONTROL=str(server.getsockname()[1])),
            capture_output=True, text=True, timeout=150)
    finally:
        stop.set()
        for t in threads:
            t.join(2)
        os.remove(link)
        server.close()
    print(result.stdout)
    if result.returncode != 0 or "SKIPPED" in result.stdout or "PASSED" not in result.stdout:
        print(result.stderr)
        sys.exit("the test program failed")
