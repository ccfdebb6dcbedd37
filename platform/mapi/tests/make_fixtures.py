#!/usr/bin/python3
"""Writes the MIME fixtures of the mail store tests with Python's email package.

Run it from any folder; it rewrites fixtures/*.eml beside this script. The files
are committed, so the tests need no Python; rerun after changing a case.
"""
import os
from email import policy
from email.headerregistry import Address
from email.message import EmailMessage, Message
from email.mime.base import MIMEBase
from email.mime.message import MIMEMessage
from email.mime.multipart import MIMEMultipart
from email.mime.text import MIMEText
from email import encoders
from email.header import Header

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")


def write(name, msg, crlf=True):
    pol = policy.SMTP if crlf else policy.default
    data = msg.as_bytes(policy=pol) if isinstance(msg, EmailMessage) else msg.as_bytes(policy=pol)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def plain_utf8():
    m = EmailMessage()
    m["From"] = Address("Jürgen Müller", addr_spec="juergen@example.org")
    m["To"] = "Vindalex <assistant@example.com>, second@example.com"
    m["Cc"] = '"Smith, Anna" <anna@example.net>'
    m["Subject"] = "Grüße aus Köln"
    m["Date"] = "Tue, 08 May 2001 14:07:00 +0200"
    m["Message-ID"] = "<plain-utf8@example.org>"
    m.set_content("Hallo Vindalex,\nbitte sende mir die Liste.\nDanke – Jürgen\n", charset="utf-8", cte="8bit")
    write("plain_utf8.eml", m)


def alternative():
    m = EmailMessage()
    m["From"] = "sender@example.org"
    m["To"] = "assistant@example.com"
    m["Subject"] = "Two forms"
    m["Date"] = "Wed, 09 May 2001 08:00:00 -0500"
    m.set_content("The plain form.\n")
    m.add_alternative("<html><body><p>The <b>HTML</b> form.</p></body></html>\n", subtype="html")
    write("alternative.eml", m)


def html_only():
    m = EmailMessage()
    m["From"] = "Web Shop <shop@example.org>"
    m["To"] = "assistant@example.com"
    m["Subject"] = "Your order"
    m["Date"] = "Thu, 10 May 2001 10:30:00 +0000"
    html = ("<html><head><title>Ignored</title><style>p {color: red}</style></head><body>"
            "<script>var x = '<p>no</p>';</script><p>Price:&nbsp;5&euro; &amp; more</p>"
            "<p>Line one<br>Line two</p><ul><li>first</li><li>second</li></ul></body></html>")
    m.set_content(html, subtype="html", charset="utf-8", cte="base64")
    write("html_only.eml", m)


def mixed_attach():
    m = EmailMessage()
    m["From"] = "sender@example.org"
    m["To"] = "assistant@example.com"
    m["Subject"] = "Files"
    m["Date"] = "Fri, 11 May 2001 12:00:00 +0100"
    m.set_content("See the files.\n")
    m.add_attachment(bytes(range(256)), maintype="application", subtype="octet-stream", filename="data.bin")
    m.add_attachment("Résumé text\n".encode("utf-8"), maintype="text", subtype="plain",
                     filename="résumé.txt")
    write("mixed_attach.eml", m)


def nested():
    outer = MIMEMultipart("mixed")
    outer["From"] = "nest@example.org"
    outer["To"] = "assistant@example.com"
    outer["Subject"] = "Nested"
    outer["Date"] = "Sat, 12 May 2001 09:15:00 +0000"
    alt = MIMEMultipart("alternative")
    alt.attach(MIMEText("Nested plain text.\n", "plain", "us-ascii"))
    related = MIMEMultipart("related")
    related.attach(MIMEText("<p>Nested <img src='cid:logo'></p>", "html", "us-ascii"))
    img = MIMEBase("image", "png")
    img.set_payload(b"\x89PNG\r\n\x1a\nfake")
    encoders.encode_base64(img)
    img["Content-ID"] = "<logo>"
    related.attach(img)
    alt.attach(related)
    outer.attach(alt)
    pdf = MIMEBase("application", "pdf")
    pdf.set_payload(b"%PDF-1.4 fake")
    encoders.encode_base64(pdf)
    pdf.add_header("Content-Disposition", "attachment", filename="report.pdf")
    outer.attach(pdf)
    write("nested.eml", outer)


