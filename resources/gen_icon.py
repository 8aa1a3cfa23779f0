#!/usr/bin/python3
"""Draws the program icon (tempolan.ico) with Debian's python3-pil."""
import math
import os

from PIL import Image, ImageDraw

size = 256
image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
draw = ImageDraw.Draw(image)
draw.ellipse((8, 8, size - 9, size - 9), fill=(32, 96, 176, 255), outline=(16, 48, 96, 255), width=10)
draw.ellipse((34, 34, size - 35, size - 35), fill=(245, 248, 252, 255))
c = size / 2
for tick in range(12):
    a = math.radians(tick * 30)
    draw.line((c + 80 * math.sin(a), c - 80 * math.cos(a), c + 96 * math.sin(a), c - 96 * math.cos(a)),
              fill=(16, 48, 96, 255), width=8)
draw.line((c, c, c + 48, c - 28), fill=(16, 32, 64, 255), width=14)   # hour hand at ten past two
draw.line((c, c, c + 14, c - 82), fill=(16, 32, 64, 255), width=9)    # minute hand
draw.ellipse((c - 12, c - 12, c + 12, c + 12), fill=(200, 40, 40, 255))
image.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "tempolan.ico"),
           sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)])
