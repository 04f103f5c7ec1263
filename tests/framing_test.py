#!/usr/bin/env python3
"""gzip and zlib framing read the same by the program and by the page.

Usage: framing_test.py PROGRAM_READER PAGE_READER [FOLDER...]

The readers are tests/read_fonts.cpp built with each one's inflate. Every
hand-made case below must come out as its row says, and every file, the
cases and those in the folders (the font fuzzer's seeds and corpus), must
come out the same from both.
"""
import gzip
import os
import struct
import subprocess
import sys
import tempfile
import zlib

FONT = bytes((0x18 if row % 2 else 0x24) for row in range(2048))
DAMAGED = "is compressed, but could not be decompressed."
TRAILING = "is compressed, but other bytes follow its compressed data."
PNG_DAMAGED = "is a PNG image whose data is damaged."


def deflate(data, level=9, strategy=zlib.Z_DEFAULT_STRATEGY):
    packer = zlib.compressobj(level, zlib.DEFLATED, -15, 8, strategy)
    return packer.compress(data) + packer.flush()


def member(data=FONT, flags=0, extra=b"", header_crc=None, crc=None,
           size=None, raw=None):
    header = b"\x1f\x8b\x08" + bytes([flags]) + b"\0\0\0\0\0\xff"
    if flags & 0x04:
        header += struct.pack("<H", len(extra)) + extra
    if flags & 0x08:
        header += b"name.fnt\0"
    if flags & 0x10:
        header += b"a comment\0"
    if flags & 0x02:
        good = zlib.crc32(header) & 0xFFFF
        header += struct.pack("<H", good if header_crc is None else header_crc)
    body = deflate(data) if raw is None else raw
    return header + body + struct.pack(
        "<II", zlib.crc32(data) if crc is None else crc,
        len(data) if size is None else size)


def zlib_stream(data, method=0x78, flags=None, adler=None, raw=None):
    if flags is None:
        flags = (31 - (method << 8) % 31) % 31
    body = deflate(data) if raw is None else raw
    return bytes([method, flags]) + body + struct.pack(
        ">I", zlib.adler32(data) if adler is None else adler)


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(
        ">I", zlib.crc32(kind + data))


def sheet_rows():
    rows = b""
    for y in range(128):
        row = bytearray([0])
        for x in range(128):
            glyph = (y // 8) * 16 + x // 8
            ink = FONT[glyph * 8 + y % 8] >> (7 - x % 8) & 1
            row.append(0 if ink else 255)
        rows += row
    return rows


def png(streams):
    header = struct.pack(">IIBBBBB", 128, 128, 8, 0, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            b"".join(chunk(b"IDAT", s) for s in streams) + chunk(b"IEND", b""))


ROWS = sheet_rows()
STREAM = zlib_stream(ROWS)
ONE = member()
# name, bytes, what comes of them: None for the font, or the problem.
CASES = [
    ("plain.fnt.gz", ONE, None),
    ("every-field.fnt.gz", member(flags=0x1E, extra=b"AB\2\0xy"), None),
    ("header-crc-wrong.fnt.gz", member(flags=0x02, header_crc=0x1234), DAMAGED),
    ("reserved-flag.fnt.gz", member(flags=0x20), DAMAGED),
    ("text-flag.fnt.gz", member(flags=0x01), None),
    ("two-members.fnt.gz", member(FONT[:1000]) + member(FONT[1000:]), None),
    ("empty-member-first.fnt.gz", member(b"") + ONE, None),
    ("trailing-bytes.fnt.gz", ONE + b"junk", TRAILING),
    ("trailing-zeros.fnt.gz", ONE + bytes(8), TRAILING),
    ("stored-blocks.fnt.gz", member(raw=deflate(FONT, 0)), None),
    ("fixed-blocks.fnt.gz", member(raw=deflate(FONT, 9, zlib.Z_FIXED)), None),
    ("crc-wrong.fnt.gz", member(crc=1), DAMAGED),
    ("size-wrong.fnt.gz", member(size=2047), DAMAGED),
    ("trailer-cut.fnt.gz", ONE[:-3], DAMAGED),
    ("data-cut.fnt.gz", ONE[:30], DAMAGED),
    ("header-cut.fnt.gz", ONE[:9], DAMAGED),
    ("sheet.png", png([STREAM]), None),
    ("sheet-two-chunks.png", png([STREAM[:100], STREAM[100:]]), None),
    ("sheet-stored.png", png([zlib_stream(ROWS, raw=deflate(ROWS, 0))]), None),
    ("sheet-fixed.png",
     png([zlib_stream(ROWS, raw=deflate(ROWS, 9, zlib.Z_FIXED))]), None),
    ("sheet-small-window.png", png([zlib_stream(ROWS, method=0x08)]), None),
    ("sheet-window-cinfo-8.png", png([zlib_stream(ROWS, method=0x88)]),
     PNG_DAMAGED),
    ("sheet-preset-dictionary.png",
     png([zlib_stream(ROWS, flags=0x20 + (31 - (0x7820 % 31)) % 31)]),
     PNG_DAMAGED),
    ("sheet-check-bits-wrong.png", png([zlib_stream(ROWS, flags=0x9D)]),
     PNG_DAMAGED),
    ("sheet-method-7.png", png([zlib_stream(ROWS, method=0x77, flags=None)]),
     PNG_DAMAGED),
    ("sheet-adler-wrong.png", png([zlib_stream(ROWS, adler=1)]), PNG_DAMAGED),
    ("sheet-adler-cut.png", png([STREAM[:-2]]), PNG_DAMAGED),
]


def outcomes(reader, paths):
    lines = subprocess.run([reader] + paths, check=True, capture_output=True,
                           text=True).stdout.splitlines()
    return [line.split(" ", 2) for line in lines]


def main():
    program, page, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    failed = 0
    with tempfile.TemporaryDirectory() as folder:
        expected = {}
        for name, data, problem in CASES:
            path = os.path.join(folder, name)
            with open(path, "wb") as out:
                out.write(data)
            expected[path] = FONT.hex() if problem is None else problem
        paths = sorted(expected)
        for other in folders:
            paths += sorted(os.path.join(other, name)
                            for name in os.listdir(other))
        by_program = outcomes(program, paths)
        by_page = outcomes(page, paths)
        for mine, theirs in zip(by_program, by_page):
            path, code_page, outcome = mine
            wanted = expected.get(path)
            if wanted is not None and outcome != wanted:
                print(f"{path} (code page {code_page}): {outcome[:80]},"
                      f" not {wanted[:80]}")
                failed += 1
            elif theirs != mine:
                print(f"{path} (code page {code_page}): the program says"
                      f" {outcome[:80]}, the page {theirs[2][:80]}")
                failed += 1
        print(f"framing: {len(by_program) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