def qp_latin1():
    m = Message()
    m["From"] = "latin@example.org"
    m["To"] = "assistant@example.com"
    m["Subject"] = Header("Prix: 10 € net", "iso-8859-15").encode()
    m["Date"] = "Sun, 13 May 2001 18:45:00 +0200"
    m["MIME-Version"] = "1.0"
    body = MIMEText("Voilà le café à 3,50 F.\n" + "x" * 100 + "\n", "plain", "iso-8859-1")
    del body["Content-Transfer-Encoding"]
    body.set_payload(("Voilà le café à 3,50 F.\n" + "x" * 100 + "\n").encode("iso-8859-1"))
    encoders.encode_quopri(body)
    for k, v in body.items():
        if k.lower() not in ("mime-version",):
            m[k] = v
    m.set_payload(body.get_payload())
    write("qp_latin1.eml", m)


def lf_only():
    m = EmailMessage()
    m["To"] = "assistant@example.com"
    m["Subject"] = "No sender, no date"
    m.set_content("Body with LF only.\nSecond line.\n")
    write("lf_no_from_no_date.eml", m, crlf=False)


def forwarded():
    inner = EmailMessage()
    inner["From"] = "original@example.org"
    inner["To"] = "sender@example.org"
    inner["Subject"] = "Original note"
    inner.set_content("Original body.\n")
    outer = MIMEMultipart("mixed")
    outer["From"] = "sender@example.org"
    outer["To"] = "assistant@example.com"
    outer["Subject"] = "Fwd: Original note"
    outer["Date"] = "Mon, 14 May 2001 07:00:00 +0000"
    outer.attach(MIMEText("Forwarding this.\n"))
    outer.attach(MIMEMessage(inner))
    write("forwarded.eml", outer)


def cp1252():
    m = EmailMessage()
    m["From"] = "win@example.org"
    m["To"] = "assistant@example.com"
    m["Subject"] = "=?windows-1252?Q?=93Quoted=94_text?="
    m["Date"] = "Tue, 15 May 2001 11:11:00 +0000"
    m.set_content("\u201cSmart\u201d quotes \u2013 and \u20ac.\n".encode("cp1252"), maintype="text",
                  subtype="plain", cte="8bit")
    m.set_param("charset", "windows-1252")
    write("cp1252.eml", m)


def malformed():
    # Hand-made damage: unterminated multipart, truncated base64, junk header line.
    raw = (b"From: broken@example.org\r\n"
           b"Subject: Broken\r\n"
           b"This line is no header\r\n"
           b"Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
           b"\r\n"
           b"--b1\r\n")
    with open(os.path.join(HERE, "malformed_header.eml"), "wb") as f:
        f.write(raw)
    raw = (b"From: broken@example.org\r\n"
           b"Subject: Unterminated\r\n"
           b"MIME-Version: 1.0\r\n"
           b"Content-Type: multipart/mixed; boundary=\"b1\"\r\n"
           b"\r\n"
           b"--b1\r\n"
           b"Content-Type: text/plain\r\n"
           b"\r\n"
           b"Text survives.\r\n"
           b"--b1\r\n"
           b"Content-Type: application/octet-stream; name=cut.bin\r\n"
           b"Content-Transfer-Encoding: base64\r\n"
           b"\r\n"
           b"AAECAwQFBgcICQ\r\n")
    with open(os.path.join(HERE, "malformed_multipart.eml"), "wb") as f:
        f.write(raw)


if __name__ == "__main__":
    os.makedirs(HERE, exist_ok=True)
    for make in (plain_utf8, alternative, html_only, mixed_attach, nested, qp_latin1, lf_only, forwarded,
                 cp1252, malformed):
        make()
