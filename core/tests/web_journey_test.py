#!/usr/bin/python3
"""The delivered program's web pages as a user walks them, in headless
Chromium: the site opened, one request of each kind sent from the form, then
every link of every page that comes back followed (a crawler that fails on any
answer of 400 or more, for the page or anything it loads, and on any console
error); a reply and a forward sent from their forms reach a real SMTP server,
the forward with its attachment; a message closed; the session ended.
Screenshots are kept under the build folder (Testing/web-journey)."""
import email
import email.policy
import email.utils
import json
import re
import mailbox
import os
import shutil
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request
from email.message import EmailMessage

root = os.environ["VX_SOURCE_ROOT"]
build = os.environ["VX_BUILD_DIR"]
sys.path.insert(0, os.path.join(root, "testsupport", "python"))
sys.path.insert(0, os.path.join(root, "websrv", "tests"))
import vxassistant  # noqa: E402
from browser_test import Browser  # noqa: E402
from vxtest import smtp_server  # noqa: E402

SHOTS = os.path.join(build, "Testing", "web-journey")
# Crawling stops here: the pages of one session are far fewer.
MOST_PAGES = 200

MAILS = [
    ("Alice Example <alice@example.com>", "Lunch plans", "Noon at the usual place.",
     ("notes.txt", b"Bring the menu.\n")),
    ("Bob Builder <bob@example.com>", "Status report", "All green.", None),
]

# Each kind of request from the form, and what its answer shows (a pattern).
REQUESTS = [
    ("Please send me a summary of new messages.", r"Summary of messages\."),
    ("What time is it?", r"\d+ : \d\d [AP]M"),
    ('Please send me a list of the files in "C:\\windows".', r"(?i)win\.ini"),
    ("zork blorf quux", r"I'm sorry, I had trouble understanding"),
]
# The plug-in values the journey sets (the listing is off until the user turns it on).
PLUGIN_VALUES = {"Listavo-Active": 1, "Listavo-Files": 1}
PLUGIN_KEY = r"HKEY_CURRENT_USER\Korvaneant1"


class JourneyBrowser(Browser):
    """The browser, keeping the protocol's events: responses with their status,
    console errors, uncaught exceptions and failed loads."""

    def call(self, method, **params):
        if not hasattr(self, "events"):
            self.events = []
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
            if "method" in msg:
                self.events.append(msg)

    def start_watching(self):
        self.call("Network.enable")
        self.call("Log.enable")
        self.events = []

    def statuses(self):
        """(url, status, resource type) of every response seen so far."""
        return [(e["params"]["response"]["url"], e["params"]["response"]["status"], e["params"].get("type"))
                for e in self.events if e["method"] == "Network.responseReceived"]

    def problems(self):
        """Console errors, uncaught exceptions, failed loads, answers of 400 or more."""
        found = []
        for e in self.events:
            m, p = e["method"], e.get("params", {})
            if m == "Runtime.exceptionThrown":
                found.append("exception: %s" % p.get("exceptionDetails", {}).get("text"))
            elif m == "Runtime.consoleAPICalled" and p.get("type") == "error":
                found.append("console error: %s" % [a.get("value") for a in p.get("args", [])])
            elif m == "Log.entryAdded" and p.get("entry", {}).get("level") == "error" and \
                    not p["entry"].get("url", "").endswith("/favicon.ico"):
                found.append("log error: %s (%s)" % (p["entry"].get("text"), p["entry"].get("url")))
            elif m == "Network.responseReceived" and p["response"]["status"] >= 400 and \
                    not p["response"]["url"].endswith("/favicon.ico"):  # the browser's own probe
                found.append("%d for %s" % (p["response"]["status"], p["response"]["url"]))
            elif m == "Network.loadingFailed" and not p.get("canceled"):
                found.append("load failed: %s" % p.get("errorText"))
        return found

    def visit(self, url):
        """Goes to url; the status it answered with and whether a page came
        (a file is downloaded, not shown)."""
        seen = len(self.events)
        self.eval("window.__vxMark = Math.random()")
        result = self.call("Page.navigate", url=url)
        shown = not result.get("errorText")
        if shown:
            self.wait_new_page("going to " + url)
        deadline = time.time() + 60
        while time.time() < deadline:
            # The page's own response: the first document after the navigation
            # (a redirect's target too), else the response for the address.
            for e in self.events[seen:]:
                if e["method"] == "Network.responseReceived" and (
                        e["params"].get("type") == "Document" or e["params"]["response"]["url"] == url):
                    return e["params"]["response"]["status"], shown
            self.eval("1")  # takes in the events that came meanwhile
            time.sleep(0.2)
        raise AssertionError("no response for %s within 60 s" % url)

    def links(self):
        return self.eval("Array.from(document.links).map(a => a.href)") or []


