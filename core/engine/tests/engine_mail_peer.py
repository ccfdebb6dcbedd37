#!/usr/bin/python3
"""The mail road end to end. For each case Python's email package writes the
request mails into a fresh Maildir, the Win32 engine test (under Wine, through
MAPI32.DLL and VxMail.dll) drives the engine's mail ticks over it, and the
answers are read back from the profile's outbox with the email package."""
import email.policy
import mailbox
import os
import subprocess
import sys
import uuid
from email.message import EmailMessage

build = os.environ["VX_BUILD_DIR"]
root = os.environ["VX_SOURCE_ROOT"]
tests = os.environ["VX_TEST_BIN_DIR"]

AUTO_SUBJECT = "Regarding your last message.[Auto reply]"
AUTO_TEXT = ("I'm sorry, I had trouble understanding what it is you wanted me to do, "
             "perhaps I was instructed to ignore these types of requests?")
HELP_HEAD = "These plugins are currently active:\n------------------\n"


def mail(sender, subject, body, **fields):
    m = EmailMessage()
    m["From"] = sender
    m["To"] = "vindi@localhost"
    m["Subject"] = subject
    for name, value in fields.items():
        m[name.replace("_", "-")] = value
    if body is not None:  # None: a mail without any body
        m.set_content(body)
    return m


def win_path(path):
    return "Z:" + path.replace("/", "\\")


def run_case(case, mails):
    base = os.path.join(build, "engine-mail", case + "-" + uuid.uuid4().hex[:8])
    os.makedirs(base, exist_ok=True)
    store = mailbox.Maildir(os.path.join(base, "Maildir"), create=True)
    outbox_path = os.path.join(base, "Outbox")
    mailbox.Maildir(outbox_path, create=True)
    for m in mails:
        store.add(m)
    env = dict(os.environ, VX_ENGINE_MAILDIR=win_path(os.path.join(base, "Maildir")),
               VX_ENGINE_OUTBOX=win_path(outbox_path), VX_ENGINE_PROFILE="EngineMail" + case)
    run = subprocess.run(
        [os.path.join(root, "scripts", "wine-run.sh"), os.path.join(tests, "core_engine_tests.exe"),
         "--gtest_filter=EngineMail." + case],
        env=env, capture_output=True, text=True, timeout=300)
    ok = run.returncode == 0 and "[  SKIPPED" not in run.stdout
    if not ok:
        print(run.stdout[-4000:], run.stderr[-2000:])
    answers = []
    out = mailbox.Maildir(outbox_path, factory=None, create=False)
    for key in out.keys():
        with out.get_file(key) as f:
            answers.append(email.message_from_binary_file(f, policy=email.policy.default))
    unread = []
    for key, msg in store.items():
        if "S" not in msg.get_flags():
            unread.append(str(msg["Subject"]))
    return ok, answers, unread


def body_of(msg):
    part = msg.get_body(preferencelist=("plain",))
    return part.get_content().replace("\r\n", "\n") if part is not None else ""


def to_of(msg):
    return str(msg["To"])


failures = []
passed = 0


def check(name, condition, detail=""):
    global passed
    if condition:
        passed += 1
    else:
        failures.append("%s %s" % (name, detail))


def answers_to(answers, address):
    return [a for a in answers if address in to_of(a)]


# 1. Requests, help, mail that is not for the assistant, the two passes.
ok, answers, unread = run_case("Requests", [
    mail("Jane <jane@example.org>", "Vindi, a request", "send me new mail\r\n\r\nzork qqq\r\n"),
    mail("bob@example.org", "Vindi here", "zork qqq"),
    mail("carol@example.org", "vindi, help please", ""),
    mail("MAILER-DAEMON@mx.example.org", "Vindi: Undelivered Mail Returned to Sender", "zork"),
    mail("dave@example.org", "hello there", "send me new mail"),
    mail("erin@example.org", "Vindi [alert-take]", "send me new mail"),
    mail("fred@example.org", "Vindi [whole-take]", "zork qqq"),
])
check("requests: engine test", ok)
jane = answers_to(answers, "jane@example.org")
check("requests: one answer to the handled line", [str(a["Subject"]) for a in jane] == ["Done: send me new mail"],
      [str(a["Subject"]) for a in jane])
bob = answers_to(answers, "bob@example.org")
check("requests: automatic reply", len(bob) == 1 and str(bob[0]["Subject"]) == AUTO_SUBJECT
      and body_of(bob[0]).strip() == AUTO_TEXT, [(str(a["Subject"]), body_of(a)) for a in bob])
