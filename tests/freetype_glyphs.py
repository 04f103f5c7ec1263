#!/usr/bin/python3
# Checks that FreeType, through Pillow, draws every character of a font the
# program wrote in monochrome exactly as the raw font it was written from:
# at SIZE pixels to the em (8 or 16), each pixel a square of SIZE/8. The
# cmap (read by fontTools) says which code's glyph each character is.
# Usage: freetype_glyphs.py FONT RAW.fnt SIZE
import sys
import unicodedata

from fontTools.ttLib import TTFont
from PIL import Image, ImageDraw, ImageFont

path, raw, size = sys.argv[1], open(sys.argv[2], "rb").read(), int(sys.argv[3])
scale = size // 8
font = TTFont(path)
order = font.getGlyphOrder()
face = ImageFont.truetype(path, size)
ascent = face.getmetrics()[0]
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
if wrong or ascent != 7 * scale:
    sys.exit("ascent %d; drawn other: %s" % (ascent, ", ".join(wrong[:10])))
