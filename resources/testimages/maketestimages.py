#!/usr/bin/env python3
"""Writes the pictures of testimages.dll, the image loader's test library, so
that no opaque binary is kept in the sources. Each picture is small and made
of plain colours, so that a test can name the pixel it expects:

  maketestimages.py OUTDIR

  bars24.bmp    6 x 4, 24 bits: the top row white, below it two columns each
                of red, green and blue
  palette8.bmp  4 x 2, 8 bits with a full 256-entry table (entry i is
                (i, 255 - i, i // 2)); top row indices 0 50 100 255, bottom
                row 10 20 30 40
  quads24.bmp   8 x 8, 24 bits: 4 x 4 quadrants red, green (top), blue,
                white (bottom), for pattern brushes
  twosizes.ico  three images with AND masks: 16 x 16 24-bit green whose two
                left columns and two top rows are transparent; 32 x 32 4-bit
                magenta, opaque; 32 x 32 24-bit blue whose top-left 8 x 8
                block is transparent
  hotspot.cur   32 x 32 monochrome cursor, hot spot (5, 7): a black 8 x 8
                block at (4, 4), the rest transparent

and the damaged pictures, stored under the picture resource types as raw
data by the resource script:

  cut.dib       a packed DIB that claims 64 x 64 at 24 bits with rows for 2
  os2.dib       a 2 x 2 picture with the 12-byte OS/2 header
  rle.dib       a 4 x 4 8-bit picture marked run-length compressed
  cutdir.grp    an icon directory that claims 3 images and holds 1
  missing.grp   an icon directory whose one image id (999) does not exist
  badmask.ico   an icon image (RT_ICON) whose mask is cut short
  masked.grp    a directory of two images: 601 (PNG, not read) and 602
  png.ico       an RT_ICON image stored as PNG (its signature suffices)
  good16.ico    the 16 x 16 image of twosizes.ico as a bare RT_ICON image
  badmask.grp   a directory whose one image is 603 (badmask.ico)
"""
import os
import struct
import sys


def row_bytes(pixels, bits):
    """One row of pixels to DIB bytes, padded to 4 bytes."""
    out = bytearray()
    if bits == 24:
        for r, g, b in pixels:
            out += bytes((b, g, r))
    elif bits == 8:
        out += bytes(pixels)
    elif bits == 4:
        for i in range(0, len(pixels), 2):
            hi = pixels[i]
            lo = pixels[i + 1] if i + 1 < len(pixels) else 0
            out.append((hi << 4) | lo)
    elif bits == 1:
        for i in range(0, len(pixels), 8):
            byte = 0
            for j in range(8):
                bit = pixels[i + j] if i + j < len(pixels) else 0
                byte = (byte << 1) | bit
            out.append(byte)
    out += b"\0" * ((4 - len(out) % 4) % 4)
    return bytes(out)


def info_header(width, height, bits, colours=0, compression=0, size_image=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image, 0, 0, colours, 0)


def table(entries):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in entries)


def packed_dib(rows, bits, entries=()):
    """rows top row first; the DIB stores them bottom-up."""
    width = len(rows[0])
    pixels = b"".join(row_bytes(r, bits) for r in reversed(rows))
    return info_header(width, len(rows), bits, len(entries)) + table(entries) + pixels


def bmp_file(dib, table_bytes):
    offset = 14 + 40 + table_bytes
    return struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, offset) + dib


def icon_image(colour_rows, mask_rows, bits, entries=()):
    """colour_rows and mask_rows top row first; mask 1 = transparent."""
    width, height = len(colour_rows[0]), len(colour_rows)
    colour = b"".join(row_bytes(r, bits) for r in reversed(colour_rows))
    mask = b"".join(row_bytes(r, 1) for r in reversed(mask_rows))
    return info_header(width, height * 2, bits, len(entries)) + table(entries) + colour + mask


def icon_file(images, cursor_hotspots=None):
    """images: (width, height, bits, data). A .cur file keeps the hot spot in
    the directory's planes and bit-count fields."""
    kind = 2 if cursor_hotspots else 1
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for i, (w, h, bits, data) in enumerate(images):
        if cursor_hotspots:
            x, y = cursor_hotspots[i]
            out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, x, y, len(data), offset)
        else:
            out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, _, _, d in images)


def group(ids, width=16, height=16, bits=24):
    out = struct.pack("<HHH", 0, 1, len(ids))
    for i in ids:
        out += struct.pack("<BBBBHHIH", width, height, 0, 0, 1, bits, 0, i)
    return out


RED, GREEN, BLUE, WHITE, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    bars = [[WHITE] * 6] + [[RED, RED, GREEN, GREEN, BLUE, BLUE] for _ in range(3)]
    write(folder, "bars24.bmp", bmp_file(packed_dib(bars, 24), 0))

    palette = [(i, 255 - i, i // 2) for i in range(256)]
    write(folder, "palette8.bmp", bmp_file(packed_dib([[0, 50, 100, 255], [10, 20, 30, 40]], 8, palette), 1024))

    quads = [[(RED if x < 4 else GREEN) if y < 4 else (BLUE if x < 4 else WHITE) for x in range(8)] for y in range(8)]
    write(folder, "quads24.bmp", bmp_file(packed_dib(quads, 24), 0))

    small_mask = [[1 if x < 2 or y < 2 else 0 for x in range(16)] for y in range(16)]
    small = [[BLACK if small_mask[y][x] else (0, 200, 0) for x in range(16)] for y in range(16)]
    small_image = icon_image(small, small_mask, 24)
    vga = [(0, 0, 0)] * 5 + [(255, 0, 255)] + [(0, 0, 0)] * 10
    magenta = icon_image([[5] * 32 for _ in range(32)], [[0] * 32 for _ in range(32)], 4, vga)
    big_mask = [[1 if x < 8 and y < 8 else 0 for x in range(32)] for y in range(32)]
    big = [[BLACK if big_mask[y][x] else BLUE for x in range(32)] for y in range(32)]
    big_image = icon_image(big, big_mask, 24)
    write(folder, "twosizes.ico",
          icon_file([(16, 16, 24, small_image), (32, 32, 4, magenta), (32, 32, 24, big_image)]))

    cursor_mask = [[0 if 4 <= x < 12 and 4 <= y < 12 else 1 for x in range(32)] for y in range(32)]
    cursor_xor = [[0] * 32 for _ in range(32)]
    cursor = icon_image(cursor_xor, cursor_mask, 1, [BLACK, WHITE])
    write(folder, "hotspot.cur", icon_file([(32, 32, 1, cursor)], cursor_hotspots=[(5, 7)]))

    # Damaged pictures.
    write(folder, "cut.dib", info_header(64, 64, 24) + b"\x10" * (2 * 64 * 3))
    write(folder, "os2.dib", struct.pack("<IHHHH", 12, 2, 2, 1, 24) + b"\0" * 16)
    write(folder, "rle.dib", info_header(4, 4, 8, 0, 1) + table([BLACK] * 256) + b"\0" * 16)
    write(folder, "cutdir.grp", group([701, 702, 703])[:6 + 14])
    write(folder, "missing.grp", group([999]))
    write(folder, "badmask.ico", small_image[:-40])
    write(folder, "badmask.grp", group([603]))
    write(folder, "png.ico", b"\x89PNG\r\n\x1a\n" + b"\0" * 64)
    write(folder, "good16.ico", small_image)
    write(folder, "masked.grp", group([601, 602]))


if __name__ == "__main__":
    main(sys.argv[1])