def mail(sender, subject, text, attachment):
    m = EmailMessage()
    m["From"] = sender
    m["To"] = "vindi@localhost"
    m["Subject"] = subject
    m["Date"] = email.utils.formatdate(time.time() - 3600, localtime=True)
    m["Message-ID"] = email.utils.make_msgid()
    m.set_content(text)
    if attachment:
        m.add_attachment(attachment[1], maintype="text", subtype="plain", filename=attachment[0])
    return m


def wait_for(condition, seconds, what):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return
        time.sleep(0.25)
    if not condition():
        raise AssertionError("waited %d s for %s" % (seconds, what))


def ready(url):
    """True once the program answers a request on a session of its own (the
    site is up a little before the program reads requests)."""
    try:
        with urllib.request.urlopen(url, timeout=30) as r:
            page = r.read().decode("latin-1")
        action = re.search(r'<form[^>]*action="([^"]+)"', page)
        user = re.search(r'name="UserID" value="([^"]+)"', page)
        if not action or not user:
            return False
        form = urllib.parse.urlencode({"UserID": user.group(1), "req": "What time is it?", "B1": "Go!"}).encode()
        with urllib.request.urlopen(urllib.parse.urljoin(url, action.group(1)), form, timeout=60) as r:
            return re.search(r"\d+ : \d\d [AP]M", r.read().decode("latin-1")) is not None
    except Exception:
        return False


