"""A small RGBA picture with anti-aliased drawing, enough for the setup skin:
flat and gradient fills, polygons (so rounded rectangles, circles, rings,
thick lines) and text from a TrueType face.

Shapes are rasterised by exact area coverage: every polygon edge adds its
signed area to the cells it crosses and a running sum along each row gives
the covered fraction of every pixel (the accumulation method of the font-rs
renderer). Contours wound the other way cut holes.
"""
import math


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hex_colour(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def coverage(polygons, x0, y0, width, height):
    """The covered fraction of each pixel of the box (x0, y0, width, height)
    under the polygons (lists of (x, y) points, implicitly closed)."""
    stride = width + 2
    acc = [0.0] * (stride * height + 2)
    for polygon in polygons:
        n = len(polygon)
        for i in range(n):
            ax, ay = polygon[i]
            bx, by = polygon[(i + 1) % n]
            _edge(acc, stride, width, height, ax - x0, ay - y0, bx - x0, by - y0)
    result = []
    for row in range(height):
        total = 0.0
        line = []
        base = row * stride
        for col in range(width):
            total += acc[base + col]
            line.append(min(1.0, abs(total)))
        result.append(line)
    return result


def _edge(acc, stride, width, height, x0, y0, x1, y1):
    if y0 == y1:
        return
    direction = 1.0
    if y0 > y1:
        direction = -1.0
        x0, y0, x1, y1 = x1, y1, x0, y0
    dxdy = (x1 - x0) / (y1 - y0)
    x = x0
    if y0 < 0:
        x -= y0 * dxdy
    limit = width - 1e-6
    for row in range(max(0, int(math.floor(y0))), min(height, int(math.ceil(y1)))):
        base = row * stride
        dy = min(row + 1.0, y1) - max(float(row), y0)
        xnext = x + dxdy * dy
        d = dy * direction
        # Past the right edge nothing is seen; left of the box the whole area
        # lands in the first column, which is what the running sum needs.
        a = min(max(x, 0.0), limit)
        b = min(max(xnext, 0.0), limit)
        left, right = (a, b) if a < b else (b, a)
        left_floor = math.floor(left)
        li = int(left_floor)
        right_ceil = math.ceil(right)
        if right_ceil <= left_floor + 1:
            middle = 0.5 * (a + b) - left_floor
            acc[base + li] += d - d * middle
            acc[base + li + 1] += d * middle
        else:
            s = 1.0 / (right - left)
            left_frac = left - left_floor
            a0 = 0.5 * s * (1.0 - left_frac) ** 2
            right_frac = right - right_ceil + 1.0
            am = 0.5 * s * right_frac * right_frac
            acc[base + li] += d * a0
            ri = int(right_ceil)
            if ri == li + 2:
                acc[base + li + 1] += d * (1.0 - a0 - am)
            else:
                a1 = s * (1.5 - left_frac)
                acc[base + li + 1] += d * (a1 - a0)
                for xi in range(li + 2, ri - 1):
                    acc[base + xi] += d * s
                a2 = a1 + (ri - li - 3) * s
                acc[base + ri - 1] += d * (1.0 - a2 - am)
            acc[base + ri] += d * am
        x = xnext


def rounded_rectangle(x0, y0, x1, y1, radius, clockwise=True):
    radius = max(0.0, min(radius, (x1 - x0) / 2, (y1 - y0) / 2))
    points = []
    corners = ((x1 - radius, y0 + radius, -90), (x1 - radius, y1 - radius, 0),
               (x0 + radius, y1 - radius, 90), (x0 + radius, y0 + radius, 180))
    steps = max(2, int(radius * 1.5))
    for cx, cy, start in corners:
        for i in range(steps + 1):
            angle = math.radians(start + 90 * i / steps)
            points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points if clockwise else points[::-1]


def circle(cx, cy, radius, clockwise=True):
    steps = max(12, int(radius * 4))
    points = [(cx + radius * math.cos(2 * math.pi * i / steps), cy + radius * math.sin(2 * math.pi * i / steps))
              for i in range(steps)]
    return points if clockwise else points[::-1]


def thick_line(points, width):
    """A polyline of `width` pixels as one polygon per segment, square ends."""
    polygons = []
    half = width / 2
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        length = math.hypot(bx - ax, by - ay)
        if length == 0:
            continue
        nx, ny = -(by - ay) / length * half, (bx - ax) / length * half
        polygons.append([(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)])
    return polygons


class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[list(map(float, colour)) for _ in range(width)] for _ in range(height)]
        self.alpha = [[1.0] * width for _ in range(height)]

    def clear_alpha(self):
        """Makes the whole picture transparent (for icons): drawing then lays
        colour and opacity down together."""
        self.alpha = [[0.0] * self.width for _ in range(self.height)]

    def blend(self, x, y, colour, amount):
        if amount <= 0:
            return
        pixel = self.pixels[y][x]
        a = self.alpha[y][x]
        out = amount + a * (1 - amount)
        if out <= 0:
            return
        for i in range(3):
            pixel[i] = (colour[i] * amount + pixel[i] * a * (1 - amount)) / out
        self.alpha[y][x] = out

    def fill_rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.pixels[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = list(map(float, colour))
                self.alpha[y][x] = 1.0

    def shade(self, x0, y0, x1, y1, paint):
        """Sets every pixel of the box to paint(x, y)."""
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.pixels[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = list(paint(x, y))
                self.alpha[y][x] = 1.0

    def vertical_gradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        self.shade(x0, y0, x1, y1, lambda x, y: mix(top, bottom, (y - y0) / span))

    def fill(self, polygons, paint, opacity=1.0):
        """Fills polygons with a colour or with paint(x, y)."""
        points = [p for polygon in polygons for p in polygon]
        if not points:
            return
        x0 = max(0, int(math.floor(min(p[0] for p in points))))
        y0 = max(0, int(math.floor(min(p[1] for p in points))))
        x1 = min(self.width, int(math.ceil(max(p[0] for p in points))) + 1)
        y1 = min(self.height, int(math.ceil(max(p[1] for p in points))) + 1)
        if x1 <= x0 or y1 <= y0:
            return
        cover = coverage(polygons, x0, y0, x1 - x0, y1 - y0)
        solid = None if callable(paint) else paint
        for row, line in enumerate(cover):
            for col, amount in enumerate(line):
                if amount > 0:
                    x, y = x0 + col, y0 + row
                    self.blend(x, y, solid if solid else paint(x, y), amount * opacity)

    def text(self, face, text, x, baseline, colour, opacity=1.0):
        self.fill(face.polygons(text, x, baseline), colour, opacity)

    def text_centred(self, face, text, cx, cy, colour, opacity=1.0):
        """Text centred on (cx, cy), by its advance width and the height of
        its capitals, so captions of different letters sit alike."""
        width = face.width(text)
        cap = face.ascent * 0.72
        self.text(face, text, cx - width / 2, cy + cap / 2, colour, opacity)

    def rgb_rows(self):
        """Rows top first, each a list of (r, g, b) bytes."""
        return [[tuple(min(255, max(0, int(round(c)))) for c in pixel) for pixel in row] for row in self.pixels]

    def rgba_rows(self):
        return [[tuple(min(255, max(0, int(round(c)))) for c in pixel) + (int(round(a * 255)),)
                 for pixel, a in zip(row, alpha)] for row, alpha in zip(self.pixels, self.alpha)]
