#!/usr/bin/env python3
"""What zyr2font --check --all should print, worked out apart from it.

Usage: check_reference.py FONT CODE_PAGE PLACED TEXT...

FONT is a console font (.psf or .psf.gz) or a kbd code-page file (.cp),
decoded here: with PLACED=yes a PSF's glyphs go to the codes of the code
page by its own Unicode table, else every glyph keeps its code. The texts
are decoded by Python's UTF-8 codec and their characters taken to codes by
Python's code-page codecs. Prints the report, or the sentence that refuses
a text that is not UTF-8.
"""
import gzip
import re
import struct
import sys
import unicodedata

# The program's code pages, in the order it prefers them among equals: by
# the languages they are made for, the DOS ones before the Windows one.
KNOWN = [437, 850, 860, 861, 863, 865, 1252, 866, 855, 1251, 852, 1250,
         737, 869, 1253, 857, 1254, 775, 1257, 862, 1255, 864, 1256, 1258]
LISTED = 20


def psf_font(path, code_page, placed):
    data = open(path, "rb").read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    assert data[:2] == b"\x36\x04" and data[3] == 8, "an 8x8 PSF 1 font"
    count = 512 if data[2] & 1 else 256
    glyphs = [data[4 + i * 8:12 + i * 8] for i in range(count)]
    if not placed:
        return b"".join(glyphs[:256])
    assert data[2] & 2, "a Unicode table"
    glyph_of = {}
    at = 4 + count * 8
    for glyph in range(count):
        sequence = False
        while True:
            value = int.from_bytes(data[at:at + 2], "little")
            at += 2
            if value == 0xFFFF:
                break
            sequence = sequence or value == 0xFFFE
            if not sequence:
                glyph_of.setdefault(value, glyph)
    font = bytearray(2048)
    for code in range(0x20, 256):
        try:
            character = ord(bytes([code]).decode("cp%d" % code_page))
        except UnicodeDecodeError:
            continue
        if character in glyph_of:
            font[code * 8:code * 8 + 8] = glyphs[glyph_of[character]]
    return bytes(font)


# kbd's code-page files: a code-page entry of 28 bytes and its 6-byte
# header, then fonts of 8x16, 8x14 and 8x8, each a 6-byte header (height,
# width, aspect, count) and its glyphs.
def cp_font(path):
    data = open(path, "rb").read()
    at = 34
    for _ in range(struct.unpack_from("<H", data, 30)[0]):
        height, width, _, _, count = struct.unpack_from("<BBBBH", data, at)
        if (height, width) == (8, 8):
            return data[at + 6:at + 6 + 2048]
        at += 6 + count * height
    raise SystemExit(path + " holds no 8x8 font")


def code_of(character, code_page):
    try:
        return character.encode("cp%d" % code_page)[0]
    except UnicodeEncodeError:
        return None


def is_control(character):
    return ord(character) < 0x20 or 0x7F <= ord(character) < 0xA0


def grouped(number):
    return "{:,}".format(number)


def counted(number, thing):
    return grouped(number) + " " + thing + ("" if number == 1 else "s")


# A character as the report shows it after its number: a space (but the
# ogham space mark, which has ink) not at all, a combining mark on a dotted
# circle.
def shown(character):
    category = unicodedata.category(character)
    if category == "Zs" and character != "\u1680":
        return ""
    if category.startswith("M"):
        return " \u25cc" + character
    return " " + character


def listing(uses, with_code, code_page):
    width = len(grouped(uses[0][1]))
    lines = []
    for character, count, place in uses:
        at = ("at code 0x%02X, " % code_of(character, code_page)
              if with_code else "")
        lines.append("  %s  U+%04X%s  %sfirst at %s:%d:%d\n" % (
            grouped(count).rjust(width), ord(character), shown(character), at,
            *place))
    return "".join(lines)


def report(font, code_page, names):
    counts = {}
    first = {}
    for name in names:
        raw = open(name, "rb").read()
        # A text file holds no NUL, though UTF-8 may.
        stop = raw.find(b"\0") if b"\0" in raw else len(raw)
        try:
            text = raw.decode("utf-8")
        except UnicodeDecodeError as error:
            stop = min(stop, error.start)
        if stop < len(raw):
            lines = re.split("\r\n|\r|\n", raw[:stop].decode())
            utf16 = raw[stop] == 0 or (stop == 0 and raw[0] in b"\xfe\xff")
            return ("%s is not UTF-8 text: it stops being so in line %d, at "
                    "byte %d of that line (0x%02X).\n%s" % (
                        name, len(lines), len(lines[-1].encode()) + 1,
                        raw[stop], "It may be UTF-16 text: save it as UTF-8.\n"
                        if utf16 else ""))
        text = text[1:] if text.startswith("\ufeff") else text
        for number, line in enumerate(re.split("\r\n|\r|\n", text), 1):
            for column, character in enumerate(line, 1):
                if is_control(character):
                    continue
                counts[character] = counts.get(character, 0) + 1
                first.setdefault(character, (name, number, column))
    lacking = []
    blank = []
    for character, count in counts.items():
        code = code_of(character, code_page)
        use = (character, count, first[character])
        if code is None:
            lacking.append(use)
        elif (not any(font[code * 8:code * 8 + 8])
              and character not in " \u00a0"):
            blank.append(use)
    for uses in lacking, blank:
        uses.sort(key=lambda use: (-use[1], ord(use[0])))
    out = ""
    if lacking:
        out += "Not in code page %d:\n" % code_page
        out += listing(lacking, False, code_page)
    if blank:
        out += "With a blank glyph:\n" + listing(blank, True, code_page)
    characters = sum(counts.values())
    files = counted(len(names), "file")
    if not characters:
        out += files + (" holds" if len(names) == 1 else " hold")
        out += " no character to draw\n"
    elif not lacking and not blank:
        out += "all %s of %s can be drawn\n" % (
            counted(characters, "character"), files)
    else:
        parts = []
        if lacking:
            parts.append("%s not in code page %d" % (
                grouped(len(lacking)), code_page))
        if blank:
            parts.append("%s with a blank glyph" % grouped(len(blank)))
        undrawn = sum(use[1] for use in lacking + blank)
        out += "%s, used %s, cannot be drawn: %s\n" % (
            counted(len(lacking) + len(blank), "character"),
            counted(undrawn, "time"), ", ".join(parts))
    if lacking:
        fewest, better = len(lacking), None
        for other in KNOWN:
            lacks = sum(code_of(c, other) is None for c in counts)
            if other != code_page and lacks < fewest:
                fewest, better = lacks, other
        if better is not None and fewest == 0:
            out += "code page %d has every letter of this text\n" % better
        elif better is not None:
            out += "code page %d has all but %s of this text\n" % (
                better, counted(fewest, "character"))
    return out


def main():
    font_path, code_page, placed = sys.argv[1:4]
    code_page = int(code_page)
    if font_path.endswith(".cp"):
        font = cp_font(font_path)
    else:
        font = psf_font(font_path, code_page, placed == "yes")
    sys.stdout.write(report(font, code_page, sys.argv[4:]))


if __name__ == "__main__":
    main()
