"""Writes an address book export file as the mail program's export does
(comma-delimited, a header row of column names, CRLF line ends) through
Python's csv module: the people the address lookups ask about."""
import csv
import sys

HEADER = ["Name", "E-mail Address", "Business Phone", "Home Phone", "Mobile Phone", "Pager", "Home Fax",
          "Company", "Job Title", "Department", "Business Street", "Business City", "Business State",
          "Business Postal Code", "Business Country"]
ROWS = [
    ["Dana Scully", "dana@fbi.example", "555-0110", "555-0111", "555-0112", "555-0113", "555-0114",
     "FBI", "Agent", "X-Files", "935 Pennsylvania Ave", "Washington", "DC", "20535", "USA"],
    ["Fox Mulder", "fox@fbi.example", "555-0120", "555-0121", "555-0122", "555-0123", "555-0124",
     "FBI", "Agent", "X-Files", "935 Pennsylvania Ave", "Washington", "DC", "20535", "USA"],
    ["Walter Skinner", "walter@fbi.example", "555-0130", "", "", "", "", "FBI", "Director", "", "", "", "", "", ""],
    ["Danaher Quinn", "quinn@example.org", "555-0140", "", "", "", "", "", "", "", "", "", "", "", ""],
]

with open(sys.argv[1], "w", newline="") as f:
    w = csv.writer(f)
    w.writerow(HEADER)
    w.writerows(ROWS)
