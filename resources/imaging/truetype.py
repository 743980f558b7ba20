"""Glyph outlines of a TrueType font file, enough to set the setup skin's
captions in the faces the pages use (fonts-liberation): the character map
(format 4), horizontal metrics, pair kerning (the 'kern' table, format 0) and
simple and composite glyphs. Hinting instructions are not run; the text is
drawn anti-aliased from the outlines, which at caption sizes reads well.
"""
import struct


class Font:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.tables = {}
        (count,) = struct.unpack_from(">H", self.data, 4)
        for i in range(count):
            tag, _, offset, length = struct.unpack_from(">4sIII", self.data, 12 + 16 * i)
            self.tables[tag.decode("latin-1")] = (offset, length)
        head = self.tables["head"][0]
        (self.units_per_em,) = struct.unpack_from(">H", self.data, head + 18)
        (self.long_loca,) = struct.unpack_from(">h", self.data, head + 50)
        hhea = self.tables["hhea"][0]
        (self.ascender,) = struct.unpack_from(">h", self.data, hhea + 4)
        (self.metric_count,) = struct.unpack_from(">H", self.data, hhea + 34)
        (self.glyph_count,) = struct.unpack_from(">H", self.data, self.tables["maxp"][0] + 4)
        self.cmap = self._read_cmap()
        self.kerning = self._read_kerning()
        self._outlines = {}

    def _read_cmap(self):
        base = self.tables["cmap"][0]
        (count,) = struct.unpack_from(">H", self.data, base + 2)
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", self.data, base + 4 + 8 * i)
            if (platform, encoding) in ((3, 1), (0, 3)):
                table = base + offset
                (fmt,) = struct.unpack_from(">H", self.data, table)
                if fmt == 4:
                    return self._read_cmap4(table)
        raise ValueError("the font has no Unicode character map of format 4")

    def _read_cmap4(self, table):
        (segments2,) = struct.unpack_from(">H", self.data, table + 6)
        segments = segments2 // 2
        ends = table + 14
        starts = ends + segments2 + 2
        deltas = starts + segments2
        ranges = deltas + segments2
        mapping = {}
        for s in range(segments):
            (end,) = struct.unpack_from(">H", self.data, ends + 2 * s)
            (start,) = struct.unpack_from(">H", self.data, starts + 2 * s)
            (delta,) = struct.unpack_from(">h", self.data, deltas + 2 * s)
            (range_offset,) = struct.unpack_from(">H", self.data, ranges + 2 * s)
            for code in range(start, min(end, 0xFFFE) + 1):
                if range_offset == 0:
                    glyph = (code + delta) & 0xFFFF
                else:
                    at = ranges + 2 * s + range_offset + 2 * (code - start)
                    (glyph,) = struct.unpack_from(">H", self.data, at)
                    if glyph:
                        glyph = (glyph + delta) & 0xFFFF
                if glyph:
                    mapping[code] = glyph
        return mapping

    def _read_kerning(self):
        pairs = {}
        if "kern" not in self.tables:
            return pairs
        base = self.tables["kern"][0]
        (count,) = struct.unpack_from(">H", self.data, base + 2)
        at = base + 4
        for _ in range(count):
            _, length, coverage = struct.unpack_from(">HHH", self.data, at)
            if coverage >> 8 == 0 and coverage & 1:  # format 0, horizontal
                (n,) = struct.unpack_from(">H", self.data, at + 6)
                for i in range(n):
                    left, right, value = struct.unpack_from(">HHh", self.data, at + 14 + 6 * i)
                    pairs[(left, right)] = value
            at += length
        return pairs

    def glyph(self, char):
        return self.cmap.get(ord(char), 0)

    def advance(self, glyph):
        hmtx = self.tables["hmtx"][0]
        index = min(glyph, self.metric_count - 1)
        (width,) = struct.unpack_from(">H", self.data, hmtx + 4 * index)
        return width

    def _glyph_range(self, glyph):
        loca = self.tables["loca"][0]
        if self.long_loca:
            start, end = struct.unpack_from(">II", self.data, loca + 4 * glyph)
        else:
            start, end = (2 * v for v in struct.unpack_from(">HH", self.data, loca + 2 * glyph))
        glyf = self.tables["glyf"][0]
        return glyf + start, end - start

    def outline(self, glyph):
        """The glyph's contours in font units (y up): lists of (x, y, on_curve)."""
        if glyph not in self._outlines:
            self._outlines[glyph] = self._read_outline(glyph, 0)
        return self._outlines[glyph]

    def _read_outline(self, glyph, depth):
        at, length = self._glyph_range(glyph)
        if length == 0 or depth > 8:
            return []
        (contour_count,) = struct.unpack_from(">h", self.data, at)
        if contour_count >= 0:
            return self._simple(at, contour_count)
        return self._composite(at, depth)

    def _simple(self, at, contour_count):
        ends = struct.unpack_from(">%dH" % contour_count, self.data, at + 10)
        point_count = ends[-1] + 1 if ends else 0
        at += 10 + 2 * contour_count
        (instructions,) = struct.unpack_from(">H", self.data, at)
        at += 2 + instructions
        flags = []
        while len(flags) < point_count:
            flag = self.data[at]
            at += 1
            flags.append(flag)
            if flag & 8:
                repeat = self.data[at]
                at += 1
                flags.extend([flag] * repeat)
        coordinates = []
        for short_bit, same_bit in ((2, 16), (4, 32)):
            value, values = 0, []
            for flag in flags[:point_count]:
                if flag & short_bit:
                    delta = self.data[at]
                    at += 1
                    value += delta if flag & same_bit else -delta
                elif not flag & same_bit:
                    (delta,) = struct.unpack_from(">h", self.data, at)
                    at += 2
                    value += delta
                values.append(value)
            coordinates.append(values)
        xs, ys = coordinates
        contours, begin = [], 0
        for end in ends:
            contours.append([(xs[i], ys[i], bool(flags[i] & 1)) for i in range(begin, end + 1)])
            begin = end + 1
        return contours

    def _composite(self, at, depth):
        at += 10
        contours = []
        while True:
            flags, component = struct.unpack_from(">HH", self.data, at)
            at += 4
            if flags & 1:
                dx, dy = struct.unpack_from(">hh", self.data, at)
                at += 4
            else:
                dx, dy = struct.unpack_from(">bb", self.data, at)
                at += 2
            if not flags & 2:
                dx = dy = 0  # point matching: not used by the faces here
            a, b, c, d = 1.0, 0.0, 0.0, 1.0
            if flags & 8:
                (a,) = struct.unpack_from(">h", self.data, at)
                a = d = a / 16384
                at += 2
            elif flags & 0x40:
                a, d = (v / 16384 for v in struct.unpack_from(">hh", self.data, at))
                at += 4
            elif flags & 0x80:
                a, b, c, d = (v / 16384 for v in struct.unpack_from(">hhhh", self.data, at))
                at += 8
            for contour in self._read_outline(component, depth + 1):
                contours.append([(a * x + c * y + dx, b * x + d * y + dy, on) for x, y, on in contour])
            if not flags & 0x20:
                return contours


