#!/usr/bin/python3
"""Runs the transfer dialogs' Wine test against real servers on loopback:
Python's http.server with the handler below, and pyftpdlib (active mode, as
WinINet uses it without the passive flag), throttled so that a transfer lasts
long enough to be cancelled, with a folder whose renames are strict."""
import errno
import http.server
import os
import shutil
import socketserver
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.environ["VX_SOURCE_ROOT"], "testsupport", "python"))
import vxtest  # noqa: E402

from pyftpdlib.authorizers import DummyAuthorizer  # noqa: E402
from pyftpdlib.filesystems import AbstractedFS  # noqa: E402
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler  # noqa: E402
from pyftpdlib.servers import ThreadedFTPServer  # noqa: E402
import logging  # noqa: E402

logging.getLogger("pyftpdlib").setLevel(logging.WARNING)


def pattern(n, start=0):
    return bytes(((i * 7 + i // 251) & 0xFF) for i in range(start, start + n))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def size(self):
        try:
            return int(self.path.rsplit("/", 1)[1])
        except ValueError:
            return -1

    def do_GET(self):
        kind = self.path.split("/")[1]
        n = self.size()
        if kind == "data" and n >= 0:
            body = pattern(n)
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif kind == "nolength" and n >= 0:
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(pattern(n))
            self.close_connection = True
        elif kind == "slow" and n >= 0:
            self.send_response(200)
            self.send_header("Content-Length", str(n))
            self.end_headers()
            for start in range(0, n, 16384):
                self.wfile.write(pattern(min(16384, n - start), start))
                self.wfile.flush()
                time.sleep(0.05)
        elif kind == "short" and n >= 0:
            self.send_response(200)
            self.send_header("Content-Length", str(n))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(pattern(n // 2))
            self.close_connection = True
        elif kind == "endless":
            self.send_response(200)
            self.send_header("Content-Length", str(1 << 30))
            self.end_headers()
            deadline = time.time() + 120
            start = 0
            try:
                while time.time() < deadline:
                    self.wfile.write(pattern(8192, start))
                    self.wfile.flush()
                    start += 8192
                    time.sleep(0.02)
            except OSError:
                pass
            self.close_connection = True
        elif kind == "secret":
            body = b"<html>you may not</html>"
            self.send_response(401)
            self.send_header("WWW-Authenticate", 'Basic realm="vx"')
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        else:
            body = b"<html>not here</html>"
            self.send_response(404)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)


class StrictFS(AbstractedFS):
    """In the folder "strict" the server renames the way some servers do: never
    over an existing name, and never an upload's part onto a name beginning
    with "locked" (as if that name were held open)."""

    def rename(self, src, dst):
        if os.path.basename(os.path.dirname(dst)) == "strict":
            if os.path.lexists(dst):
                raise OSError(errno.EEXIST, "the name is taken")
            if os.path.basename(dst).startswith("locked") and src.endswith(".vxpart"):
                raise OSError(errno.EACCES, "the name is held open")
        return super().rename(src, dst)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    for v in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY",
              "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"):
        os.environ.pop(v, None)
    root = tempfile.mkdtemp(prefix="vx-ftp-")
    try:
        with open(os.path.join(root, "big.bin"), "wb") as f:
            f.write(pattern(2500000))
        os.mkdir(os.path.join(root, "strict"))
        http_server = Server(("127.0.0.1", 0), Handler)
        threading.Thread(target=http_server.serve_forever, daemon=True).start()

        authorizer = DummyAuthorizer()
        authorizer.add_user("vx", "secret", root, perm="elradfmwMT")
        dtp = ThrottledDTPHandler
        dtp.read_limit = 1024 * 1024
        dtp.write_limit = 1024 * 1024
        handler = FTPHandler
        handler.authorizer = authorizer
        handler.dtp_handler = dtp
        handler.abstracted_fs = StrictFS
        handler.permit_foreign_addresses = False
        ftp_server = ThreadedFTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=ftp_server.serve_forever, kwargs={"timeout": 0.5}, daemon=True).start()

        os.environ["VX_HTTP_PORT"] = str(http_server.server_address[1])
        os.environ["VX_FTP_PORT"] = str(ftp_server.address[1])
        os.environ["VX_FTP_ROOT"] = vxtest.winpath(root)
        exe = os.path.join(os.environ["VX_TEST_BIN_DIR"], "toolkit_transfer_dialog_tests.exe")
        code, lines = vxtest.wine_run(exe, "--gtest_brief=1", timeout=560)
        print("\n".join(lines[-40:]))
        vxtest.check(code == 0, "the dialog tests passed")
        vxtest.check(not any("SKIPPED" in l for l in lines), "nothing was skipped")
        ftp_server.close_all()
        http_server.shutdown()
    finally:
        shutil.rmtree(root, ignore_errors=True)
    if vxtest.failures:
        sys.exit("; ".join(vxtest.failures))


main()
