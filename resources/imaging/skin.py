"""The pictures of the setup program's skin (IntallerRes.dll): page
backgrounds, button pictures, the progress-bar pattern, the check-box and
choice icons, the HTML pages' logo, and the setup program's own icon.

One look runs through them: a deep navy upper part with a blueprint grid
and a line drawing, where the pages draw white (or yellow) text; a light
lower part and a light button bar, where they draw black text; blue primary
buttons (Install, Next, Finish) and white secondary ones. The layout numbers
below are pixels of a 500 x 380 page; the dialog templates in
IntallerRes.rc put their controls on the same places, in dialog units of
"MS Shell Dlg" 8, whose 6 x 12 pixels per 4 x 8 units make one dialog unit
1.5 pixels each way.

Owner-drawn buttons copy their picture 1:1 without transparency, so every
button sits on a flat colour of the page and its rounded corners are
smoothed against exactly that colour.
"""
import math

from . import canvas as cv
from .canvas import Canvas, hex_colour, mix
from .truetype import Face

PAGE_WIDTH, PAGE_HEIGHT = 500, 380
BUTTON_WIDTH, BUTTON_HEIGHT = 90, 30
BAR_TOP = 324  # the light button bar along the bottom of every page

NAVY_TOP = hex_colour("0B2545")
NAVY_BOTTOM = hex_colour("15457A")
BAND = hex_colour("0C203B")  # the flat dark band behind the path field and the progress bar
LIGHT = hex_colour("F3F6FA")
LIGHT_LINE = hex_colour("D8DFE8")
ACCENT = hex_colour("2F80ED")
ACCENT_DEEP = hex_colour("1746A2")
LINE_ART = hex_colour("7CC4FF")
INK = hex_colour("22324A")
WHITE = (255, 255, 255)


class Fonts:
    """The faces the pictures set their captions in."""

    def __init__(self, regular, bold):
        self.regular = regular
        self.bold = bold

    def face(self, size, bold=False):
        return Face(self.bold if bold else self.regular, size)


# Drawing helpers ----------------------------------------------------------

def blueprint_grid(c, y0, y1, opacity=1.0):
    """Fine and major grid lines, barely lighter than the ground."""
    for x in range(0, c.width, 20):
        strength = 0.09 if x % 100 == 0 else 0.04
        for y in range(y0, y1):
            c.blend(x, y, WHITE, strength * opacity)
    for y in range(y0 - y0 % 20, y1, 20):
        if y < y0:
            continue
        strength = 0.09 if y % 100 == 0 else 0.04
        for x in range(c.width):
            c.blend(x, y, WHITE, strength * opacity)


def ring(cx, cy, radius, width):
    return [cv.circle(cx, cy, radius + width / 2), cv.circle(cx, cy, radius - width / 2, clockwise=False)]