carol = answers_to(answers, "carol@example.org")
check("requests: help listing", len(carol) == 1 and str(carol[0]["Subject"]) == "Help you requested", len(carol))
if carol:
    text = body_of(carol[0])
    check("requests: help text", text.startswith(HELP_HEAD)
          and "Name: EngineTestA\nDescription: Sends test mail\nSample: send me new mail\n------------------\n" in text
          and "Name: EngineTestC\nDescription: Tells nothing\nSample: tell me new mail\n" in text
          and "EngineTestB" not in text, repr(text))
check("requests: no answer to a bounce", not answers_to(answers, "MAILER-DAEMON"))
check("requests: nothing to mail not for the assistant", not answers_to(answers, "dave@example.org"))
check("requests: mail not for the assistant and automatic mail stay unread",
      sorted(unread) == ["Vindi: Undelivered Mail Returned to Sender", "hello there"], unread)
erin = answers_to(answers, "erin@example.org")
check("requests: final pass after a tentative take", [str(a["Subject"]) for a in erin] == ["Done: send me new mail"],
      [str(a["Subject"]) for a in erin])
check("requests: a whole-mail take needs no automatic reply", not answers_to(answers, "fred@example.org"))
check("requests: nothing else", len(answers) == 4, [(to_of(a), str(a["Subject"])) for a in answers])

# 2. Short-reply senders (the name in the body is enough; help comes as one
# short mail per active plug-in), forward rules, an empty body, no sender.
nobody = mail("x@example.org", "Vindi nobody", "zork")
del nobody["From"]
ok, answers, unread = run_case("ShortRepliesForwardsAndOddMail", [
    mail("pager@sms.example", "note", "Vindi: zork qqq"),
    mail("other@example.org", "note", "Vindi: zork qqq"),
    mail("pager2@sms.example", "Vindi help", ""),
    mail("phone@carrier.example", "Vindi x", "zork"),
    mail("ivy@example.org", "Vindi empty", None),
    nobody,
])
check("short: engine test", ok)
check("short: name in the body of a short-reply sender",
      [str(a["Subject"]) for a in answers_to(answers, "pager@sms.example")] == [AUTO_SUBJECT],
      [(to_of(a), str(a["Subject"])) for a in answers])
check("short: name in the body of another sender is not enough", not answers_to(answers, "other@example.org"))
short_help = sorted((str(a["Subject"]), body_of(a).strip()) for a in answers_to(answers, "pager2@sms.example"))
check("short: help as one short mail per active plug-in",
      short_help == [("Sends test mail", "send me new mail"), ("Tells nothing", "tell me new mail")], short_help)
check("short: forward rule without regard to case",
      [str(a["Subject"]) for a in answers_to(answers, "desk@office.example")] == [AUTO_SUBJECT]
      and not answers_to(answers, "phone@carrier.example"), [(to_of(a), str(a["Subject"])) for a in answers])
check("short: nothing else", len(answers) == 4, [(to_of(a), str(a["Subject"])) for a in answers])

# 3. Automatic mail is never answered, not even a request in it (no name:
# every mail is processed): machine senders, responders' subjects and senders,
# and the header fields that the mail provider turns into the message type.
ok, answers, unread = run_case("AutoReplyLoopGuard", [
    mail("Other Assistant <assistant2@example.org>", AUTO_SUBJECT, AUTO_TEXT),
    mail("postmaster@example.net", "Delivery report", "zork"),
    mail("no-reply@shop.example", "Your order", "send me new mail"),
    mail("gina@example.org", "anything", "zork qqq"),
    mail("ann@example.org", "Out of Office: back on Monday", "send me new mail"),
    mail("ann@example.org", "Automatic reply: lunch", "send me new mail"),
    mail("vacation@example.org", "Re: lunch", "send me new mail"),
    mail("ann@example.org", "Re: lunch", "send me new mail", Auto_Submitted="auto-replied"),
    mail("ann@example.org", "Re: lunch", "send me new mail", Precedence="bulk"),
    mail("ann@example.org", "Re: lunch", "send me new mail", Precedence="list"),
    mail("ann@example.org", "Re: lunch", "send me new mail", X_Autoreply="yes"),
    mail("ann@example.org", "Re: lunch", "send me new mail", X_Autorespond="yes"),
])
check("loop guard: engine test", ok)
check("loop guard: only the person gets the automatic reply",
      [(to_of(a), str(a["Subject"])) for a in answers] == [("gina@example.org", AUTO_SUBJECT)]
      or [str(a["Subject"]) for a in answers_to(answers, "gina@example.org")] == [AUTO_SUBJECT] and len(answers) == 1,
      [(to_of(a), str(a["Subject"])) for a in answers])

