#!/usr/bin/python3
"""Draws the month calendar's navigation buttons: 4 columns (previous year,
previous month, next month, next year) by 3 rows (normal, pressed, hover),
16 x 16 pixels each.

    /usr/bin/python3 data/gen_nav_buttons.py <nav_btns.png> [<bitmap.bmp>]

The PNG is 32-bit RGBA with the colour already multiplied by the alpha, as
the calendar blends it unchanged; the build puts it in the program folder.
The BMP (24-bit) is the resource library's bitmap: the same buttons on a
magenta key colour, which the bottom-left pixel must show.

Uses Debian's python3-pil.
"""
import sys

from PIL import Image, ImageDraw

CELL = 16
SCALE = 4   # drawn larger, then reduced: smooth edges
KEY = (255, 0, 255)

# (fill, edge, glyph) per state row
STATES = [
    ((236, 240, 246), (138, 153, 176), (40, 62, 92)),     # normal
    ((150, 178, 216), (52, 84, 132), (16, 32, 64)),       # pressed
    ((212, 226, 246), (74, 120, 184), (24, 60, 120)),     # hover
]
# (chevrons, pointing left) per column
BUTTONS = [(2, True), (1, True), (1, False), (2, False)]


def chevron(draw, cx, cy, r, left, colour):
    s = 1 if left else -1
    tip = cx - s * r * 0.5
    back = cx + s * r * 0.5
    draw.polygon([(tip, cy), (back, cy - r), (back, cy + r)], fill=colour)


def draw_sheet():
    size = CELL * SCALE
    sheet = Image.new("RGBA", (4 * size, 3 * size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    for row, (fill, edge, glyph) in enumerate(STATES):
        for column, (count, left) in enumerate(BUTTONS):
            x0, y0 = column * size, row * size
            shift = SCALE if row == 1 else 0   # a pressed button sinks by a pixel
            draw.rounded_rectangle((x0 + SCALE, y0 + SCALE, x0 + size - SCALE - 1, y0 + size - SCALE - 1), radius=3 * SCALE,
                                   fill=fill + (255,), outline=edge + (255,), width=SCALE)
            cx, cy = x0 + size / 2 + shift, y0 + size / 2 + shift
            r = 4 * SCALE
            step = 4 * SCALE
            for i in range(count):
                offset = (i - (count - 1) / 2) * step
                chevron(draw, cx + offset, cy, r, left, glyph + (255,))
    return sheet.resize((4 * CELL, 3 * CELL), Image.LANCZOS)


def premultiplied(image):
    out = Image.new("RGBA", image.size)
    out.putdata([(r * a // 255, g * a // 255, b * a // 255, a) for r, g, b, a in image.getdata()])
    return out


def keyed(image):
    # the resource bitmap has no alpha: half-covered edge pixels take the button, the rest the key
    out = Image.new("RGB", image.size, KEY)
    out.putdata([(r, g, b) if a >= 128 else KEY for r, g, b, a in image.getdata()])
    assert out.getpixel((0, out.height - 1)) == KEY
    return out


def main():
    sheet = draw_sheet()
    premultiplied(sheet).save(sys.argv[1])
    if len(sys.argv) > 2:
        keyed(sheet).save(sys.argv[2])


if __name__ == "__main__":
    main()