def arc(cx, cy, radius, start, end, steps=48):
    return [(cx + radius * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + radius * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]


def dashed(points, dash=8, gap=4):
    """A straight line from points[0] to points[1] cut into dashes."""
    (ax, ay), (bx, by) = points
    length = math.hypot(bx - ax, by - ay)
    result, at = [], 0.0
    while at < length:
        end = min(length, at + dash)
        result.append([(ax + (bx - ax) * at / length, ay + (by - ay) * at / length),
                       (ax + (bx - ax) * end / length, ay + (by - ay) * end / length)])
        at = end + gap
    return result


def stroke(c, points, colour, width=1.2, opacity=1.0):
    c.fill(cv.thick_line(points, width), colour, opacity)


def arrow_head(tip, towards, size=6):
    (tx, ty), (fx, fy) = tip, towards
    length = math.hypot(fx - tx, fy - ty)
    ux, uy = (fx - tx) / length, (fy - ty) / length
    return [(tx, ty), (tx + ux * size - uy * size / 2.5, ty + uy * size + ux * size / 2.5),
            (tx + ux * size + uy * size / 2.5, ty + uy * size - ux * size / 2.5)]


def dimension(c, fonts, a, b, offset, text, colour, opacity):
    """A linear dimension between a and b, its line `offset` pixels above."""
    (ax, ay), (bx, by) = a, b
    la, lb = (ax, ay - offset), (bx, by - offset)
    stroke(c, [(ax, ay - 3), (ax, ay - offset - 4)], colour, 1, opacity)
    stroke(c, [(bx, by - 3), (bx, by - offset - 4)], colour, 1, opacity)
    stroke(c, [la, lb], colour, 1, opacity)
    c.fill([arrow_head(la, lb), arrow_head(lb, la)], colour, opacity)
    face = fonts.face(11)
    c.text(face, text, (ax + bx) / 2 - face.width(text) / 2, ay - offset - 4, colour, opacity)


def mark(c, x, y, size):
    """The product's mark: a blue tile with a drawn circle and a crosshair,
    the picture of a CAD cursor over a drawing."""
    radius = size * 0.22
    c.fill([cv.rounded_rectangle(x, y, x + size, y + size, radius)],
           lambda px, py: mix(ACCENT, ACCENT_DEEP, ((px - x) + (py - y)) / (2 * size)))
    cx, cy = x + size * 0.5, y + size * 0.5
    if size < 24:
        # Small sizes keep only what stays legible: the circle and the cross.
        c.fill(ring(cx, cy, size * 0.26, 1.6), WHITE)
        stroke(c, [(x + size * 0.14, cy), (x + size * 0.86, cy)], WHITE, 1.4)
        stroke(c, [(cx, y + size * 0.14), (cx, y + size * 0.86)], WHITE, 1.4)
        return
    line = max(1.0, size / 16)
    c.fill(ring(cx, cy, size * 0.24, line * 1.4), WHITE)
    stroke(c, [(x + size * 0.16, cy), (x + size * 0.84, cy)], WHITE, line)
    stroke(c, [(cx, y + size * 0.16), (cx, y + size * 0.84)], WHITE, line)
    half = size * 0.07
    c.fill([cv.rounded_rectangle(cx - half, cy - half, cx + half, cy + half, 0.5)], ACCENT_DEEP)
    c.fill(ring(cx, cy, half, line * 0.9), WHITE)


def brand(c, fonts, x, y, mark_size, title_size):
    """Mark, product name and maker, top-left."""
    mark(c, x, y, mark_size)
    title = fonts.face(title_size, bold=True)
    tx = x + mark_size + 12
    baseline = y + mark_size * 0.5 + title.ascent * 0.25
    c.text(title, "DWG Merrowin", tx, baseline, WHITE)
    maker = fonts.face(max(10, title_size * 0.45))
    c.text(maker, "Halvorn Company", tx + 1, baseline + maker.size + 4, hex_colour("9CC3F5"))


def flange_drawing(c, fonts, cx, cy, scale=1.0, opacity=0.8, colour=LINE_ART):
    """A drawing of a flange: outline, bore, bolt circle with holes, centre
    lines and a dimension, as the viewer would show it."""
    c.fill(ring(cx, cy, 70 * scale, 1.6), colour, opacity)
    c.fill(ring(cx, cy, 30 * scale, 1.6), colour, opacity)
    c.fill(ring(cx, cy, 50 * scale, 1.0), colour, opacity * 0.45)
    for i in range(6):
        angle = math.radians(30 + 60 * i)
        hx, hy = cx + 50 * scale * math.cos(angle), cy + 50 * scale * math.sin(angle)
        c.fill(ring(hx, hy, 7 * scale, 1.4), colour, opacity)
    for segment in dashed([(cx - 86 * scale, cy), (cx + 86 * scale, cy)], 10, 4) + \
            dashed([(cx, cy - 86 * scale), (cx, cy + 86 * scale)], 10, 4):
        stroke(c, segment, colour, 0.9, opacity * 0.6)
    dimension(c, fonts, (cx - 70 * scale, cy - 70 * scale), (cx + 70 * scale, cy - 70 * scale), 14,
              "\u00d8140", colour, opacity)


def hero(c, y0, y1, top=NAVY_TOP, bottom=NAVY_BOTTOM, grid=True):
    c.vertical_gradient(0, y0, c.width, y1, top, bottom)
    if grid:
        blueprint_grid(c, y0, y1)


def light_area(c, y0, bar_line=True):
    c.fill_rect(0, y0, c.width, c.height, LIGHT)
    if bar_line:
        c.fill_rect(0, BAR_TOP, c.width, BAR_TOP + 1, LIGHT_LINE)


def field_box(c, x0, y0, x1, y1):
    """The sunken field that the path label shows the install folder in."""
    c.fill([cv.rounded_rectangle(x0, y0, x1, y1, 4)], hex_colour("3D6496"))
    c.fill([cv.rounded_rectangle(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3)], hex_colour("081A31"))


# Page backgrounds ---------------------------------------------------------

def welcome(fonts):
    """129: the welcome page. Hero with the brand and a drawing (intro text
    1032 in white at y 114, left of the drawing); the flat band 196-266 with
    the folder caption (1031), the path field (1040 / edit 1023) and Browse;
    the light part with the licence check box, its texts and the
    requirements link (black) and the button bar."""
    c = Canvas(PAGE_WIDTH, PAGE_HEIGHT)
    hero(c, 0, 196)
    flange_drawing(c, fonts, 392, 108)
    brand(c, fonts, 24, 26, 48, 28)
    c.fill_rect(0, 196, PAGE_WIDTH, 266, BAND)
    c.fill_rect(0, 196, PAGE_WIDTH, 197, hex_colour("24456F"))
    field_box(c, 24, 222, 384, 252)
    light_area(c, 266)
    return c


def licence(fonts):
    """148: the licence-agreement page: a header with the brand, the
    instruction (1032, white) at y 66, the panel that the transparent
    rich-edit control (1002, white text) shows the licence in, the two
    choices (white text) and the button bar. Kept to a palette of 256
    colours: it is the skin's 8-bit picture."""
    c = Canvas(PAGE_WIDTH, PAGE_HEIGHT)
    hero(c, 0, 56, NAVY_TOP, hex_colour("10335D"), grid=False)
    brand(c, fonts, 20, 12, 32, 18)
    c.fill_rect(0, 56, PAGE_WIDTH, BAR_TOP, BAND)
    c.fill_rect(0, 56, PAGE_WIDTH, 57, hex_colour("24456F"))
    c.fill([cv.rounded_rectangle(20, 94, 480, 262, 6)], hex_colour("2E4A70"))
    c.fill([cv.rounded_rectangle(21, 95, 479, 261, 5)], hex_colour("081A31"))
    light_area(c, BAR_TOP)
    return c


def closing(fonts):
    """139: the error-completion and maintenance pages. The hero carries the
    heading (1032, yellow, bold 16 pixels) at y 165; the light part below
    holds the maintenance choices (black text) at y 222 and 252."""
    c = Canvas(PAGE_WIDTH, PAGE_HEIGHT)
    hero(c, 0, 200)
    # A drawing sheet with its title block, seen at an angle of work.
    sheet = hex_colour("9CC3F5")
    c.fill([cv.rounded_rectangle(318, 28, 470, 140, 2), cv.rounded_rectangle(320, 30, 468, 138, 1)[::-1]], sheet, 0.7)
    c.fill([[(400, 112), (468, 112), (468, 113), (400, 113)], [(400, 112), (401, 112), (401, 138), (400, 138)]],
           sheet, 0.7)
    for i in range(3):
        c.fill([[(404, 118 + 6 * i), (460 - 10 * i, 118 + 6 * i), (460 - 10 * i, 119 + 6 * i),
                 (404, 119 + 6 * i)]], sheet, 0.5)
    flange_drawing(c, fonts, 360, 72, scale=0.45, opacity=0.8)
    stroke(c, arc(430, 70, 26, 200, 340), LINE_ART, 1.4, 0.8)
    brand(c, fonts, 24, 26, 48, 28)
    light_area(c, 200)
    # A faint drawing in the light part, so that the error page is not bare.
    for segment in dashed([(24, 300), (476, 300)], 14, 6):
        stroke(c, segment, LIGHT_LINE, 1)
    return c


def finish(fonts):
    """140: the finish page: hero with a success badge (the message 1032 in
    white at y 216, left of the badge), the light part with the
    start-the-viewer check box (1044, black text) and the button bar."""
    c = Canvas(PAGE_WIDTH, PAGE_HEIGHT)
    hero(c, 0, 266)
    flange_drawing(c, fonts, 392, 132, opacity=0.45)
    green = hex_colour("27AE60")
    c.fill([cv.circle(392, 132, 40)], lambda x, y: mix(hex_colour("3CCB7A"), green, (y - 92) / 80))
    stroke(c, [(372, 133), (386, 147), (412, 119)], WHITE, 6)
    brand(c, fonts, 24, 26, 48, 28)
    light_area(c, 266)
    return c


SLIDES = (
    # headline, subline, top, bottom, art
    ("Open every DWG drawing", "From AutoCAD R14 to today's files, fast and true to the original.",
     "0B2545", "15457A", "plan"),
    ("Measure with precision", "Distances, angles and areas, snapped to the geometry.",
     "08363F", "0F6B78", "measure"),
    ("Layers under control", "Show, hide and lock layers to see just what you need.",
     "24174F", "44308F", "layers"),
    ("Print and export to PDF", "Plot to scale with your own pen tables and paper sizes.",
     "0B3327", "155C44", "sheet"),
    ("Orbit around 3D models", "Look at solids and surfaces from every side.",
     "23253A", "3A3E63", "cube"),
    ("Mark up and share", "Clouds, notes and stamps that everyone can read.",
     "3D0F1F", "6E1B36", "markup"),
)


def slide_art(c, fonts, kind, colour):
    if kind == "plan":
        # A floor plan: walls, door swings, a window.
        walls = [[(316, 40), (472, 40), (472, 200), (316, 200), (316, 40)],
                 [(394, 40), (394, 130)], [(316, 130), (364, 130)], [(424, 130), (472, 130)]]
        for wall in walls:
            stroke(c, wall, colour, 3, 0.85)
        for cx, cy, start in ((364, 130, 270), (424, 130, 180)):
            stroke(c, arc(cx, cy, 30, start, start + 90, 20), colour, 1, 0.6)
        stroke(c, [(430, 200), (462, 200)], WHITE, 5, 0.7)
        dimension(c, fonts, (316, 40), (472, 40), 14, "12.00 m", colour, 0.85)
    elif kind == "measure":
        part = [(300, 190), (300, 110), (340, 70), (460, 70), (460, 190), (300, 190)]
        stroke(c, part, colour, 2, 0.9)
        c.fill(ring(410, 130, 24, 1.6), colour, 0.9)
        dimension(c, fonts, (340, 70), (460, 70), 18, "120.00", colour, 0.9)
        stroke(c, arc(300, 110, 40, -90, -45, 12), colour, 1, 0.7)
        c.text(fonts.face(11), "45\u00b0", 322, 104, colour, 0.9)
        # The snap marker at a corner.
        stroke(c, [(454, 184), (466, 184), (466, 196), (454, 196), (454, 184)], hex_colour("FFD166"), 1.5)
    elif kind == "layers":
        for i, shade in enumerate(("6C5CE7", "A29BFE", "DCD6FF")):
            y = 160 - 40 * i
            tile = [(300, y), (380, y - 36), (470, y), (390, y + 36)]
            c.fill([tile], hex_colour(shade), 0.35 + 0.2 * i)
            stroke(c, tile + [tile[0]], WHITE, 1, 0.7)
    elif kind == "sheet":
        c.fill([cv.rounded_rectangle(306, 34, 456, 200, 3)], WHITE, 0.92)
        paper = hex_colour("0B3327")
        stroke(c, [(316, 44), (446, 44), (446, 190), (316, 190), (316, 44)], paper, 1, 0.8)
        stroke(c, [(376, 170), (446, 170)], paper, 1, 0.8)
        stroke(c, [(376, 170), (376, 190)], paper, 1, 0.8)
        c.fill(ring(360, 100, 26, 1.4), paper, 0.8)
        stroke(c, [(330, 150), (420, 150), (420, 70)], paper, 1.2, 0.8)
        c.fill([cv.rounded_rectangle(420, 150, 470, 214, 4)], hex_colour("E74C3C"))
        c.text_centred(fonts.face(13, bold=True), "PDF", 445, 182, WHITE)
    elif kind == "cube":
        orange = hex_colour("FF9F43")
        top = [(380, 50), (450, 88), (380, 126), (310, 88)]
        c.fill([top], orange, 0.25)
        for edge in ([(310, 88), (310, 168)], [(450, 88), (450, 168)], [(380, 126), (380, 206)],
                     [(310, 168), (380, 206)], [(450, 168), (380, 206)]):
            stroke(c, edge, orange, 1.8, 0.9)
        stroke(c, top + [top[0]], orange, 1.8, 0.9)
        for segment in dashed([(310, 168), (380, 130)], 6, 4) + dashed([(450, 168), (380, 130)], 6, 4) + \
                dashed([(380, 50), (380, 130)], 6, 4):
            stroke(c, segment, orange, 1, 0.5)
        stroke(c, arc(380, 128, 96, 200, 320, 40), WHITE, 1.2, 0.5)
        c.fill([arrow_head((470, 63), (455, 50), 9)], WHITE, 0.6)
    elif kind == "markup":
        red = hex_colour("FF6B6B")
        # A revision cloud: arcs along an ellipse.
        centre, rx, ry, count = (380, 110), 80, 50, 14
        for i in range(count):
            a0 = 2 * math.pi * i / count
            a1 = 2 * math.pi * (i + 1) / count
            p0 = (centre[0] + rx * math.cos(a0), centre[1] + ry * math.sin(a0))
            p1 = (centre[0] + rx * math.cos(a1), centre[1] + ry * math.sin(a1))
            mx, my = (p0[0] + p1[0]) / 2, (p0[1] + p1[1]) / 2
            r = math.hypot(p1[0] - p0[0], p1[1] - p0[1]) / 2
            start = math.degrees(math.atan2(p0[1] - my, p0[0] - mx))
            stroke(c, arc(mx, my, r, start, start + 180, 12), red, 2, 0.95)
        c.fill([cv.rounded_rectangle(330, 88, 430, 132, 8)], WHITE, 0.95)
        c.fill([[(350, 132), (366, 132), (352, 146)]], WHITE, 0.95)
        c.text_centred(fonts.face(12, bold=True), "Check", 380, 110, hex_colour("6E1B36"))


def slide(fonts, number):
    """141-146: the copy-files slideshow. Each slide has its own colours,
    drawing and words in the hero (0-250) and shows which of the six it is;
    all share the flat band 250-324 where the texts 1032 and 1033 and the
    requirements link (white) and the progress bar sit, and the button bar."""
    headline, subline, top, bottom, art = SLIDES[number - 1]
    c = Canvas(PAGE_WIDTH, PAGE_HEIGHT)
    hero(c, 0, 250, hex_colour(top), hex_colour(bottom))
    slide_art(c, fonts, art, LINE_ART if art in ("plan", "measure") else WHITE)
    c.text(fonts.face(22, bold=True), headline, 28, 110, WHITE)
    words, line, lines = subline.split(), "", []
    face = fonts.face(13)
    for word in words:
        trial = (line + " " + word).strip()
        if face.width(trial) > 250 and line:
            lines.append(line)
            line = word
        else:
            line = trial
    lines.append(line)
    for i, text in enumerate(lines):
        c.text(face, text, 28, 136 + 19 * i, hex_colour("D6E6FA"))
    for i in range(len(SLIDES)):
        dot = [cv.circle(34 + 16 * i, 226, 4)]
        c.fill(dot, WHITE, 1.0 if i == number - 1 else 0.3)
    mark(c, 28, 24, 32)
    c.fill_rect(0, 250, PAGE_WIDTH, BAR_TOP, BAND)
    light_area(c, BAR_TOP)
    return c


# Buttons ------------------------------------------------------------------

class ButtonStyle:
    def __init__(self, ground, fill_top, fill_bottom, border, text, bold=True):
        self.ground = ground
        self.fill_top = fill_top
        self.fill_bottom = fill_bottom
        self.border = border
        self.text = text
        self.bold = bold


def _h(text):
    return hex_colour(text)


# (kind, state) -> style; the grounds are the light bar and the dark band.
BUTTON_STYLES = {
    ("primary", "normal"): ButtonStyle(LIGHT, _h("3A8CF0"), _h("1F6FD1"), _h("1A63BF"), WHITE),
    ("primary", "hover"): ButtonStyle(LIGHT, _h("5BA2F7"), _h("3584EA"), _h("2A75D8"), WHITE),
    ("primary", "pressed"): ButtonStyle(LIGHT, _h("1A5DB3"), _h("164F9A"), _h("123F7D"), _h("E6EFFC")),
    ("primary", "disabled"): ButtonStyle(LIGHT, _h("D3DAE3"), _h("C9D1DC"), _h("BCC6D2"), _h("8B97A7")),
    ("secondary", "normal"): ButtonStyle(LIGHT, WHITE, _h("F4F6F9"), _h("B3BFCE"), INK),
    ("secondary", "hover"): ButtonStyle(LIGHT, _h("F2F8FF"), _h("E1EEFD"), ACCENT, _h("1F6FD1")),
    ("secondary", "pressed"): ButtonStyle(LIGHT, _h("CFDFF5"), _h("DCE8F8"), _h("1F6FD1"), _h("174F9A")),
    ("secondary", "disabled"): ButtonStyle(LIGHT, _h("EEF1F5"), _h("EEF1F5"), _h("D5DBE3"), _h("A7B1BE")),
    ("dark", "normal"): ButtonStyle(BAND, _h("234670"), _h("1B3A60"), _h("3F6799"), WHITE),
    ("dark", "hover"): ButtonStyle(BAND, _h("2E5B90"), _h("244C7B"), _h("6A9BE0"), WHITE),
    ("dark", "pressed"): ButtonStyle(BAND, _h("102947"), _h("15335A"), _h("3F6799"), _h("C9DBF2")),
    ("dark", "disabled"): ButtonStyle(BAND, _h("1A2F4B"), _h("1A2F4B"), _h("2A4366"), _h("6F819A")),
}


def button(fonts, caption, kind, state):
    style = BUTTON_STYLES[(kind, state)]
    w, h = BUTTON_WIDTH, BUTTON_HEIGHT
    c = Canvas(w, h, style.ground)
    pressed = state == "pressed"
    if state == "hover" and kind != "dark":
        # A soft halo, so that hovering is seen at a glance.
        c.fill([cv.rounded_rectangle(0, 0, w, h, 6)], style.border, 0.25)
    inset = 1 if state == "hover" and kind != "dark" else 0
    outer = cv.rounded_rectangle(inset, inset, w - inset, h - inset, 5 - inset)
    inner = cv.rounded_rectangle(inset + 1, inset + 1, w - inset - 1, h - inset - 1, 4 - inset)
    c.fill([outer], style.border)
    c.fill([inner], lambda x, y: mix(style.fill_top, style.fill_bottom, y / (h - 1)))
    if pressed:
        # The pressed button looks pushed in: shadow along its top, caption lower.
        c.fill([[(inset + 3, 2), (w - inset - 3, 2), (w - inset - 3, 3), (inset + 3, 3)]], (0, 0, 0), 0.18)
    face = fonts.face(13, bold=style.bold)
    c.text_centred(face, caption, w / 2 + (1 if pressed else 0), h / 2 + (1 if pressed else 0), style.text)
    return c


# (id, caption, kind, state) of every button picture.
BUTTONS = (
    (150, "Custom", "secondary", "normal"), (151, "Custom", "secondary", "pressed"),
    (152, "Custom", "secondary", "hover"),
    (153, "Install", "primary", "normal"), (154, "Install", "primary", "pressed"),
    (155, "Install", "primary", "hover"), (156, "Install", "primary", "disabled"),
    (157, "Browse...", "dark", "normal"), (158, "Browse...", "dark", "pressed"),
    (159, "Browse...", "dark", "hover"),
    (160, "Cancel", "secondary", "normal"), (161, "Cancel", "secondary", "pressed"),
    (162, "Cancel", "secondary", "hover"),
    (163, "< Back", "secondary", "normal"), (164, "< Back", "secondary", "pressed"),
    (165, "< Back", "secondary", "hover"), (166, "< Back", "secondary", "disabled"),
    (167, "Next >", "primary", "normal"), (168, "Next >", "primary", "pressed"),
    (169, "Next >", "primary", "hover"), (170, "Next >", "primary", "disabled"),
    (171, "Cancel", "secondary", "normal"), (172, "Cancel", "secondary", "pressed"),
    (173, "Cancel", "secondary", "hover"),
    (174, "Finish", "primary", "normal"), (175, "Finish", "primary", "pressed"),
    (176, "Finish", "primary", "hover"),
)


# Small pictures -----------------------------------------------------------

def progress_pattern():
    """181: the part of the progress bar still to do: fine diagonal stripes
    on a dark track, under the bar's white caption. 8 x 8, as pattern
    brushes tile."""
    c = Canvas(8, 8, _h("1E3150"))
    for y in range(8):
        for x in range(8):
            if (x + y) % 8 in (0, 1, 2):
                c.pixels[y][x] = list(map(float, _h("27406A")))
    return c


def check_icon(ticked, size=16):
    """131 (ticked) and 132 (not ticked): a rounded box."""
    c = Canvas(size, size)
    c.clear_alpha()
    box = cv.rounded_rectangle(1, 1, size - 1, size - 1, 3)
    if ticked:
        c.fill([box], ACCENT_DEEP)
        c.fill([cv.rounded_rectangle(2, 2, size - 2, size - 2, 2)], lambda x, y: mix(ACCENT, _h("1F6FD1"), y / size))
        stroke(c, [(4, 8.2), (7, 11.2), (12.2, 5)], WHITE, 2)
    else:
        c.fill([box], _h("7D8A9C"))
        c.fill([cv.rounded_rectangle(2, 2, size - 2, size - 2, 2)], WHITE)
    return c


def choice_icon(chosen, size=16):
    """137 (not chosen) and 138 (chosen): a round choice that reads on the
    dark licence page and on the light maintenance page alike."""
    c = Canvas(size, size)
    c.clear_alpha()
    centre = size / 2
    c.fill([cv.circle(centre, centre, 7)], ACCENT if chosen else _h("7D8A9C"))
    c.fill([cv.circle(centre, centre, 5.6)], WHITE)
    if chosen:
        c.fill([cv.circle(centre, centre, 3.4)], ACCENT)
    return c


def program_icon(size):
    """The setup program's own icon (128): the product's mark."""
    c = Canvas(size, size)
    c.clear_alpha()
    inset = max(0.5, size / 32)
    mark(c, inset, inset, size - 2 * inset)
    return c


def page_logo(fonts):
    """The mark for the HTML pages' banner, on the banner's colour."""
    c = Canvas(32, 32, NAVY_TOP)
    mark(c, 0, 0, 32)
    return c
