#!/usr/bin/python3
"""Writes the PNG fixtures of the image tests (run from this folder)."""
import struct
import subprocess
import zlib
from PIL import Image

# 3 x 2 RGB with alpha; top row red (half transparent), green, blue; bottom row white, black, grey
rgba = Image.new("RGBA", (3, 2))
rgba.putdata([(255, 0, 0, 128), (0, 255, 0, 255), (0, 0, 255, 255),
              (255, 255, 255, 255), (0, 0, 0, 0), (10, 20, 30, 40)])
rgba.save("rgba.png")
# 5 x 2 RGB: rows of 15 bytes
rgb = Image.new("RGB", (5, 2))
rgb.putdata([(10, 20, 30)] + [(200, 100, 50)] * 4 + [(1, 2, 3)] * 5)
rgb.save("rgb5.png")
# 4-bit palette
pal = Image.new("P", (5, 2))
pal.putpalette([0, 0, 0, 255, 0, 0, 0, 255, 0] + [0] * 45)
pal.putdata([1, 2, 0, 1, 2, 2, 1, 0, 2, 1])
pal.save("palette4.png", bits=4)
# palette with a transparent entry
pal.save("palette-trns.png", transparency=0)
# 8-bit grey and grey with alpha
grey = Image.new("L", (4, 2))
grey.putdata([0, 50, 100, 150, 200, 250, 255, 7])
grey.save("grey.png")
la = Image.new("LA", (2, 2))
la.putdata([(100, 255), (100, 0), (200, 128), (0, 255)])
la.save("grey-alpha.png")
# Adam7 interlaced copy of the RGB image
subprocess.run(["convert", "rgb5.png", "-interlace", "PNG", "rgb5-interlaced.png"], check=True)
# 16-bit RGB
subprocess.run(["convert", "-size", "4x2", "xc:rgb(100%,50.2%,0%)", "-depth", "16", "PNG48:rgb16.png"], check=True)
# rgba.png claiming 30000 x 30000 pixels (3.6 GB decoded)
data = bytearray(open("rgba.png", "rb").read())
data[16:24] = struct.pack(">II", 30000, 30000)
data[29:33] = struct.pack(">I", zlib.crc32(bytes(data[12:29])))
open("huge.png", "wb").write(bytes(data))
