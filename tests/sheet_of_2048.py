#!/usr/bin/env python3
"""Writes a raw font as a PNG font sheet of exactly 2048 bytes, the length
of a raw font: one bit a pixel, ink black, glyph 0x00 at the top left, 16
to a row, and a comment that fills the file up. Such a file is a sheet by
its content and a raw font by its length.
Usage: sheet_of_2048.py FONT.fnt SHEET.png"""
import struct
import sys
import zlib

LENGTH = 2048
KEYWORD = b"Comment\0"


def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body)))


def main():
    font = open(sys.argv[1], "rb").read()
    assert len(font) == LENGTH, "a raw font is 2048 bytes"
    lines = b""
    for y in range(128):
        codes = range((y // 8) * 16, (y // 8) * 16 + 16)
        # A set bit is white, background; the font's ink is black.
        lines += b"\0" + bytes(font[code * 8 + y % 8] ^ 0xFF for code in codes)
    head = (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", 128, 128, 1, 0, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(lines, 9)))
    end = chunk(b"IEND", b"")
    room = LENGTH - len(head) - len(end) - len(chunk(b"tEXt", KEYWORD))
    assert room >= 0, "the sheet does not fit in 2048 bytes"
    sheet = head + chunk(b"tEXt", KEYWORD + b" " * room) + end
    assert len(sheet) == LENGTH
    open(sys.argv[2], "wb").write(sheet)


main()
