"""Writes an address book export file the way the mail program's export does:
a header row of column names, then one contact per row, through Python's csv
module (comma-delimited, CRLF line ends, quotes around values with a comma)."""
import csv
import sys

HEADER = ["Name", "E-mail Address", "Company", "Business Phone", "Home Phone", "Home Fax", "Home Country"]
ROWS = [
    ["John Smith", "john.smith@example.org", "Acme", "555-0100", "555-0101", "555-0102", "UK"],
    ["Mary-Jo Jones", "maryjo@example.org", "", "", "", "", "Ireland"],
    ["Major Tom", "major@example.org", "Space", "", "", "", ""],
    ["Nobody Here", "", "Blank Inc", "", "", "", ""],
    ["Smith, Anna", "anna@example.org", "Quoted", "", "", "", ""],
    ["Nobody Else", "nobody.else@example.org", "", "", "", "", ""],
]

with open(sys.argv[1], "w", newline="") as f:
    w = csv.writer(f)
    w.writerow(HEADER)
    w.writerows(ROWS)