# 4. A non-empty accepted-sender list is in force without any ".kvn" document;
# an accepted address written as the display name lets nobody in.
ok, answers, unread = run_case("AcceptedSenders", [
    mail("boss@example.org", "Vindi please", "zork qqq"),
    mail("mallory@example.org", "Vindi please", "send me new mail"),
    mail('"boss@example.org" <stranger@elsewhere.example>', "Vindi please", "send me new mail"),
])
check("accepted: engine test", ok)
check("accepted: a spoofed display name gets nothing", not answers_to(answers, "stranger@elsewhere.example"),
      [(to_of(a), str(a["Subject"])) for a in answers])
check("accepted: only the accepted sender is answered",
      [(str(a["Subject"])) for a in answers_to(answers, "boss@example.org")] == [AUTO_SUBJECT] and len(answers) == 1,
      [(to_of(a), str(a["Subject"])) for a in answers])

# 5. An action that throws on the whole mail leaves the engine free.
ok, answers, unread = run_case("ThrowingStepClearsTheBusyFlag", [
    mail("hank@example.org", "Vindi [throw]", "send me new mail"),
])
check("throwing step: engine test", ok)
check("throwing step: the road was left, nothing sent", not answers, len(answers))

# 6. A request refused, failed or without a usable sender is handled for good:
# read, unanswered, and never carried out by a later run on other settings.
# The sender is the From address: Sender, Reply-To and Return-Path make no
# mail anybody's.
no_from = mail("x@example.org", "Vindi no sender", "send me new mail", Reply_To="boss@example.org")
del no_from["From"]
empty_from = mail("x@example.org", "Vindi empty sender", "send me new mail", Reply_To="boss@example.org",
                  Return_Path="<boss@example.org>")
empty_from.replace_header("From", "<>")
ok, answers, unread = run_case("RefusedRequestsStayHandled", [
    mail("stranger@elsewhere.example", "Vindi please", "send me new mail"),
    mail("Stranger <stranger@elsewhere.example>", "Vindi relayed", "send me new mail", Sender="boss@example.org",
         Reply_To="boss@example.org"),
    no_from,
    empty_from,
    mail("boss@example.org", "Vindi [throw]", "send me new mail"),
])
check("refused: engine test", ok)
check("refused: nobody is answered", not answers, [(to_of(a), str(a["Subject"])) for a in answers])
check("refused: every request is marked read", not unread, unread)

# 7. The whole-mail rows (alerts) see every mail, whoever sent it and however
# it was sent, while only accepted senders command the assistant; the
# assistant's own answers coming back are shown to no row.
ok, answers, unread = run_case("AlertsSeeEveryMail", [
    mail("John <john@example.com>", "Hello", "Just saying hello."),
    mail("ann@example.org", "Weekly digest", "news", Precedence="list"),
    mail("Vindi <vindi@localhost>", "FW: Hello", "From: John\n------\nJust saying hello.",
         Auto_Submitted="auto-replied"),
    mail("MAILER-DAEMON@mx.example.org", "Vindi: Undelivered Mail Returned to Sender", "zork"),
    mail("mallory@example.org", "Vindi please", "send me new mail"),
])
check("alerts: engine test", ok)
check("alerts: nobody is answered", not answers, [(to_of(a), str(a["Subject"])) for a in answers])
check("alerts: mail that is no request stays unread",
      sorted(unread) == ["FW: Hello", "Hello", "Vindi: Undelivered Mail Returned to Sender", "Weekly digest"],
      unread)

# 8. Requests waiting behind a forward of new mail are not the user's new
# mail: the forward leaves them out, and each is still answered.
ok, answers, unread = run_case("ForwardLeavesPendingRequests", [
    mail("boss@example.org", "Vindi [forward-new]", "Send me my new mail."),
    mail("friend@example.org", "Lunch", "Noon?"),
] + [mail("user%d@example.org" % k, "Vindi request %d" % k, "send me new mail") for k in range(10)])
check("forward: engine test", ok)
for k in range(10):
    got = [str(a["Subject"]) for a in answers_to(answers, "user%d@example.org" % k)]
    check("forward: request %d answered once" % k, got == ["Done: send me new mail"], got)
check("forward: everything read", not unread, unread)

# 9. Requests taken (marked read) by a run that ended before it carried them
# out are carried out by the next run.
ok, answers, unread = run_case("TakenRequestsSurviveTheRun", [
    mail("boss@example.org", "Vindi [forward-new]", "Send me my new mail.")] + [
    mail("user%d@example.org" % k, "Vindi request %d" % k, "send me new mail") for k in range(3)])
check("taken: engine test", ok)
for k in range(3):
    got = [str(a["Subject"]) for a in answers_to(answers, "user%d@example.org" % k)]
    check("taken: request %d answered once" % k, got == ["Done: send me new mail"], got)
check("taken: everything read", not unread, unread)

for f in failures:
    print("FAILED:", f)
print("%d passed, %d failed" % (passed, len(failures)))
sys.exit(1 if failures else 0)
