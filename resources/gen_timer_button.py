#!/usr/bin/python3
"""Draws the timer button (timer_button.bmp, bitmap 209) with Debian's python3-pil.

A monochrome picture: black is the button, drawn in the clock's text colour;
white is the background, left transparent. The top-left pixel must stay white.
"""
import os

from PIL import Image, ImageDraw

size = 13
image = Image.new("1", (size, size), 1)
draw = ImageDraw.Draw(image)
# play triangle on the left, pause bars on the right
draw.polygon([(1, 2), (1, 10), (6, 6)], fill=0)
draw.rectangle((8, 2, 9, 10), fill=0)
draw.rectangle((11, 2, 12, 10), fill=0)
assert image.getpixel((0, 0)) == 1
image.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "timer_button.bmp"))
