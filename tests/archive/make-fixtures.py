#!/usr/bin/env python3
"""Writes the source tree and archives of it made by other zip tools."""
import os
import random
import subprocess
import sys
import zipfile

tree, fixtures = sys.argv[1], sys.argv[2]
rnd = random.Random(15)
files = {
    "readme.txt": b"".join(b"line %d of the readme\r\n" % i for i in range(2000)),
    "random.bin": bytes(rnd.getrandbits(8) for _ in range(300000)),
    "empty.dat": b"",
    "noext": b"no extension\n",
    "with blank.txt": b"blank in the name\n",
    "\u65e5\u672c\u8a9e.txt": "double-byte name\n".encode(),
    "sub/nested.txt": b"nested\n" * 500,
    "sub/deeper/deep.bin": bytes(range(256)) * 64,
}
for name, data in files.items():
    path = os.path.join(tree, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
os.makedirs(os.path.join(tree, "emptydir"), exist_ok=True)
top = sorted(os.listdir(tree))

for level in ("0", "1", "5", "9"):
    subprocess.run(["zip", "-q", "-r", "-" + level, os.path.join(fixtures, "zip-%s.zip" % level)] + top,
                   cwd=tree, check=True)
with zipfile.ZipFile(os.path.join(fixtures, "python.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for root, dirs, names in os.walk(tree):
        for d in dirs:
            z.write(os.path.join(root, d), os.path.relpath(os.path.join(root, d), tree))
        for n in names:
            full = os.path.join(root, n)
            rel = os.path.relpath(full, tree)
            if rel == "random.bin":  # one entry with Zip64 sizes in its local header
                with open(full, "rb") as f, z.open(rel, "w", force_zip64=True) as out:
                    out.write(f.read())
            else:
                z.write(full, rel)
subprocess.run(["gsf", "createzip", os.path.join(fixtures, "gsf.zip")] + top, cwd=tree, check=True,
               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
