#!/usr/bin/env python3
"""Writes the profile files of the original program used by tests/app (Windows-1250, CR LF)."""

def stored(password):
    """The original program's stored form: each code doubled modulo 256."""
    return bytes((2 * b) % 256 for b in password.encode("ascii"))

def write(name, lines):
    with open(name, "wb") as f:
        for line in lines:
            f.write((line if isinstance(line, bytes) else line.encode("cp1250")) + b"\r\n")

# A full profile with Czech texts, as saved on a Czech system.
write("original-cp1250.lus", [
    "Záloha účetnictví",         # description
    r"C:\Účetnictví",            # source directory
    "\\\\server\\zálohy\\",      # target directory
    "*.doc;*.xls",               # masks
    "3",                         # period value
    "5",                         # versions kept
    "BLOK",                      # split mode
    "1457664",                   # first part size
    "1457664",                   # next part size
    "Ne",                        # wipe disk
    "Ano",                       # recurse
    "1",                         # period kind digit: weekday
    "9:30:00",                   # start time
    "Ne",                        # run after start
    stored("Heslo 42"),          # password
    "Ano",                       # paused
    "*.tmp;~*.*",                # excluded masks
    "2",                         # backup kind
    "14",                        # age days
    "Ano",                       # self-extract
    "Ne",                        # archive bit only
    "Ano",                       # reset archive bit
    r"C:\Účetnictví\Temp",       # excluded directories
    "Ne",                        # new archive
    "účetní@firma.cz",           # mail
    "zaloha",                    # network user
    "tajné",                     # network password
])

# An older, all-ASCII profile: line 18 still holds a yes/no word, booleans in other
# letter cases, and a password whose stored bytes ("aB" -> C2 84) are valid UTF-8.
write("old-ascii.lus", [
    "Old", "/data", "/backup", "*.*", "1", "0", "ne", "0", "0",
    "ANO", "ano", " 0 ", "23:59", "NE", stored("aB"), "yes", "", "ANO", "", "Ne",
    "Ne", "Ne", "", "Ne", "", "", "",
])
