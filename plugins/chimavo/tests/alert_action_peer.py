#!/usr/bin/python3
"""Chimavo under Wine, driven as the host drives it: alerts set and stopped by
mail requests, then incoming mail checked against them; every answer and
forward is received by a real SMTP server and read back with Python's email
package."""
import os
import sys

sys.path.insert(0, os.path.join(os.environ["VX_SOURCE_ROOT"], "plugins", "tests"))
from action_peer import check, finish, run_steps, trust_table  # noqa: E402

JANE = "jane@example.org"
steps = [
    ("request", JANE, "Jane", 'Alert me when new email arrives from "John".'),                   # 1
    ("request", JANE, "Jane", 'Tell me about messages containing "numbers".'),                   # 2
    # Matches both alerts: forwarded once.
    ("mail", "john@example.com", "John Smith", "Quarterly numbers", "The numbers are in."),     # 3
    ("mail", "bob@example.com", "Bob", "Lunch", "Noon at the usual place?"),                    # 4
    # The forward coming back to the mail box: never alerted on (no loop).
    ("mail", "vindi@localhost", "Vindi", "FW: Quarterly numbers",
     "From: John Smith (john@example.com)\n------\nThe numbers are in."),                      # 5
    # A request to the assistant is no alert, even from a watched sender.
    ("mail", "john@example.com", "John Smith", "Vindi, a request", "Send me my new messages."),  # 6
    ("request", JANE, "Jane", 'Stop alerting me about messages from "John".'),                  # 7
    ("mail", "john@example.com", "John Smith", "Hello", "Just saying hello."),                  # 8
    # Neither a sender nor a text: answered, but nothing is stored, so no
    # mail is forwarded (an alert on everything would forward all of it).
    ("request", JANE, "Jane", "Alert me to all new mail."),                                      # 9
    ("mail", "bob@example.com", "Bob", "Lunch", "Noon at the usual place?"),                    # 10
    ("request", JANE, "Jane", "Please forward me my new messages."),                             # 11
    ("mail", "bob@example.com", "Bob", "Weekend", "Any plans?"),                                 # 12
    # A stop without criteria ends all alerts, the one on "numbers" too.
    ("request", JANE, "Jane", "Stop sending me alerts."),                                        # 13
    ("mail", "bob@example.com", "Bob", "Numbers", "More numbers."),                              # 14
    # The dictionary test's way: only the first test sentence has a reading.
    ("tests", "-", "-", "-"),                                                                   # 15
]
results, got, tests = run_steps("Chimavo", steps, accepted=JANE)
print("results:", results)
print("mail:", [(g["subject"], g["rcpts"]) for g in got])
expected = {1: 1, 2: 1, 3: 1, 4: 0, 5: 0, 6: 0, 7: 1, 8: 0, 9: 1, 10: 0, 11: 1, 12: 0, 13: 1, 14: 0, 15: 1}
check(results == expected, "step results %r, wanted %r" % (results, expected))
check(tests.get(1) == 1, "the first test sentence's reading: %r" % tests)

answers = [g for g in got if g["subject"] == "Alert request..."]
check([a["rcpts"] for a in answers] == [[JANE]] * 6, "answers go to the requester: %r" % answers)
texts = [a["text"].strip() for a in answers]
check(texts == ["You asked me to alert you to all messages from 'john'.",
                "You asked me to alert you to all messages containing 'numbers'.",
                "I will no longer alert you to messages from 'john'.",
                "You asked me to alert you to all incoming messages.",
                "You asked me to alert you to all incoming messages.",
                "I will no longer alert you to new email."], "answer texts %r" % texts)
forwards = [g for g in got if g["subject"].startswith("FW: ")]
check([(f["subject"], f["rcpts"]) for f in forwards] == [("FW: Quarterly numbers", [JANE])],
      "forwards %r" % [(f["subject"], f["rcpts"]) for f in forwards])
if forwards:
    check(forwards[0]["text"].startswith("From: John Smith (john@example.com)\n------\nThe numbers are in."),
          "forward text %r" % forwards[0]["text"])
check(len(got) == len(answers) + len(forwards), "nothing else went out: %r" % [g["subject"] for g in got])

# By mail, only whom the list trusts sets an alert: John's next mail is
# forwarded after a served request and not after a refused one.
john = [("mail", "john@example.com", "John Smith", "Quarterly numbers", "The numbers are in.")]
for served, after, other in trust_table("Chimavo", 'Alert me when new email arrives from "John".',
                                        "Alert request...",
                                        lambda mail: "You asked me to alert you" in mail["text"], after=john):
    check(after == [1 if served else 0] and len(other) == (1 if served else 0),
          "the alert %s: %r %r" % ("set" if served else "not set", after, [(g["subject"], g["rcpts"]) for g in other]))
finish("chimavo alerts")
