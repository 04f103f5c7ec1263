#!/usr/bin/python3
# Checks a TrueType or OpenType bitmap font the program wrote from a raw
# font, as peers read it. FreeType, through Pillow, draws every character
# in monochrome exactly as the raw font: at SIZE pixels to the em (8, or
# 16 for outlines), each pixel a square of SIZE/8, the ascender 7 pixels
# of 8. fontTools reads the cmap (which code's glyph each character is),
# one advance, fixed pitch, a hollow .notdef and the family's name.
# Usage: truetype_peers.py FONT RAW.fnt SIZE FAMILY
import sys
import unicodedata

from fontTools.ttLib import TTFont
from PIL import Image, ImageDraw, ImageFont

path, raw, size, family = sys.argv[1], open(sys.argv[2], "rb").read(), int(sys.argv[3]), sys.argv[4]
scale = size // 8
font = TTFont(path)
order = font.getGlyphOrder()
face = ImageFont.truetype(path, size)
wrong = []
for character, name in sorted(font.getBestCmap().items()):
    # Text layout draws no format character (the soft hyphen).
    if unicodedata.category(chr(character)) == "Cf":
        continue
    code = order.index(name) - 1
    image = Image.new("1", (size, size), 0)
    draw = ImageDraw.Draw(image)
    draw.fontmode = "1"
    # Pillow places the line's ascender at the top.
    draw.text((0, 0), chr(character), font=face, fill=1)
    for y in range(size):
        for x in range(size):
            ink = raw[code * 8 + y // scale] >> (7 - x // scale) & 1
            if bool(image.getpixel((x, y))) != bool(ink):
                wrong.append("U+%04X (code %d) at %d,%d" % (character, code, x, y))
if wrong:
    sys.exit("FreeType draws other pixels: " + ", ".join(wrong[:8]))
said = {
    "the ascender": face.getmetrics()[0] == 7 * scale,
    "one advance": {width for width, _ in font["hmtx"].metrics.values()} == {1024},
    "fixed pitch": font["post"].isFixedPitch == 1,
    "monospaced in panose": font["OS/2"].panose.bProportion == 9,
    "the average width": font["OS/2"].xAvgCharWidth == 1024,
    "lines 8 pixels apart": font["hhea"].ascent - font["hhea"].descent + font["hhea"].lineGap == 1024,
    "the family": font["name"].getDebugName(1) == family,
    "a hollow .notdef": "glyf" not in font or font["glyf"][".notdef"].numberOfContours == 2,
}
if not all(said.values()):
    sys.exit("fontTools reads other: " + ", ".join(k for k, v in said.items() if not v))
