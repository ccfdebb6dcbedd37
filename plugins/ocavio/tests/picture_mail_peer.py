#!/usr/bin/python3
"""Ocavio by mail through our capture test device: a real SMTP server (aiosmtpd)
receives the answer, whose bitmap attachment is decoded here and must hold the
device's test pattern (red rising to the right, green downwards, blue 128)."""
import email
import email.policy
import os
import shutil
import struct
import subprocess
import sys
import tempfile

root = os.environ["VX_SOURCE_ROOT"]
sys.path.insert(0, os.path.join(root, "testsupport", "python"))
import vxtest  # noqa: E402

build = os.environ["VX_BUILD_DIR"]
tests = os.environ["VX_TEST_BIN_DIR"]
work = tempfile.mkdtemp(prefix="ocavio-", dir=os.path.join(build, "wine"))


OWNER = "someone@example.com"  # the profile's own address, who asks below
STRANGER = "stranger@example.net"


def register_profile(profile, port):
    reg = os.path.join(work, "profile.reg")
    for d in ("Maildir/new", "Maildir/cur", "Maildir/tmp", "Outbox/new"):
        os.makedirs(os.path.join(work, d), exist_ok=True)
    esc = lambda p: vxtest.winpath(p).replace("\\", "\\\\")  # noqa: E731
    with open(reg, "w") as f:
        f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n' % profile)
        f.write('"Password"=""\n"Maildir"="%s"\n' % esc(os.path.join(work, "Maildir")))
        f.write('"From"="%s"\n"SmtpServer"="127.0.0.1:%d"\n' % (OWNER, port))
        f.write('"Outbox"="%s"\n' % esc(os.path.join(work, "Outbox")))
    subprocess.run([vxtest.WINE_RUN, "regedit", "/S", vxtest.winpath(reg)], check=True, timeout=120,
                   capture_output=True)


def pixel(bmp, x, y):
    """(r, g, b) of a bottom-up 24-bit BMP."""
    offset, = struct.unpack_from("<I", bmp, 10)
    width, height = struct.unpack_from("<ii", bmp, 18)
    bits, = struct.unpack_from("<H", bmp, 28)
    vxtest.check(bits == 24, "24 bits per pixel")
    row = (width * 3 + 3) & ~3
    at = offset + (height - 1 - y) * row + x * 3
    b, g, r = bmp[at], bmp[at + 1], bmp[at + 2]
    return r, g, b


def ask(profile, requester):
    env = dict(os.environ, VX_OCAVIO_PROFILE=profile, VX_OCAVIO_REQUESTER=requester, VX_DLL_OVERRIDES="avicap32=n")
    r = subprocess.run([vxtest.WINE_RUN, os.path.join(tests, "capture", "ocavio_capture_device_tests.exe"),
                        "--gtest_filter=*ByMail*"], env=env, capture_output=True, timeout=300)
    out = r.stdout.decode("latin-1")
    vxtest.check(r.returncode == 0, "the plug-in's answer to " + requester)
    if r.returncode:
        print(out[-3000:])


try:
    with vxtest.smtp_server() as (port, received):
        profile = "OcavioTest%d" % os.getpid()
        register_profile(profile, port)
        # With no accepted senders listed, a stranger's mail gets the refusal
        # and no picture; the owner's own mail gets the picture.
        ask(profile, STRANGER)
        ask(profile, OWNER)
    vxtest.check(len(received) == 2, "two answers by mail (%d)" % len(received))
    refusals = [r for r in received if r[1] == [STRANGER]]
    vxtest.check(len(refusals) == 1, "one answer to the stranger")
    for _, _, content in refusals:
        msg = email.message_from_bytes(content, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        vxtest.check(str(msg["Subject"]) == "Request refused." and body is not None
                     and "Your request was refused." in body.get_content(), "the refusal: %s" % msg["Subject"])
        vxtest.check(not list(msg.iter_attachments()), "no picture for the stranger")
    received = [r for r in received if r[1] != [STRANGER]]
    if received:
        _, rcpts, content = received[0]
        msg = email.message_from_bytes(content, policy=email.policy.default)
        vxtest.check(rcpts == [OWNER], "to the requester: %s" % rcpts)
        vxtest.check(str(msg["Subject"]) == "Image Response.", "subject " + str(msg["Subject"]))
        body = msg.get_body(preferencelist=("plain",))
        vxtest.check(body is not None and "I have captured an image" in body.get_content(), "the text")
        pictures = [p for p in msg.iter_attachments() if (p.get_filename() or "").lower().endswith(".bmp")]
        vxtest.check(len(pictures) == 1, "a bitmap attachment")
        if pictures:
            bmp = pictures[0].get_payload(decode=True)
            vxtest.check(bmp[:2] == b"BM", "a BMP file")
            for x, y in ((0, 0), (10, 20), (63, 47)):
                vxtest.check(pixel(bmp, x, y) == (x * 4, y * 5, 128), "the test pattern at %d,%d" % (x, y))
finally:
    shutil.rmtree(work, ignore_errors=True)

if vxtest.failures:
    sys.exit(1)
print("the picture arrived by mail")
