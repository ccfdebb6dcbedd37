#!/usr/bin/python3
"""Serves the update site from a folder with Python's http.server on loopback
and runs the web update's Wine test against it; the test writes the site's
files itself (compressed by our own compressor)."""
import functools
import http.server
import os
import shutil
import socket
import socketserver
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.environ["VX_SOURCE_ROOT"], "testsupport", "python"))
import vxtest  # noqa: E402


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


class HangUp(socketserver.BaseRequestHandler):
    """Takes the request and closes the connection without an answer."""

    def handle(self):
        self.request.recv(4096)


class HangUpServer(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True


def dead_port():
    """A loopback port that nothing listens on (bound once, then released)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    for v in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
              "no_proxy", "NO_PROXY"):
        os.environ.pop(v, None)
    root = tempfile.mkdtemp(prefix="vx-site-")
    try:
        site = os.path.join(root, "software", "Vindalex", "UpDate0")
        os.makedirs(site)
        server = Server(("127.0.0.1", 0), functools.partial(Handler, directory=root))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        os.environ["VX_UPDATE_SITE"] = vxtest.winpath(site)
        os.environ["VX_UPDATE_HOST"] = "127.0.0.1:%d" % server.server_address[1]
        hang_up = HangUpServer(("127.0.0.1", 0), HangUp)
        threading.Thread(target=hang_up.serve_forever, daemon=True).start()
        os.environ["VX_UPDATE_HANGUP_HOST"] = "127.0.0.1:%d" % hang_up.server_address[1]
        os.environ["VX_UPDATE_DEAD_HOST"] = "127.0.0.1:%d" % dead_port()
        os.environ["VX_LINDROW"] = vxtest.winpath(os.path.join(os.environ["VX_BIN_DIR"], "Lindrow.exe"))
        os.environ["LINDROW_WAIT_SCALE"] = "0"
        exe = os.path.join(os.environ["VX_TEST_BIN_DIR"], "core_update_check_tests.exe")
        code, lines = vxtest.wine_run(exe, "--gtest_brief=1", timeout=560)
        print("\n".join(lines[-40:]))
        vxtest.check(code == 0, "the update tests passed")
        vxtest.check(not any("SKIPPED" in l for l in lines), "nothing was skipped")
        server.shutdown()
        hang_up.shutdown()
    finally:
        shutil.rmtree(root, ignore_errors=True)
    if vxtest.failures:
        sys.exit("; ".join(vxtest.failures))


main()
