#!/usr/bin/python3
# Writes the glyphs of an 8-pixel font as FreeType draws them in
# monochrome, through Pillow, as a raw font whose other codes are blank:
# the ASCII ones (0x20-0x7E), or with a Python codec other than ascii,
# every code from 0x20 on whose character in it is no control. A smaller
# font is drawn at its size, its ascender on the row given from the top.
# Usage: freetype_ascii.py FONT OUT.fnt [CODEC [SIZE ROW]]
import sys
import unicodedata

from PIL import Image, ImageDraw, ImageFont

codec = sys.argv[3] if len(sys.argv) > 3 else "ascii"
size, top = (int(sys.argv[4]), int(sys.argv[5])) if len(sys.argv) > 5 else (8, 0)
face = ImageFont.truetype(sys.argv[1], size)
codes = range(0x20, 0x7F if codec == "ascii" else 0x100)
glyphs = bytearray(2048)
for code in codes:
    character = bytes([code]).decode(codec)
    if unicodedata.category(character) == "Cc":
        continue
    image = Image.new("1", (8, 8), 0)
    ImageDraw.Draw(image).text((0, top), character, font=face, fill=1)
    for y in range(8):
        glyphs[code * 8 + y] = sum(
            0x80 >> x for x in range(8) if image.getpixel((x, y)))
with open(sys.argv[2], "wb") as out:
    out.write(glyphs)
