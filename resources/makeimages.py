#!/usr/bin/env python3
"""Writes the pictures the resource scripts include, so that no opaque
binary is kept in the sources:

  makeimages.py bitmap OUT.bmp   a 48 x 64 24-bit picture: a vertical blue
                                 gradient in a dark frame, with a white
                                 diagonal, so that a stretched copy shows
                                 which way it was stretched
  makeimages.py icon OUT.ico     a 16 x 16 32-bit icon with its mask: a red
                                 square whose corners are transparent
  makeimages.py pages OUTDIR REGULAR.ttf BOLD.ttf
                                 the setup pages' backgrounds (imaging/skin.py):
                                 welcome.bmp, licence.bmp (8 bits), closing.bmp,
                                 finish.bmp, slide1.bmp ... slide6.bmp
  makeimages.py controls OUTDIR REGULAR.ttf BOLD.ttf
                                 the pictures of the pages' controls:
                                 button150.bmp ... button176.bmp, progress.bmp,
                                 checked.ico, unchecked.ico, choice.ico,
                                 chosen.ico, and pagelogo.bmp for the HTML pages
  makeimages.py programicon OUT.ico
                                 the setup program's own icon, 32, 16 and 48
                                 pixels (the standard size first: the
                                 window layer takes the first image)

The fonts are the faces the pages' captions are set in (fonts-liberation's
Liberation Sans, regular and bold).
"""
import os
import struct
import sys

from imaging import formats, skin
from imaging.truetype import Font


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


def write_pages(folder, regular, bold):
    fonts = skin.Fonts(Font(regular), Font(bold))
    os.makedirs(folder, exist_ok=True)
    for name, draw in (("welcome", skin.welcome), ("closing", skin.closing), ("finish", skin.finish)):
        formats.write_bmp24(os.path.join(folder, name + ".bmp"), draw(fonts).rgb_rows())
    formats.write_bmp8(os.path.join(folder, "licence.bmp"), skin.licence(fonts).rgb_rows())
    for number in range(1, len(skin.SLIDES) + 1):
        formats.write_bmp24(os.path.join(folder, "slide%d.bmp" % number), skin.slide(fonts, number).rgb_rows())


def write_controls(folder, regular, bold):
    fonts = skin.Fonts(Font(regular), Font(bold))
    os.makedirs(folder, exist_ok=True)
    for number, caption, kind, state in skin.BUTTONS:
        picture = skin.button(fonts, caption, kind, state)
        formats.write_bmp24(os.path.join(folder, "button%d.bmp" % number), picture.rgb_rows())
    formats.write_bmp24(os.path.join(folder, "progress.bmp"), skin.progress_pattern().rgb_rows())
    formats.write_bmp24(os.path.join(folder, "pagelogo.bmp"), skin.page_logo(fonts).rgb_rows())
    for name, picture in (("checked", skin.check_icon(True)), ("unchecked", skin.check_icon(False)),
                          ("choice", skin.choice_icon(False)), ("chosen", skin.choice_icon(True))):
        formats.write_ico(os.path.join(folder, name + ".ico"), [picture.rgba_rows()])


def write_program_icon(path):
    formats.write_ico(path, [skin.program_icon(size).rgba_rows() for size in (32, 16, 48)])


if __name__ == "__main__":
    kind, arguments = sys.argv[1], sys.argv[2:]
    {
        "bitmap": write_bitmap,
        "icon": write_icon,
        "pages": write_pages,
        "controls": write_controls,
        "programicon": write_program_icon,
    }[kind](*arguments)
