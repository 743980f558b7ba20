#!/usr/bin/env python3
"""Writes the small pictures the resource scripts include, so that no opaque
binary is kept in the sources:

  makeimages.py bitmap OUT.bmp   a 48 x 64 24-bit picture: a vertical blue
                                 gradient in a dark frame, with a white
                                 diagonal, so that a stretched copy shows
                                 which way it was stretched
  makeimages.py icon OUT.ico     a 16 x 16 32-bit icon with its mask: a red
                                 square whose corners are transparent
"""
import struct
import sys


def bitmap_rows(width, height):
    rows = []
    for y in range(height):  # top row first
        row = bytearray()
        for x in range(width):
            if x in (0, width - 1) or y in (0, height - 1):
                b, g, r = 32, 32, 32
            elif x * height == y * width:
                b, g, r = 255, 255, 255
            else:
                shade = 255 * y // (height - 1)
                b, g, r = 255, shade, shade // 2
            row += bytes((b, g, r))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    return rows


def write_bitmap(path, width=48, height=64):
    rows = bitmap_rows(width, height)
    pixels = b"".join(reversed(rows))  # BMP rows run bottom-up
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def write_icon(path, size=16):
    colour = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up
        bits = 0
        for x in range(size):
            corner = (x < 3 or x >= size - 3) and (y < 3 or y >= size - 3)
            colour += bytes((0, 0, 0, 0)) if corner else bytes((40, 40, 220, 255))
            bits = (bits << 1) | (1 if corner else 0)
        mask += bits.to_bytes(size // 8, "big") + b"\0" * ((4 - size // 8 % 4) % 4)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = info + bytes(colour) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    kind, out = sys.argv[1], sys.argv[2]
    {"bitmap": write_bitmap, "icon": write_icon}[kind](out)