class WebJourney(unittest.TestCase):
    def test_a_user_walks_the_site(self):
        work = tempfile.mkdtemp(prefix="vxwebjourney", dir=os.path.join(build, "Testing"))
        os.makedirs(SHOTS, exist_ok=True)
        with smtp_server() as (smtp_port, received):
            app = vxassistant.Assistant(work, "WebJourney%d" % os.getpid(), smtp_port=smtp_port)
            app.registry("[%s]\n" % PLUGIN_KEY + "".join('"%s"=dword:%08x\n' % v for v in PLUGIN_VALUES.items()))
            box = mailbox.Maildir(app.maildir, create=False)
            for sender, subject, text, attachment in MAILS:
                box.add(mailbox.MaildirMessage(mail(sender, subject, text, attachment)))
                time.sleep(0.01)  # distinct delivery times keep the order
            app.start()
            browser = None
            try:
                wait_for(lambda: ready(app.site), 240, "the program's site at %s to answer a request" % app.site)
                browser = JourneyBrowser()
                browser.start_watching()
                self.assertEqual(browser.visit(app.site)[0], 200)
                browser.shot("01-entry")
                self.assertIn("how can I assist you?", browser.text())

                for i, (request, answer) in enumerate(REQUESTS):
                    with self.subTest(request=request):
                        before = len(re.findall(answer, browser.text()))
                        browser.type_into('input[name="req"]', request)
                        browser.submit_with('input[name="B1"]')
                        browser.shot("%02d-request" % (i + 2))
                        self.assertGreater(len(re.findall(answer, browser.text())), before,
                                           "no answer:\n" + browser.text()[:3000])

                # Every link of every page, once; files are fetched, pages shown.
                # (A page of the session is reached again through a link: the
                # answers' page itself comes only as the answer to a form.)
                visited, queue, table = set(), browser.links(), []
                summary_page = next((u for u in queue if "AssistantReply.kvx" in u), None)
                self.assertIsNotNone(summary_page, "no link on the answers' page:\n" + browser.text()[:2000])
                origin = urllib.parse.urlsplit(app.site)[:2]
                while queue and len(visited) < MOST_PAGES:
                    url = queue.pop(0)
                    if url in visited or urllib.parse.urlsplit(url)[:2] != origin:
                        continue
                    visited.add(url)
                    status, shown = browser.visit(url)
                    table.append((status, "page" if shown else "file", url))
                    if shown:
                        queue += [u for u in browser.links() if u not in visited]
                print("pages and files visited:")
                for row in table:
                    print("  %d %-4s %s" % row)
                self.assertLess(len(visited), MOST_PAGES, "the crawl did not end")
                self.assertEqual([r for r in table if r[0] != 200], [])
                self.assertEqual(browser.problems(), [])
                attachments = [u for _, _, u in table if urllib.parse.urlsplit(u).path.endswith("notes.txt")]
                self.assertTrue(attachments, "a link to the forwarded attachment")
                for url in attachments:
                    with urllib.request.urlopen(url, timeout=60) as r:
                        self.assertEqual(r.read(), b"Bring the menu.\n", url)

                # A reply and a forward from their forms reach the SMTP server:
                # the summary's [more...] shows the message with its links.
                self.assertEqual(browser.visit(summary_page)[0], 200)
                more = browser.eval("Array.from(document.links).filter(a => a.textContent === '[more...]')"
                                    ".findIndex(a => a.parentElement.innerText.includes('Lunch plans'))")
                self.assertGreaterEqual(more, 0, "no [more...] beside Alice's entry")
                self.assertEqual(browser.follow("[more...]", more), 200)
                for link, address, subject, attached in (("[reply]", None, "RE: Lunch plans", False),
                                                         ("[forward]", "friend@example.com", "FW: Lunch plans", True)):
                    with self.subTest(form=link):
                        index = browser.eval(
                            "Array.from(document.links).filter(a => a.textContent === %s)"
                            ".findIndex(a => a.parentElement.innerText.includes('Noon at the usual place.'))"
                            % json.dumps(link))
                        self.assertIsNotNone(index)
                        self.assertGreaterEqual(index, 0, "no %s link beside Alice's message" % link)
                        self.assertEqual(browser.follow(link, index), 200)
                        self.assertEqual(browser.eval("document.querySelector('input[name=Subjt]').value"), subject)
                        if address:
                            browser.type_into('input[name="EmAddr"]', address)
                        if attached:
                            browser.eval("document.querySelector('input[name=ATTch]').checked = true")
                        browser.shot("20-%s-form" % link.strip("[]"))
                        browser.submit_with('input[name="Send"]')

                def sent(subject):
                    for _, rcpts, content in list(received):
                        msg = email.message_from_bytes(content, policy=email.policy.default)
                        if str(msg["Subject"]) == subject:
                            return rcpts, msg
                    return None

                wait_for(lambda: sent("RE: Lunch plans") and sent("FW: Lunch plans"), 120,
                         "the reply and the forward at the SMTP server")
                rcpts, _ = sent("RE: Lunch plans")
                self.assertEqual(rcpts, ["alice@example.com"])
                rcpts, forward = sent("FW: Lunch plans")
                self.assertEqual(rcpts, ["friend@example.com"])
                files = {p.get_filename(): p.get_payload(decode=True) for p in forward.iter_attachments()}
                self.assertEqual(files.get("notes.txt"), b"Bring the menu.\n",
                                 "the forward's parts: %s" % [(p.get_content_type(), p.get_filename())
                                                              for p in forward.walk()])

                # Closing a message takes it off the page; logging out ends the session.
                count = "document.querySelectorAll('form[name=close]').length"
                before = browser.eval(count)
                self.assertGreater(before, 0, "no message to close:\n" + browser.text()[:2000])
                browser.submit_with('form[name="close"] input[name="B3"]')
                self.assertEqual(browser.eval(count), before - 1, "closing took no message off the page")
                browser.submit_with('input[name="B2"]')
                browser.shot("30-logged-out")
                self.assertIn("Thank You.", browser.text())
                self.assertEqual(browser.problems(), [])
            finally:
                if browser:
                    browser.close()
                stopped = app.stop()
                app.registry("[%s]\n" % PLUGIN_KEY + "".join('"%s"=-\n' % name for name in PLUGIN_VALUES))
                if not stopped:
                    self.fail("the program did not end after WM_CLOSE")
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    os.makedirs(os.path.join(build, "Testing"), exist_ok=True)
    unittest.main(verbosity=2)