def _quadratic(p0, control, p1, out):
    # Enough segments that the chord stays within a tenth of a pixel.
    dx = p0[0] - 2 * control[0] + p1[0]
    dy = p0[1] - 2 * control[1] + p1[1]
    steps = max(1, min(16, int((dx * dx + dy * dy) ** 0.25 * 1.5) + 1))
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        out.append((u * u * p0[0] + 2 * u * t * control[0] + t * t * p1[0],
                    u * u * p0[1] + 2 * u * t * control[1] + t * t * p1[1]))


def flatten(contour, scale, x, y):
    """A contour of on- and off-curve points as a polygon in pixels (y down),
    with the glyph's origin at (x, y)."""
    points = [(x + px * scale, y - py * scale, on) for px, py, on in contour]
    if not points:
        return []
    # Start on a point that lies on the curve (or between two off-curve ones).
    start = next((i for i, p in enumerate(points) if p[2]), None)
    if start is None:
        a, b = points[0], points[1 % len(points)]
        first = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        ordered = points[1:] + points[:1]
    else:
        first = points[start][:2]
        ordered = points[start + 1:] + points[:start]
    polygon = [first]
    current, control = first, None
    for px, py, on in ordered + [(first[0], first[1], True)]:
        if on:
            if control is None:
                polygon.append((px, py))
            else:
                _quadratic(current, control, (px, py), polygon)
                control = None
            current = (px, py)
        else:
            if control is not None:
                middle = ((control[0] + px) / 2, (control[1] + py) / 2)
                _quadratic(current, control, middle, polygon)
                current = middle
            control = (px, py)
    return polygon


class Face:
    """A font at a size in pixels (the em height)."""

    def __init__(self, font, size):
        self.font = font
        self.size = size
        self.scale = size / font.units_per_em

    @property
    def ascent(self):
        return self.font.ascender * self.scale

    def _glyphs(self, text):
        previous = None
        for char in text:
            glyph = self.font.glyph(char)
            kern = self.font.kerning.get((previous, glyph), 0) if previous is not None else 0
            yield glyph, kern * self.scale
            previous = glyph

    def width(self, text):
        total = 0.0
        for glyph, kern in self._glyphs(text):
            total += kern + self.font.advance(glyph) * self.scale
        return total

    def polygons(self, text, x, baseline):
        """The outlines of `text` set from (x, baseline), as pixel polygons."""
        result = []
        for glyph, kern in self._glyphs(text):
            x += kern
            for contour in self.font.outline(glyph):
                polygon = flatten(contour, self.scale, x, baseline)
                if len(polygon) > 2:
                    result.append(polygon)
            x += self.font.advance(glyph) * self.scale
        return result
