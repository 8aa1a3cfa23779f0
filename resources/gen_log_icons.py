#!/usr/bin/python3
"""Draws the icons of the reminder log (alarm.ico, reminder.ico) and of the
stop-sound dialog (stop_sound.ico) with Debian's python3-pil. Shapes are drawn
large with thick strokes so that they stay legible at 16 x 16."""
import math
import os

from PIL import Image, ImageDraw

SIZE = 256
SIZES = [(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)]
HERE = os.path.dirname(os.path.abspath(__file__))
DARK = (40, 40, 48, 255)


def canvas():
    image = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    return image, ImageDraw.Draw(image)


def alarm_clock():
    """A red alarm clock with two bells, at ten past ten."""
    image, draw = canvas()
    red, dark_red = (214, 40, 40, 255), (120, 16, 16, 255)
    # feet, behind the body
    draw.line((70, 200, 40, 240), fill=dark_red, width=22)
    draw.line((186, 200, 216, 240), fill=dark_red, width=22)
    # bells
    draw.pieslice((8, 6, 104, 102), 180, 360, fill=red, outline=dark_red, width=8)
    draw.pieslice((152, 6, 248, 102), 180, 360, fill=red, outline=dark_red, width=8)
    draw.ellipse((28, 44, 228, 244), fill=red, outline=dark_red, width=8)
    draw.ellipse((58, 74, 198, 214), fill=(252, 252, 248, 255))
    c = (128, 144)
    draw.line((c[0], c[1], c[0] - 40, c[1] - 24), fill=DARK, width=18)
    draw.line((c[0], c[1], c[0] + 44, c[1] - 40), fill=DARK, width=14)
    draw.ellipse((c[0] - 12, c[1] - 12, c[0] + 12, c[1] + 12), fill=DARK)
    return image


def reminder_bell():
    """An amber bell with its clapper: a notice ahead of the alarm."""
    image, draw = canvas()
    gold, brown = (246, 184, 32, 255), (132, 84, 8, 255)
    draw.ellipse((108, 4, 148, 44), fill=gold, outline=brown, width=8)  # the ring on top
    bell = [(128, 24)]
    for i in range(0, 181, 10):
        a = math.radians(i)
        bell.append((128 - 88 * math.cos(a), 112 - 84 * math.sin(a)))
    body = [(40, 112), (32, 178), (6, 206), (250, 206), (224, 178), (216, 112)]
    shape = [p for p in bell[1:]] + list(reversed(body))
    draw.polygon(shape, fill=gold, outline=brown)
    draw.line(shape + [shape[0]], fill=brown, width=10, joint="curve")
    draw.ellipse((100, 196, 156, 252), fill=brown)  # clapper
    draw.line((84, 80, 76, 170), fill=(255, 236, 160, 255), width=14)  # shine
    return image


def stop_sound():
    """A loudspeaker with its sound struck through: stop the sound."""
    image, draw = canvas()
    grey, light = (60, 64, 76, 255), (150, 156, 170, 255)
    draw.polygon([(4, 80), (64, 80), (148, 6), (148, 250), (64, 176), (4, 176)], fill=grey)
    draw.arc((100, 56, 244, 200), -50, 50, fill=light, width=20)
    red = (214, 32, 32, 255)
    draw.line((148, 118, 248, 246), fill=red, width=36)
    draw.line((248, 118, 148, 246), fill=red, width=36)
    return image


for name, draw_icon in (("alarm.ico", alarm_clock), ("reminder.ico", reminder_bell),
                        ("stop_sound.ico", stop_sound)):
    draw_icon().save(os.path.join(HERE, name), sizes=SIZES)
