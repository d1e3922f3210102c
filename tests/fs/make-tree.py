#!/usr/bin/env python3
"""Writes the walk test tree: 1000 directories (50 chains nested 20 deep),
20 files in each (20,000 files), names with blanks and Japanese names,
sizes that vary with the position.  Hidden and system bits are set by the
test program itself.  Usage: make-tree.py ROOT"""
import os
import sys

CHAINS, DEPTH, FILES = 50, 20, 20


def file_name(i):
    if i % 5 == 0:
        return "report %02d.txt" % i
    if i % 7 == 0:
        return "\u8868\u80fd%02d.dat" % i  # double-byte names whose trail bytes are 0x5C
    if i % 9 == 0:
        return "Long Document Name Number %02d.document" % i
    return "f%02d.bin" % i


def main(root):
    for c in range(CHAINS):
        d = root
        for level in range(DEPTH):
            name = "chain %02d" % c if level == 0 else ("\u30c7%02d" % level if level % 6 == 0 else "lv%02d" % level)
            d = os.path.join(d, name)
            os.mkdir(d)
            for i in range(FILES):
                size = (c * 131 + level * 17 + i * 7) % 700
                with open(os.path.join(d, file_name(i)), "wb") as f:
                    f.write(b"x" * size)


if __name__ == "__main__":
    main(sys.argv[1])
