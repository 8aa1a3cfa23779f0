#!/usr/bin/python3
"""Draws the map's cloud picture: grey fractal noise that wraps around the
globe east to west, dark where the sky is clear (the map turns brightness
into opacity). Run by the build, which puts the result in the program folder:

    /usr/bin/python3 data/gen_clouds.py <out.jpg>

Uses Debian's python3-pil; the seed is fixed, so every build draws the same
picture.
"""
import random
import sys

from PIL import Image

WIDTH, HEIGHT = 1024, 512
SEED = 20240917
# (cells across, weight): coarse weather systems down to fine wisps
OCTAVES = ((8, 0.40), (16, 0.25), (32, 0.16), (64, 0.10), (128, 0.06), (256, 0.03))
# noise below this brightness is clear sky
CLEAR = 118


def octave(rng, cells, weight):
    rows = max(2, cells // 2)
    grid = Image.new("L", (cells + 3, rows))
    values = [[rng.randrange(256) for _ in range(cells)] for _ in range(rows)]
    # three columns repeat the first ones, so the scaled picture wraps
    grid.putdata([values[r][c % cells] for r in range(rows) for c in range(cells + 3)])
    cell = WIDTH / cells
    big = grid.resize((round((cells + 3) * cell), HEIGHT), Image.BICUBIC)
    # the first cell is the border the interpolation bends; start after it
    left = round(cell)
    return big.crop((left, 0, left + WIDTH, HEIGHT)), weight


def main():
    out = sys.argv[1]
    rng = random.Random(SEED)
    layers = [octave(rng, cells, weight) for cells, weight in OCTAVES]
    total = layers[0][0]
    done = layers[0][1]
    for layer, weight in layers[1:]:
        # running mean: each blend keeps the weights of the layers so far
        done += weight
        total = Image.blend(total, layer, weight / done)
    # stretch the middle of the noise and cut the clear sky to black
    clouds = total.point(lambda v: 0 if v < CLEAR else min(255, (v - CLEAR) * 255 // (170 - CLEAR)))
    clouds.save(out, "JPEG", quality=85)


if __name__ == "__main__":
    main()
