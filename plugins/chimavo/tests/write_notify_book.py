"""Writes an address book export file as the mail program's export does
(comma-delimited, a header row of column names, CRLF line ends) through
Python's csv module: the people an alert may be sent to."""
import csv
import sys

HEADER = ["Name", "E-mail Address", "Business Phone", "Company"]
ROWS = [
    ["Dana Scully", "dana@fbi.example", "555-0110", "FBI"],
    ["Fox Mulder", "fox@fbi.example", "555-0120", "FBI"],
]

with open(sys.argv[1], "w", newline="") as f:
    w = csv.writer(f)
    w.writerow(HEADER)
    w.writerows(ROWS)
