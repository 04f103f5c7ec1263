#!/usr/bin/python3
# Writes the ASCII glyphs (0x20-0x7E) of an 8-pixel TrueType font as
# FreeType draws them in monochrome, through Pillow, as a raw font whose
# other codes are blank. Usage: freetype_ascii.py FONT.ttf OUT.fnt
import sys

from PIL import Image, ImageDraw, ImageFont

face = ImageFont.truetype(sys.argv[1], 8)
glyphs = bytearray(2048)
for code in range(0x20, 0x7F):
    image = Image.new("1", (8, 8), 0)
    ImageDraw.Draw(image).text((0, 0), chr(code), font=face, fill=1)
    for y in range(8):
        glyphs[code * 8 + y] = sum(
            0x80 >> x for x in range(8) if image.getpixel((x, y)))
with open(sys.argv[2], "wb") as out:
    out.write(glyphs)
