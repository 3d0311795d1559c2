#!/usr/bin/env python3
"""Check the format of the program's string tables.

Format: UTF-8 text, one entry per line: a decimal id, one TAB, then the text.
Inside the text \\n is a line feed, \\r a carriage return, \\t a tab and \\\\ a
backslash; no other escape exists and a raw TAB or carriage return may not
appear in the text. Empty lines and lines starting with '#' are comments.
Entries are sorted by id, ascending, and no id is given twice.

Usage: check_strings.py [FILE ...]
Without arguments the tables next to this script are checked. Exit status 0
when every file is well formed, 1 otherwise (each fault names file and line).
"""

import os
import sys

ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}


class TableError(Exception):
    pass


def unescape(raw, where):
    out = []
    i = 0
    while i < len(raw):
        c = raw[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        if i + 1 >= len(raw):
            raise TableError("%s: lone backslash at the end of the text" % where)
        e = raw[i + 1]
        if e not in ESCAPES:
            raise TableError("%s: unknown escape \\%s" % (where, e))
        out.append(ESCAPES[e])
        i += 2
    return "".join(out)


def parse(data, name):
    """Return a dict id -> text; raise TableError naming the first faulty line."""
    try:
        content = data.decode("utf-8")
    except UnicodeDecodeError as exc:
        line = data[: exc.start].count(b"\n") + 1
        raise TableError("%s line %d: not valid UTF-8" % (name, line))
    table = {}
    last_id = None
    lines = content.split("\n")
    if lines and lines[-1] == "":
        lines.pop()  # the newline that ends the last line
    for number, line in enumerate(lines, start=1):
        where = "%s line %d" % (name, number)
        if line == "" or line.startswith("#"):
            continue
        id_text, tab, raw = line.partition("\t")
        if not tab or not id_text.isdigit() or not id_text.isascii():
            raise TableError("%s: expected a decimal id, a tab and the text" % where)
        if "\t" in raw or "\r" in raw:
            raise TableError("%s: raw tab or carriage return in the text (write \\t or \\r)" % where)
        ident = int(id_text)
        if ident in table:
            raise TableError("%s: id %d given twice" % (where, ident))
        if last_id is not None and ident < last_id:
            raise TableError("%s: id %d out of order (after %d)" % (where, ident, last_id))
        table[ident] = unescape(raw, where)
        last_id = ident
    return table


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    files = argv[1:] or [os.path.join(here, "strings.txt"), os.path.join(here, "grevlon_strings.txt")]
    failed = False
    for path in files:
        name = os.path.basename(path)
        try:
            with open(path, "rb") as f:
                table = parse(f.read(), name)
        except OSError as exc:
            print("%s: cannot read: %s" % (name, exc.strerror), file=sys.stderr)
            failed = True
            continue
        except TableError as exc:
            print(str(exc), file=sys.stderr)
            failed = True
            continue
        ids = sorted(table)
        span = "%d..%d" % (ids[0], ids[-1]) if ids else "empty"
        print("%s: %d entries, ids %s" % (name, len(table), span))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
