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

pixels = bytearray()
mask = bytearray()
for y in reversed(range(SIZE)):        # bottom-up rows
    bits = 0
    for x in range(SIZE):
        if (x, y) in body:
            pixels += bytes((0, 0, 0, 255))
        elif (x, y) in outline:
            pixels += bytes((255, 255, 255, 255))
        else:
            pixels += bytes((0, 0, 0, 0))
            bits |= 1 << (31 - x)      # transparent: the AND bit is set
    mask += struct.pack(">I", bits)

header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
image = header + pixels + mask
directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOT, HOT, len(image), 22)
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "drag.cur"), "wb") as f:
    f.write(directory + image)
