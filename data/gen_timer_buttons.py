#!/usr/bin/python3
"""Draws the timer panel's buttons: 3 columns (reset, stop, start) by 2 rows
(normal, pressed), 40 x 32 pixels each.

    /usr/bin/python3 data/gen_timer_buttons.py <tbuttons.png>

The PNG is 32-bit RGBA with the colour already multiplied by the alpha: the
panel raises every alpha into the upper half and puts the pixels on the
screen as they are, so a colour above its alpha would glow. The top-left
pixel is the panel's background; the build puts the file in the program
folder.

Uses Debian's python3-pil.
"""
import sys

from PIL import Image, ImageDraw

WIDTH, HEIGHT = 40, 32
SCALE = 4   # drawn larger, then reduced: smooth edges

# (fill, edge, glyph) per state row
STATES = [
    ((58, 96, 150), (150, 186, 230), (255, 255, 255)),   # normal
    ((30, 58, 100), (110, 150, 200), (220, 230, 245)),   # pressed
]


def glyph(draw, column, cx, cy, r, colour):
    if column == 0:     # reset: a bar, then a triangle pointing left
        draw.rectangle((cx - r, cy - r, cx - r * 0.6, cy + r), fill=colour)
        draw.polygon([(cx - r * 0.5, cy), (cx + r, cy - r), (cx + r, cy + r)], fill=colour)
    elif column == 1:   # stop: two bars
        draw.rectangle((cx - r * 0.8, cy - r, cx - r * 0.25, cy + r), fill=colour)
        draw.rectangle((cx + r * 0.25, cy - r, cx + r * 0.8, cy + r), fill=colour)
    else:               # start: a triangle pointing right
        draw.polygon([(cx - r * 0.7, cy - r), (cx - r * 0.7, cy + r), (cx + r, cy)], fill=colour)


def draw_sheet():
    w, h = WIDTH * SCALE, HEIGHT * SCALE
    sheet = Image.new("RGBA", (3 * w, 2 * h), (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    for row, (fill, edge, mark) in enumerate(STATES):
        for column in range(3):
            x0, y0 = column * w, row * h
            shift = SCALE if row == 1 else 0   # a pressed button sinks by a pixel
            draw.rounded_rectangle((x0 + SCALE, y0 + SCALE, x0 + w - SCALE - 1, y0 + h - SCALE - 1), radius=6 * SCALE,
                                   fill=fill + (230,), outline=edge + (255,), width=SCALE)
            glyph(draw, column, x0 + w / 2 + shift, y0 + h / 2 + shift, 7 * SCALE, mark + (255,))
    return sheet.resize((3 * WIDTH, 2 * HEIGHT), Image.LANCZOS)


def premultiplied(image):
    out = Image.new("RGBA", image.size)
    out.putdata([(r * a // 255, g * a // 255, b * a // 255, a) for r, g, b, a in image.getdata()])
    return out


def main():
    sheet = premultiplied(draw_sheet())
    assert sheet.getpixel((0, 0))[3] == 0
    sheet.save(sys.argv[1])


if __name__ == "__main__":
    main()
