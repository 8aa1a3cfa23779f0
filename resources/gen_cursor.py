#!/usr/bin/python3
"""Draws the drag cursor of the desktop clocks (drag.cur): a four-way arrow,
black with a white outline, its hot spot in the middle. Written as a 32 x 32
cursor with a 32-bit image and its AND mask."""
import os
import struct

SIZE = 32
HOT = 15

# The arrow as a set of pixels: a cross of 3-pixel bars with a head at each end.
body = set()
for i in range(4, SIZE - 5):
    for w in (-1, 0, 1):
        body.add((HOT + w, i))
        body.add((i, HOT + w))
for step in range(6):
    for w in range(-step, step + 1):
        body.add((HOT + w, 3 + step))           # up
        body.add((HOT + w, SIZE - 5 - step))    # down
        body.add((3 + step, HOT + w))           # left
        body.add((SIZE - 5 - step, HOT + w))    # right

outline = set()
for (x, y) in body:
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            p = (x + dx, y + dy)
            if p not in body and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                outline.add(p)



def write_icon_file(path, colour_at, hot=None):
    """A 32 x 32 icon, or with a hot spot a cursor, of a 32-bit image and its
    AND mask; colour_at(x, y) gives (r, g, b) or None for transparent."""
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):        # bottom-up rows
        bits = 0
        for x in range(SIZE):
            colour = colour_at(x, y)
            if colour is None:
                pixels += bytes((0, 0, 0, 0))
                bits |= 1 << (31 - x)      # transparent: the AND bit is set
            else:
                r, g, b = colour
                pixels += bytes((b, g, r, 255))
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    if hot is None:   # icon: planes and bit count where a cursor keeps its hot spot
        directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    else:
        directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot[0], hot[1],
                                                                 len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def drag_arrow(x, y):
    if (x, y) in body:
        return (0, 0, 0)
    if (x, y) in outline:
        return (255, 255, 255)
    return None


if __name__ == "__main__":
    write_icon_file(os.path.join(os.path.dirname(os.path.abspath(__file__)), "drag.cur"), drag_arrow, (HOT, HOT))
