#!/usr/bin/env python3
"""The assistant's site in headless Chromium, driven through the DevTools
protocol: log in, type a request, read the answer, compose and send a mail,
close a message, log out; the colours the pages are drawn in; and, with the
program's own engine and plug-ins behind the site, every link of a summary
answer followed to its page. Screenshots of the pages are kept under the build
folder (Testing/websrv-pages)."""
import base64
import email.utils
import json
import mailbox
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

from email.message import EmailMessage

import websocket

sys.path.insert(0, os.path.dirname(__file__))
import site_test  # noqa: E402  (the helper runner)

sys.path.insert(0, os.path.join(site_test.ROOT, "testsupport", "python"))
from vxtest import wine_run, winpath  # noqa: E402

SHOTS = os.path.join(site_test.BUILD, "Testing", "websrv-pages")


class Browser:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="vxchrome")
        self.proc = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + self.profile, "--remote-debugging-port=0", "--window-size=1000,800",
             "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        portfile = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 120
        while not os.path.exists(portfile) or not site_test.read(portfile).strip():
            if time.time() > deadline or self.proc.poll() is not None:
                raise RuntimeError("chromium did not start within 120 s")
            time.sleep(0.1)
        port = int(site_test.read(portfile).split()[0])
        with urllib.request.urlopen("http://127.0.0.1:%d/json" % port, timeout=30) as r:
            targets = json.load(r)
        page = [t for t in targets if t.get("type") == "page"][0]
        self.ws = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=30)
        self.next_id = 0
        self.call("Page.enable")
        self.call("Runtime.enable")

    def call(self, method, **params):
        self.next_id += 1
        my = self.next_id
        self.ws.send(json.dumps({"id": my, "method": method, "params": params}))
        deadline = time.time() + 120
        while True:
            if time.time() > deadline:
                raise RuntimeError("no answer to %s within 120 s" % method)
            msg = json.loads(self.ws.recv())
            if msg.get("id") == my:
                if "error" in msg:
                    raise RuntimeError("%s: %s" % (method, msg["error"]))
                return msg.get("result", {})

    def wait_new_page(self, what, timeout=120):
        """Waits until the page that had window.__vxMark set is replaced by a
        new one that has loaded."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                if self.eval("window.__vxMark") is None and self.eval("document.readyState") == "complete":
                    return
            except Exception:
                pass
            time.sleep(0.1)
        raise RuntimeError("no new page within %d s after %s" % (timeout, what))

    def eval(self, expression):
        r = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        return r.get("result", {}).get("value")

    def go(self, url):
        # The old page is marked, so its own "complete" is not taken for the new one's.
        self.eval("window.__vxMark = Math.random()")
        self.call("Page.navigate", url=url)
        self.wait_new_page("going to " + url)

    def submit_with(self, selector):
        self.eval("window.__vxMark = Math.random()")
        self.eval("document.querySelector(%s).click()" % json.dumps(selector))
        self.wait_new_page("clicking " + selector)

    def type_into(self, selector, text):
        self.eval("document.querySelector(%s).focus()" % json.dumps(selector))
        self.call("Input.insertText", text=text)

    def text(self):
        return self.eval("document.body.innerText") or ""

    def link_count(self, text):
        return self.eval("Array.from(document.links).filter(a => a.textContent === %s).length" % json.dumps(text))

    def follow(self, text, index):
        """Clicks the index-th link that reads text; the status of the page it led to."""
        self.eval("window.__vxMark = Math.random()")
        found = self.eval("(() => { const a = Array.from(document.links).filter(a => a.textContent === %s)[%d];"
                          " if (!a) return false; a.click(); return true; })()" % (json.dumps(text), index))
        if not found:
            raise AssertionError("no link %s number %d on the page:\n%s" % (text, index, self.text()[:2000]))
        self.wait_new_page("following %s number %d" % (text, index))
        return self.eval("performance.getEntriesByType('navigation')[0].responseStatus")

    def colours(self, selector, contains=""):
        """Text colour and the colour behind the first element matching
        selector whose text holds contains, as Chromium draws them."""
        return self.eval("""(() => {
            const el = Array.from(document.querySelectorAll(%s)).find(e => e.textContent.includes(%s));
            if (!el) return null;
            let back = 'none';
            for (let e = el; e; e = e.parentElement) {
                const b = getComputedStyle(e).backgroundColor;
                if (b !== 'rgba(0, 0, 0, 0)' && b !== 'transparent') { back = b; break; }
            }
            return [getComputedStyle(el).color, back];
        })()""" % (json.dumps(selector), json.dumps(contains)))

    def html(self):
        return self.eval("document.documentElement.outerHTML") or ""

    def shot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(os.path.join(SHOTS, name + ".png"), "wb") as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            self.ws.close()
        finally:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.proc.kill()
            shutil.rmtree(self.profile, ignore_errors=True)


class SiteInBrowser(unittest.TestCase):
    def test_whole_visit(self):
        site = site_test.Site("a")
        browser = Browser()
        try:
            browser.go(site.base + "/~Ann-Lee/login.html")
            browser.shot("01-entry")
            self.assertIn("Hello, how can I assist you?", browser.text())

            browser.type_into('input[name="req"]', "what time is it <b>now</b>?")
            browser.submit_with('input[name="B1"]')
            browser.shot("02-answer")
            self.assertIn("Answer: what time is it <b>now</b>?", browser.text())
            self.assertEqual(browser.eval("document.querySelectorAll('b b').length"), 0)

            browser.submit_with('input[name="COMPOSE"]')
            browser.shot("03-compose")
            subject = "Browser mail %d" % os.getpid()
            browser.type_into('input[name="EmAddr"]', "friend@example.com")
            browser.type_into('input[name="Subjt"]', subject)
            browser.type_into('textarea[name="MBody"]', "Sent from the web page: 1+1=2 & done.")
            browser.submit_with('input[name="emSend"]')
            browser.shot("04-sent")
            self.assertEqual(browser.eval("document.querySelectorAll('input[name=EmAddr]').length"), 0)
            found = site_test.outbox_mail(subject)
            self.assertIsNotNone(found, "the mail did not reach the outbox")
            self.assertIn(b"1+1=2 & done.", found)

            self.assertIn("Answer: what time", browser.text())
            browser.submit_with('form[name="close"] input[name="B3"]')
            browser.shot("05-closed")
            self.assertNotIn("Answer: what time", browser.text())

            browser.submit_with('input[name="B2"]')
            browser.shot("06-logged-out")
            self.assertIn("Thank You.", browser.text())
        finally:
            browser.close()
            site.stop()

    def test_pages_are_drawn_in_the_stored_colours(self):
        # The helper stores the factory colours: text black on white, links red 204.
        text, link = ["rgb(0, 0, 0)", "rgb(255, 255, 255)"], ["rgb(204, 0, 0)", "rgb(255, 255, 255)"]
        site = site_test.Site("a")
        browser = Browser()
        try:
            browser.go(site.base + "/~Ann-Lee/login.html")
            self.assertEqual(browser.colours("body"), text)
            self.assertEqual(browser.colours("td", "Hello, how can I assist you?"), text)
            browser.type_into('input[name="req"]', "gibberish")
            browser.submit_with('input[name="B1"]')
            browser.shot("08-not-understood")
            self.assertEqual(browser.colours("center", "I'm sorry, I had trouble understanding"), text)
            # Colours Chromium keeps to itself for links: as the page states them.
            self.assertEqual(browser.eval("[document.body.aLink, document.body.vLink]"), ["#8b1a55", "#0000ff"])
            browser.submit_with('input[name="B2"]')
            self.assertEqual(browser.colours("a", "Login"), link)
        finally:
            browser.close()
            site.stop()

    def test_small_device_page(self):
        site = site_test.Site("a")
        browser = Browser()
        try:
            browser.go(site.base + "/~Ann-Lee/log.htm")
            browser.shot("07-small-device")
            self.assertIn("How can I help?", browser.text())
            browser.type_into('input[name="req"]', "bye")
            browser.submit_with('input[name="B1"]')
            self.assertIn("Thank You.", browser.text())
            self.assertIn("/~Ann-Lee/log.htm", browser.html())
        finally:
            browser.close()
            site.stop()


class SummaryJourney(unittest.TestCase):
    """The program's engine with its summary and forwarding plug-ins behind the
    site: a summary of new mail asked for in the browser, each [more...] of it
    followed to its message, and each message's [reply] and [forward] to its
    form."""

    PROFILE = "SiteJourney%d" % os.getpid()
    MAILS = [("Alice Example <alice@example.com>", "Lunch plans", "Noon at the usual place."),
             ("Bob Builder <bob@example.com>", "Status report", "All green.")]

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vxjourney", dir=os.path.join(site_test.BUILD, "Testing"))
        box = mailbox.Maildir(os.path.join(self.work, "Maildir"), create=True)
        for sender, subject, text in self.MAILS:
            m = EmailMessage()
            m["From"] = sender
            m["To"] = "vindalex@localhost"
            m["Subject"] = subject
            m["Date"] = email.utils.formatdate(time.time() - 3600)
            m.set_content(text)
            box.add(mailbox.MaildirMessage(m))
            time.sleep(0.01)  # distinct delivery times keep the order
        os.makedirs(os.path.join(self.work, "Outbox", "new"))
        self.registry(
            "[HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n" % self.PROFILE
            + '"Password"=""\n"From"="vindalex@localhost"\n"SmtpServer"=""\n'
            + '"Maildir"="%s"\n' % winpath(os.path.join(self.work, "Maildir")).replace("\\", "\\\\")
            + '"Outbox"="%s"\n' % winpath(os.path.join(self.work, "Outbox")).replace("\\", "\\\\"))

    def tearDown(self):
        self.registry("[-HKEY_CURRENT_USER\\Software\\Vindalex\\VxMail\\Profiles\\%s]\n" % self.PROFILE)
        shutil.rmtree(self.work, ignore_errors=True)

    def registry(self, text):
        reg = os.path.join(self.work, "profile.reg")
        with open(reg, "w") as f:
            f.write("REGEDIT4\n\n" + text)
        rc, _ = wine_run("regedit", "/S", winpath(reg), timeout=120)
        self.assertEqual(rc, 0, "regedit")

    def test_every_link_of_a_summary_answers(self):
        site = site_test.Site("am", env={"VX_SITE_PROFILE": self.PROFILE})
        browser = Browser()
        try:
            browser.go(site.base + "/~Ann-Lee/login.html")
            browser.type_into('input[name="req"]', "Please send me a summary of new messages.")
            browser.submit_with('input[name="B1"]')
            browser.shot("09-summary")
            self.assertIn("Summary of messages.", browser.text())
            self.assertEqual(browser.link_count("[more...]"), len(self.MAILS))

            for i in range(len(self.MAILS)):
                with self.subTest(link="[more...]", entry=i):
                    self.assertEqual(browser.follow("[more...]", i), 200)
                    self.assertEqual(browser.link_count("[reply]"), i + 1, browser.text()[:2000])
            browser.shot("10-messages")
            for _, _, text in self.MAILS:
                self.assertIn(text, browser.text())

            forms = 0
            for kind, prefix in (("[reply]", "RE: "), ("[forward]", "FW: ")):
                for i in range(browser.link_count(kind)):
                    with self.subTest(link=kind, message=i):
                        self.assertEqual(browser.follow(kind, i), 200)
                        forms += 1
                        subjects = browser.eval(
                            "Array.from(document.querySelectorAll('input[name=Subjt]')).map(e => e.value)")
                        self.assertEqual(len(subjects), forms, browser.text()[:2000])
                        self.assertTrue(subjects[0].startswith(prefix), subjects)
            browser.shot("11-forms")
            subjects = sorted(browser.eval("Array.from(document.querySelectorAll('input[name=Subjt]')).map(e => e.value)"))
            self.assertEqual(subjects, sorted(p + s for p in ("RE: ", "FW: ") for _, s, _ in self.MAILS))
        finally:
            browser.close()
            site.stop()


if __name__ == "__main__":
    site_test.HELPER = sys.argv.pop(1)
    os.makedirs(os.path.join(site_test.BUILD, "Testing"), exist_ok=True)
    unittest.main(verbosity=2)
