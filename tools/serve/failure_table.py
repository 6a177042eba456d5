#!/usr/bin/env python3
"""Writes the service's table of failures from the reference's table of detail codes, so that
the two never disagree: each code the library leaves, its cause and what the application does
next, as C++ initialisers."""
import re
import sys


def plain(cell):
    cell = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", cell)  # a link keeps its text
    return cell.replace("`", "").strip()


def main(reference, output):
    with open(reference, encoding="utf-8") as f:
        text = f.read()
    start = text.index("| Code | Detail text")
    rows = []
    for line in text[start:].splitlines()[2:]:
        if not line.startswith("|"):
            break
        cells = [c.strip() for c in line.strip().strip("|").split(" | ")]
        if len(cells) != 5 or cells[3] == "—":
            continue
        code, cause, next_step = int(cells[0]), plain(cells[3]), plain(cells[4])
        rows.append("{%d, %s, %s}," % (code, c_string(cause), c_string(next_step)))
    with open(output, "w", encoding="utf-8") as f:
        f.write("// Written by failure_table.py from docs/reference.md.\n")
        f.write("\n".join(rows) + "\n")


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
