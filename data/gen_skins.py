#!/usr/bin/python3
"""Draws the skins shipped in the program folder's skins\\ (run once; the
images are committed):

- "Blue LCD": a digit strip (digits.bmp) with a lightmap and a frame;
- "Amber Type": a bitmap font strip (text.bmp) with a text shadow;
- "Classic Analog": an analogue face with its hand strip (clkface.png).

    /usr/bin/python3 data/gen_skins.py

Uses Debian's python3-pil and the DejaVu fonts (fonts-dejavu-core).
"""
import math
import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SKINS = os.path.join(HERE, "skins")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
# The transparent key of a strip is also the background an opaque clock is
# filled with, so each skin keys on its own background colour, never on a
# colour that only marks holes.
LCD_BACK = (8, 20, 36)
AMBER_BACK = (28, 16, 0)
ANALOG_BACK = (236, 232, 220)

# Glyphs of text.bmp: three rows of 31 cells, a blank for an empty cell.
GLYPHS = ("ABCDEFGHIJKLMNOPQRSTUVWXYZ\"    "
          "0123456789  :()-'!_+\\/[]^&%.=$ "
          "   ?*" + " " * 26)


def write(skin, name, image):
    folder = os.path.join(SKINS, skin)
    os.makedirs(folder, exist_ok=True)
    image.save(os.path.join(folder, name))


def write_ini(skin, text):
    folder = os.path.join(SKINS, skin)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "skin.ini"), "w", newline="\r\n") as f:
        f.write(text)


def glyph(draw, font, char, left, top, width, height, colour):
    box = draw.textbbox((0, 0), char, font=font)
    x = left + (width - (box[2] - box[0])) // 2 - box[0]
    y = top + (height - (box[3] - box[1])) // 2 - box[1]
    draw.text((x, y), char, font=font, fill=colour)


def blue_lcd():
    digit, colon, height = 11, 8, 20  # strip width 10 * 11 + 8 = 118
    strip = Image.new("RGB", (10 * digit + colon, height), LCD_BACK)
    draw = ImageDraw.Draw(strip)
    font = ImageFont.truetype(FONT, 17)
    for d in range(10):
        glyph(draw, font, str(d), d * digit, 0, digit, height, (120, 200, 255))
    # the colon: two dots, leaving the cell's top-left pixel as the key (the background)
    x = 10 * digit + colon // 2 - 1
    for y in (height // 3, 2 * height // 3):
        draw.rectangle((x, y - 1, x + 2, y + 1), fill=(120, 200, 255))
    write("Blue LCD", "digits.bmp", strip)
    # a vertical sheen around the neutral grey 0x808080
    light = Image.new("RGB", (118, height))
    for y in range(height):
        g = int(128 + 40 * math.cos(math.pi * y / (height - 1)))
        ImageDraw.Draw(light).line((0, y, 117, y), fill=(g, g, g))
    write("Blue LCD", "lightmap.bmp", light)
    write_ini("Blue LCD", "[border]\nenabled=1\ncolor=0x204060\n\n[font]\ncolor=0x78C8FF\nalign=center\n")


def amber_type():
    cell_w, cell_h = 10, 14
    strip = Image.new("RGB", (31 * cell_w, 3 * cell_h), AMBER_BACK)
    draw = ImageDraw.Draw(strip)
    font = ImageFont.truetype(FONT, 12)
    for i, char in enumerate(GLYPHS):
        if char != " ":
            glyph(draw, font, char, (i % 31) * cell_w, (i // 31) * cell_h, cell_w, cell_h, (255, 176, 32))
    write("Amber Type", "text.bmp", strip)
    write_ini("Amber Type", "[shadow]\ncolor=0x402000\noffset=1\n\n[border]\nenabled=0\n")


def classic_analog():
    size, band = 200, 12  # the hand strip: three bands below the face
    # transparent around the face; the corner's colour is the opaque background
    image = Image.new("RGBA", (size, size + 3 * band), ANALOG_BACK + (0,))
    draw = ImageDraw.Draw(image)
    c = size / 2
    draw.ellipse((2, 2, size - 3, size - 3), fill=(250, 248, 240, 255), outline=(40, 40, 40, 255), width=4)
    for tick in range(60):
        a = math.radians(tick * 6)
        inner = c - (18 if tick % 5 == 0 else 10)
        outer = c - 8
        draw.line((c + inner * math.sin(a), c - inner * math.cos(a), c + outer * math.sin(a), c - outer * math.cos(a)),
                  fill=(30, 30, 30, 255), width=4 if tick % 5 == 0 else 1)
    draw.ellipse((c - 5, c - 5, c + 5, c + 5), fill=(30, 30, 30, 255))
    # hands point right from the centre column: hour (top band), minute, second (bottom band)
    for band_index, (length, width, colour) in enumerate(((55, 7, (20, 20, 20, 255)),
                                                           (80, 5, (20, 20, 20, 255)),
                                                           (88, 2, (200, 30, 30, 255)))):
        middle = size + band_index * band + band // 2
        draw.rectangle((int(c) - 12, middle - width // 2, int(c) + length, middle + (width - 1) // 2), fill=colour)
    write("Classic Analog", "clkface.png", image)
    write_ini("Classic Analog", "[clock]\nangle=0\nface24h=0\naxis_ofs_x=0\naxis_ofs_y=0\n")


if __name__ == "__main__":
    blue_lcd()
    amber_type()
    classic_analog()
