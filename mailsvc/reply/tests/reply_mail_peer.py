#!/usr/bin/python3
"""Sends an answer by mail through the reply object (the Win32 test program
under Wine, through MAPI32.DLL to the mail provider) and reads what reached
the outbox with Python's email package."""
import email
import email.policy
import os
import subprocess
import sys
import uuid

build = os.environ["VX_BUILD_DIR"]
root = os.environ["VX_SOURCE_ROOT"]
tests = os.environ["VX_TEST_BIN_DIR"]
outbox_new = os.path.join(build, "wine", "mail", "Outbox", "new")
token = "peer-" + uuid.uuid4().hex[:12]

env = dict(os.environ, VX_REPLY_TOKEN=token)
run = subprocess.run(
    [os.path.join(root, "scripts", "wine-run.sh"), os.path.join(tests, "trellane_reply_tests.exe"),
     "--gtest_filter=ReplyTest.MailGoesOutThroughTheSessionWithItsAttachments"],
    env=env, capture_output=True, text=True, timeout=300)
if run.returncode != 0:
    print(run.stdout, run.stderr)
    sys.exit("the test program failed")

found = []
for name in os.listdir(outbox_new):
    with open(os.path.join(outbox_new, name), "rb") as f:
        msg = email.message_from_binary_file(f, policy=email.policy.default)
    if msg["Subject"] == "Your files " + token:
        found.append(msg)
if len(found) != 1:
    sys.exit("expected one mail with the run's subject, found %d" % len(found))
msg = found[0]
errors = []
if "someone@example.com" not in str(msg["To"]):
    errors.append("To: %s" % msg["To"])
body = msg.get_body(preferencelist=("plain",))
if body is None or "Both attached." not in body.get_content():
    errors.append("body missing")
attachments = [(part.get_filename(), part.get_payload(decode=True)) for part in msg.iter_attachments()]
if attachments != [("x.txt", b"text file\r\n"), ("y", b"no extension\r\n")]:
    errors.append("attachments: %r" % attachments)
if errors:
    sys.exit("; ".join(errors))
print("1 passed, 0 failed")
