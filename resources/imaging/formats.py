"""Writers of the picture files the resource compiler takes: .bmp (24 bits,
or 8 bits with a colour table of 256 entries made by median cut) and .ico
(32-bit images with their AND masks, several sizes in one file).
"""
import struct


def _bmp_file(width, height, bits, table, rows):
    pixels = b"".join(reversed(rows))  # BMP rows run bottom-up
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + table + pixels


def _padded(values):
    row = bytes(values)
    return row + b"\0" * ((4 - len(row) % 4) % 4)


def write_bmp24(path, rgb_rows):
    height, width = len(rgb_rows), len(rgb_rows[0])
    rows = [_padded(channel for r, g, b in row for channel in (b, g, r)) for row in rgb_rows]
    with open(path, "wb") as out:
        out.write(_bmp_file(width, height, 24, b"", rows))


def median_cut(colours, count):
    """At most `count` representative colours of a {colour: pixels} census:
    the box with the widest channel is split at its median until there are
    enough boxes; each box gives its pixel-weighted mean."""
    boxes = [list(colours.items())]
    while len(boxes) < count:
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = i, spread, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_channel])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for cut, (_, n) in enumerate(box, 1):
            running += n
            if running * 2 >= total:
                break
        cut = min(max(cut, 1), len(box) - 1)
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[i] * n for c, n in box) / total)) for i in range(3)))
    return palette


def write_bmp8(path, rgb_rows):
    """An 8-bit picture. A picture of at most 256 colours keeps them exactly;
    a richer one is reduced by median cut, each pixel taking its nearest
    palette colour."""
    height, width = len(rgb_rows), len(rgb_rows[0])
    census = {}
    for row in rgb_rows:
        for colour in row:
            census[colour] = census.get(colour, 0) + 1
    if len(census) <= 256:
        palette = sorted(census)
    else:
        # Colours that cover a good part of the picture (its flat grounds,
        # which buttons are matched against) are kept exactly; the rest is
        # cut down to the entries left.
        fixed = sorted((c for c, n in census.items() if n * 200 >= width * height), key=census.get,
                       reverse=True)[:64]
        rest = {c: n for c, n in census.items() if c not in fixed}
        palette = fixed + median_cut(rest, 256 - len(fixed))
    index = {}
    for colour in census:
        index[colour] = min(range(len(palette)),
                            key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))
    palette += [(0, 0, 0)] * (256 - len(palette))  # the full table the format allows
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    rows = [_padded(index[colour] for colour in row) for row in rgb_rows]
    with open(path, "wb") as out:
        out.write(_bmp_file(width, height, 8, table, rows))


def _icon_image(rgba_rows):
    size = len(rgba_rows)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rgba_rows):  # bottom-up
        bits = 0
        for r, g, b, a in row:
            # Premultiplied nowhere: the colour is straight and the AND mask
            # marks what is fully transparent, for drawers without alpha.
            colour += bytes((b, g, r, a))
            bits = (bits << 1) | (1 if a == 0 else 0)
        mask += _padded(bits.to_bytes((size + 7) // 8, "big"))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def write_ico(path, images):
    """An icon file of square RGBA pictures (lists of rows), in that order."""
    encoded = [_icon_image(rows) for rows in images]
    directory = struct.pack("<HHH", 0, 1, len(encoded))
    offset = 6 + 16 * len(encoded)
    entries = b""
    for rows, data in zip(images, encoded):
        size = len(rows)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(encoded))
