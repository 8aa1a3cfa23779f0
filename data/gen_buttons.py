#!/usr/bin/python3
"""Draws the map's button strip "buttons.png": 256 x 128 pixels, 32-bit RGBA.
Run by the build, which puts the result in the program folder:

    /usr/bin/python3 data/gen_buttons.py <out.png>

The left half holds each button as it normally looks, the right half the
same cells pressed, 128 pixels further right. Cells are given as the map
addresses them, x from the left and y from the bottom of the strip.

Uses Debian's python3-pil and the DejaVu fonts (fonts-dejavu-core).
"""
import sys

from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT = 256, 128
PRESSED_OFFSET = 128
SCALE = 4   # drawn larger, then reduced: smooth edges
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

FILL = (24, 44, 72, 170)
FILL_PRESSED = (70, 120, 180, 220)
EDGE = (170, 200, 230, 230)
GLYPH = (245, 245, 245, 255)

# name: (x, y from the bottom, width, height, glyph)
CELLS = {
    "minus": (0, 0, 32, 32, "minus"),
    "down": (32, 0, 32, 32, "down"),
    "page_down": (64, 0, 9, 32, "down"),
    "left": (0, 32, 32, 32, "left"),
    "home": (32, 32, 32, 32, "home"),
    "right": (64, 32, 32, 32, "right"),
    "plus": (0, 64, 32, 32, "plus"),
    "up": (32, 64, 32, 32, "up"),
    "page_up": (64, 64, 9, 19, "up"),
    "insert": (0, 96, 100, 24, "Add photo"),
}


def arrow(draw, box, direction):
    left, top, right, bottom = box
    w, h = right - left, bottom - top
    # the narrow page cells get an arrow as wide as they allow
    r = min(w, h) * 0.3 if w > 16 else w * 0.36
    cx, cy = left + w / 2, top + h / 2
    points = {
        "up": [(cx, cy - r), (cx + r, cy + r * 0.6), (cx - r, cy + r * 0.6)],
        "down": [(cx, cy + r), (cx + r, cy - r * 0.6), (cx - r, cy - r * 0.6)],
        "left": [(cx - r, cy), (cx + r * 0.6, cy - r), (cx + r * 0.6, cy + r)],
        "right": [(cx + r, cy), (cx - r * 0.6, cy - r), (cx - r * 0.6, cy + r)],
    }[direction]
    draw.polygon(points, fill=GLYPH)


def glyph(draw, box, kind, font, fill):
    left, top, right, bottom = box
    w, h = right - left, bottom - top
    cx, cy = left + w / 2, top + h / 2
    bar = max(SCALE, round(min(w, h) * 0.12))
    arm = min(w, h) * 0.28
    if kind in ("up", "down", "left", "right"):
        arrow(draw, box, kind)
    elif kind in ("plus", "minus"):
        draw.rectangle([cx - arm, cy - bar / 2, cx + arm, cy + bar / 2], fill=GLYPH)
        if kind == "plus":
            draw.rectangle([cx - bar / 2, cy - arm, cx + bar / 2, cy + arm], fill=GLYPH)
    elif kind == "home":
        # roof with eaves, walls, a door in the button's own colour
        draw.polygon([(cx, cy - arm * 1.05), (cx + arm * 1.2, cy + arm * 0.05), (cx - arm * 1.2, cy + arm * 0.05)],
                     fill=GLYPH)
        draw.rectangle([cx - arm * 0.8, cy, cx + arm * 0.8, cy + arm], fill=GLYPH)
        draw.rectangle([cx - arm * 0.22, cy + arm * 0.35, cx + arm * 0.22, cy + arm], fill=fill)
    else:
        draw.text((cx, cy), kind, font=font, fill=GLYPH, anchor="mm")


def draw_cell(draw, x, y, w, h, kind, pressed, font):
    # y counts from the bottom; PIL's from the top
    left = (x + (PRESSED_OFFSET if pressed else 0)) * SCALE
    top = (HEIGHT - y - h) * SCALE
    box = [left + SCALE // 2, top + SCALE // 2, left + w * SCALE - SCALE // 2 - 1, top + h * SCALE - SCALE // 2 - 1]
    radius = min(w, h) * SCALE // 5
    fill = FILL_PRESSED if pressed else FILL
    draw.rounded_rectangle(box, radius=radius, fill=fill, outline=EDGE, width=SCALE)
    if pressed:
        # the glyph sinks one pixel down and right
        box = [v + SCALE for v in box]
    glyph(draw, box, kind, font, fill)


def main():
    out = sys.argv[1]
    big = Image.new("RGBA", (WIDTH * SCALE, HEIGHT * SCALE), (0, 0, 0, 0))
    draw = ImageDraw.Draw(big)
    font = ImageFont.truetype(FONT, 11 * SCALE)
    for x, y, w, h, kind in CELLS.values():
        for pressed in (False, True):
            draw_cell(draw, x, y, w, h, kind, pressed, font)
    # reduced with premultiplied alpha, so transparent black does not darken the edges
    strip = big.convert("RGBa").resize((WIDTH, HEIGHT), Image.BOX).convert("RGBA")
    strip.save(out, "PNG")


if __name__ == "__main__":
    main()
