#!/usr/bin/python3
"""Tulavo under Wine, driven as the host drives it: address lookups answered
from the address book's export file (written by Python's csv module in the
export's format into the program's folder), a "to <name>" recipient resolved
through the same file; every answer is received by a real SMTP server and
read back with Python's email package."""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.environ["VX_SOURCE_ROOT"], "plugins", "tests"))
from action_peer import BUILD, check, finish, run_steps, trust_table, winpath  # noqa: E402

here = os.path.dirname(os.path.abspath(__file__))
install = tempfile.mkdtemp(prefix="tulavo-install-", dir=os.path.join(BUILD, "wine"))
try:
    subprocess.run([sys.executable, os.path.join(here, "write_lookup_book.py"),
                    os.path.join(install, "OutlookExpressExport.CDF")], check=True, timeout=120)
    JANE = "jane@example.org"
    steps = [
        ("request", JANE, "Jane", 'What is "Fox"\'s pager number?'),                      # 1
        ("request", JANE, "Jane", 'Please send the phone number for "Fox" to "Dana".'),  # 2
        ("request", JANE, "Jane", 'What is the phone number for "Krycek"?'),              # 3
        # No name: the whole address book must not go out.
        ("request", JANE, "Jane", "Send the phone number to me."),                         # 4
        ("request", JANE, "Jane", 'Please send the office phone number for "Fox Mulder"'),  # 5
        # Every test sentence gives its test reading; nothing is sent for them.
        ("tests", "-", "-", "-"),                                                           # 6
    ]
    results, got, tests = run_steps("Tulavo", steps, install_dir=winpath(install), accepted=JANE)
    # By mail, the owner's address book goes only to whom the list trusts.
    trust_table("Tulavo", 'What is "Fox"\'s pager number?', "Address Book Lookup.",
                lambda mail: "555-0123" in mail["text"], install_dir=winpath(install))
finally:
    shutil.rmtree(install, ignore_errors=True)
print("results:", results)
print("mail:", [(g["subject"], g["rcpts"], g["text"]) for g in got])
check(all(results.get(n) == r for n, r in {1: 1, 2: 1, 3: 1, 4: 0, 5: 1}.items()), "step results %r" % results)
check(tests and all(r == 1 for r in tests.values()), "test sentences without their reading: %r" %
      sorted(n for n, r in tests.items() if r != 1))
check(all(g["subject"] == "Address Book Lookup." for g in got), "subjects %r" % [g["subject"] for g in got])
check(len(got) == 4, "one answer per handled request: %r" % [(g["rcpts"], g["text"][:40]) for g in got])
if len(got) == 4:
    check(got[0]["rcpts"] == [JANE] and got[0]["text"].strip() == 'Pager number entries matching "Fox":\nFox Mulder - 555-0123',
          "pager answer %r" % got[0])
    # The recipient named in the request, resolved through the export file.
    check(got[1]["rcpts"] == ["dana@fbi.example"], "to Dana: %r" % got[1]["rcpts"])
    check('Phone number entries matching "Fox":' in got[1]["text"] and "Fox Mulder - 555-0121" in got[1]["text"],
          "phone answer %r" % got[1]["text"])
    check(got[2]["rcpts"] == [JANE] and got[2]["text"].startswith(
        'An entry for that name could not be found in the address book. Did you enclose the name in " " ?  (Krycek)')
        and ' : Address book entry information request for "Krycek" by : Jane(jane@example.org).' in got[2]["text"],
        "not found answer %r" % got[2]["text"])
    check(got[3]["text"].strip() == 'Business number entries matching "Fox Mulder":\nFox Mulder - 555-0120',
          "office answer %r" % got[3]["text"])
finish("tulavo lookups")
