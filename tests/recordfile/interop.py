#!/usr/bin/python3
"""Other implementations' side of the storage interoperability checks.

prepare DIR: files of the agreed bytes packed by `gsf createole` into
             DIR/gsf.ole, plus broken documents made from it.
same FILE SIZE SEED: exit 0 when FILE holds the agreed bytes.
check DIR:   DIR/written.stg (written by the test program) read with olefile
             and compared with DIR/written.manifest.
Byte i of a stream with seed s is (7 i + s) mod 256.
"""
import os
import struct
import subprocess
import sys

import olefile


def pattern(size, seed):
    block = bytes((i * 7 + seed) & 0xFF for i in range(256))
    return (block * (size // 256 + 1))[:size]


def prepare(work):
    src = os.path.join(work, "in")
    files = []
    for name, size, seed in [("s0", 0, 10), ("s4095", 4095, 11), ("s4096", 4096, 12),
                             ("s4097", 4097, 13), ("s5m", 5 << 20, 14)]:
        path = os.path.join(src, name)
        with open(path, "wb") as f:
            f.write(pattern(size, seed))
        files.append(path)
    doc = os.path.join(work, "gsf.ole")
    subprocess.run(["gsf", "createole", doc] + files, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    data = bytearray(open(doc, "rb").read())

    def write(name, content):
        with open(os.path.join(work, name), "wb") as f:
            f.write(content)

    write("notole.ole", b"not a compound document\r\n" * 100)
    write("truncated.ole", data[: len(data) // 2])
    write("header-only.ole", data[:512])
    sector = 1 << struct.unpack_from("<H", data, 30)[0]
    fat = (struct.unpack_from("<I", data, 76)[0] + 1) * sector
    dir_start = struct.unpack_from("<I", data, 48)[0]
    ole = olefile.OleFileIO(doc)
    big = next(e for e in ole.direntries if e is not None and e.name == "s5m")
    loop = bytearray(data)
    struct.pack_into("<I", loop, fat + 4 * (big.isectStart + 3), big.isectStart)
    write("chain-loop.ole", loop)
    loop = bytearray(data)
    struct.pack_into("<I", loop, fat + 4 * dir_start, dir_start)
    write("directory-loop.ole", loop)
    loop = bytearray(data)
    root_child = ole.direntries[0].sid_child
    entry = (dir_start + 1) * sector + 128 * big.sid
    struct.pack_into("<I", loop, entry + 68, root_child)
    struct.pack_into("<I", loop, entry + 72, root_child)
    write("sibling-loop.ole", loop)
    small = next(e for e in ole.direntries if e is not None and e.name == "s4095")
    loop = bytearray(data)
    minifat = (struct.unpack_from("<I", data, 60)[0] + 1) * sector
    struct.pack_into("<I", loop, minifat + 4 * small.isectStart, small.isectStart)
    write("mini-chain-loop.ole", loop)
    longer = bytearray(data)
    struct.pack_into("<I", longer, (dir_start + 1) * sector + 128 * big.sid + 120, (5 << 20) + 65536)
    write("stream-beyond-chain.ole", longer)
    fat_count = bytearray(data)
    struct.pack_into("<I", fat_count, 44, 0x100000)
    write("fat-count.ole", fat_count)
    ole.close()


def check(work):
    failures = []

    def fail(case, message):
        failures.append(f"case {case}: {message}")

    doc = os.path.join(work, "written.stg")
    if not os.path.exists(doc):
        print("interop: no written.stg (did the program run?)")
        return 1
    ole = olefile.OleFileIO(doc)
    want_streams, want_storages = {}, {"."}
    classes, bits = {}, {}
    for line in open(os.path.join(work, "written.manifest"), encoding="utf-8"):
        words = line.rstrip("\n").split(" ")
        kind = words[0]
        if kind == "stream":
            want_streams[" ".join(words[1:-2])] = (int(words[-2]), int(words[-1]))
        elif kind == "storage":
            want_storages.add(" ".join(words[1:]))
        elif kind == "class":
            classes[" ".join(words[1:-1])] = words[-1]
        elif kind == "statebits":
            bits[" ".join(words[1:-1])] = int(words[-1])
    got_streams = {"/".join(p) for p in ole.listdir(streams=True, storages=False)}
    got_storages = {"/".join(p) for p in ole.listdir(streams=False, storages=True)} | {"."}
    for missing in set(want_streams) - got_streams:
        fail(missing, "stream missing")
    for extra in got_streams - set(want_streams):
        fail(extra, "unexpected stream")
    for missing in want_storages - got_storages:
        fail(missing, "storage missing")
    for extra in got_storages - want_storages:
        fail(extra, "unexpected storage")
    for path, (size, seed) in want_streams.items():
        if path not in got_streams:
            continue
        if ole.get_size(path) != size:
            fail(path, f"size {ole.get_size(path)}, want {size}")
        elif ole.openstream(path).read() != pattern(size, seed):
            fail(path, "bytes differ")
    for path, clsid in classes.items():
        got = ole.root.clsid if path == "." else ole.getclsid(path)
        if got.upper() != clsid.upper():
            fail(path, f"class id {got}, want {clsid}")
    for path, value in bits.items():
        got = ole.direntries[ole._find(path)].dwUserFlags
        if got != value:
            fail(path, f"state bits {got}, want {value}")
    ole.close()
    for f in failures:
        print("interop:", f)
    print(f"interop: {len(want_streams)} streams, {len(want_storages) - 1} storages checked, "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    if sys.argv[1] == "prepare":
        prepare(sys.argv[2])
    elif sys.argv[1] == "same":
        sys.exit(0 if open(sys.argv[2], "rb").read() == pattern(int(sys.argv[3]), int(sys.argv[4])) else 1)
    else:
        sys.exit(check(sys.argv[2]))
