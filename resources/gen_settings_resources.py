#!/usr/bin/python3
"""Draws the settings program's own icons and cursors: settings.ico (a clock
face with a gear), chooser.ico (a globe, the location chooser's), and the
tree's drag cursors drop_ok.cur (an arrow with a plus) and drop_no.cur (an
arrow with a barred circle). 32 x 32, written by gen_cursor's writer."""
import math
import os

from gen_cursor import SIZE, write_icon_file

HERE = os.path.dirname(os.path.abspath(__file__))
C = (SIZE - 1) / 2


def distance(x, y, cx=C, cy=C):
    return math.hypot(x - cx, y - cy)


def near_segment(x, y, x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
    return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2.0


def settings_icon(x, y):
    # the gear in the lower right corner, over the face
    gx, gy = 23, 23
    d = distance(x, y, gx, gy)
    angle = math.atan2(y - gy, x - gx)
    tooth = math.cos(angle * 8) > 0.3
    if d <= 3:
        return None if d < 1.5 else (90, 90, 96)
    if d <= 6.5 or (tooth and d <= 8.5):
        return (120, 120, 128)
    d = distance(x, y)
    if d > 15.5:
        return None
    if d > 13:
        return (32, 96, 176)           # rim
    if near_segment(x, y, C, C, C + 6, C - 3, 2.5) or near_segment(x, y, C, C, C + 1.5, C - 10, 2):
        return (16, 32, 64)            # hands at ten past two
    return (245, 248, 252)


def chooser_icon(x, y):
    d = distance(x, y)
    if d > 15.5:
        return None
    if d > 14.5:
        return (16, 48, 96)
    # two meridians and the equator over sea and land
    if abs(x - C) < 0.6 or abs(y - C) < 0.6 or abs(distance(x, y, C + 20, C) - 22) < 0.6:
        return (220, 230, 240)
    land = (x < C - 3 and y < C + 4 and y > C - 9) or (x > C + 2 and y > C + 2 and x < C + 10)
    return (60, 150, 70) if land else (40, 110, 200)


def arrow(x, y):
    """The ordinary pointer: black with a white outline, tip at (0, 0)."""
    def inside(px, py):
        return 0 <= py <= 16 and 0 <= px <= py * 0.6 and not (py > 12 and px > 16 - py + 2)
    if inside(x, y):
        return (0, 0, 0)
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            if inside(x + dx, y + dy):
                return (255, 255, 255)
    return None


def drop_ok(x, y):
    # a white box with a black plus below right of the tip
    if 14 <= x <= 24 and 16 <= y <= 26:
        if x in (14, 24) or y in (16, 26):
            return (0, 0, 0)
        if x == 19 or y == 21:
            return (0, 0, 0)
        return (255, 255, 255)
    return arrow(x, y)


def drop_no(x, y):
    d = distance(x, y, 20, 21)
    if d <= 8:
        if d >= 6 or near_segment(x, y, 15.5, 16.5, 24.5, 25.5, 2.2):
            return (200, 30, 30)
        return (255, 255, 255)
    if d <= 9:
        return (255, 255, 255)
    return arrow(x, y)


if __name__ == "__main__":
    write_icon_file(os.path.join(HERE, "settings.ico"), settings_icon)
    write_icon_file(os.path.join(HERE, "chooser.ico"), chooser_icon)
    write_icon_file(os.path.join(HERE, "drop_ok.cur"), drop_ok, (0, 0))
    write_icon_file(os.path.join(HERE, "drop_no.cur"), drop_no, (0, 0))
