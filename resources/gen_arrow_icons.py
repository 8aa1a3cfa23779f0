#!/usr/bin/python3
"""Draws the news page's up and down arrows (arrow_up.ico, arrow_down.ico)
with Debian's python3-pil: a filled dark triangle, legible at 16 x 16."""
import os

from PIL import Image, ImageDraw

here = os.path.dirname(os.path.abspath(__file__))
size = 256
for name, points in (("arrow_up.ico", [(128, 40), (224, 200), (32, 200)]),
                     ("arrow_down.ico", [(32, 56), (224, 56), (128, 216)])):
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    ImageDraw.Draw(image).polygon(points, fill=(40, 40, 48, 255))
    image.save(os.path.join(here, name), sizes=[(16, 16), (24, 24), (32, 32)])
