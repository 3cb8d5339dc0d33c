#!/usr/bin/env python3
"""Draws the Kovanta resource artwork (BMP, ICO, CUR) next to this script.

The small pictures are drawn for 16 px, mostly as hand-placed pixel maps;
the same designs are drawn again at 20, 24 and 32 px (the image lists at
120, 144 and 192 DPI) from their layout in 16ths, with one-pixel outlines
at every size.

Standard library only; every file is written byte by byte with struct.
Run:  python3 make_art.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

WHITE = (255, 255, 255)
TOOLBAR_BG = (192, 192, 192)


# ---------------------------------------------------------------- writers

def bmp24_bytes(pixels):
    """pixels: list of rows (top row first) of (r, g, b)."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):               # bottom-up
        line = bytearray()
        for (r, g, b) in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    off = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", off + len(body), 0, 0, off)
    return head + info + bytes(body)


def mask_rows(w, h, bit_of):
    """1-bit rows, bottom-up, each padded to 32 bits. bit_of(x, y) -> 0/1."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(stride)
        for x in range(w):
            if bit_of(x, y):
                line[x >> 3] |= 0x80 >> (x & 7)
        out += line
    return bytes(out)


def icon_dib(pixels):
    """32-bit BGRA DIB with doubled height plus the AND mask.
    pixels: rows of (r, g, b, a) or None for transparent."""
    h = len(pixels)
    w = len(pixels[0])
    xor = bytearray()
    for row in reversed(pixels):
        for p in row:
            if p is None:
                xor += b"\0\0\0\0"
            else:
                r, g, b = p[:3]
                xor += bytes((b, g, r, 255))
    andm = mask_rows(w, h, lambda x, y: pixels[y][x] is None)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0,
                       len(xor) + len(andm), 0, 0, 0, 0)
    return info + bytes(xor) + andm


def ico_bytes(images):
    """images: list of pixel grids, in directory order."""
    dibs = [icon_dib(p) for p in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    off = 6 + 16 * len(images)
    for p, d in zip(images, dibs):
        w, h = len(p[0]), len(p)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32,
                           len(d), off)
        off += len(d)
    for d in dibs:
        out += d
    return bytes(out)


def cur_bytes(grid, hotspot):
    """grid: strings, 'K' black, 'W' white, '.' transparent, 'I' invert."""
    h = len(grid)
    w = len(grid[0])
    xor = mask_rows(w, h, lambda x, y: grid[y][x] in "WI")
    andm = mask_rows(w, h, lambda x, y: grid[y][x] in ".I")
    pal = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 1, 0,
                       len(xor) + len(andm), 0, 0, 2, 0)
    dib = info + pal + xor + andm
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 2, 0,
                        hotspot[0], hotspot[1], len(dib), 6 + 16)
    return head + entry + dib


def save(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- drawing

def canvas(w, h, bg):
    return [[bg] * w for _ in range(h)]


def paint(img, rows, pal, x0=0, y0=0):
    """Paint a character map; characters missing from pal (e.g. '.') are
    left alone."""
    for j, line in enumerate(rows):
        for i, ch in enumerate(line):
            if ch in pal:
                x, y = x0 + i, y0 + j
                if 0 <= y < len(img) and 0 <= x < len(img[0]):
                    img[y][x] = pal[ch]


def outline_of(cells, w, h, eight=True):
    """Pixels next to a set of cells but not in it."""
    out = set()
    if eight:
        nb = [(dx, dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)
              if dx or dy]
    else:
        nb = [(1, 0), (-1, 0), (0, 1), (0, -1)]
    for (x, y) in cells:
        for dx, dy in nb:
            q = (x + dx, y + dy)
            if q not in cells and 0 <= q[0] < w and 0 <= q[1] < h:
                out.add(q)
    return out


def mix(c, d, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c, d))


def darker(c, t=0.45):
    return mix(c, (0, 0, 0), t)


def lighter(c, t=0.35):
    # stop short of pure white: white is the transparent key of some bitmaps
    return mix(c, (250, 250, 250), t)


# ------------------------------------------------ drawing at any size

class Pic:
    """An n x n picture drawn from a design laid out in 16ths: a design
    coordinate v lands on pixel edge round(v * n / 16), shapes are tested
    at pixel centres, and outlines stay one pixel wide at every size."""

    def __init__(self, n, bg):
        self.n = n
        self.s = n / 16.0
        self.img = canvas(n, n, bg)

    def at(self, v):
        return int(math.floor(v * self.s + 0.5))

    def length(self, v):
        return max(1, int(math.floor(v * self.s + 0.5)))

    def clip(self, cells):
        return {(x, y) for (x, y) in cells
                if 0 <= x < self.n and 0 <= y < self.n}

    def rect(self, x, y, w, h):
        """Lengths are rounded on their own, so equal parts stay equal."""
        x0, y0 = self.at(x), self.at(y)
        return self.clip({(i, j)
                          for j in range(y0, y0 + self.length(h))
                          for i in range(x0, x0 + self.length(w))})

    def centres(self, inside):
        """Pixels whose centre, in design units, passes inside(x, y)."""
        s = self.s
        return {(i, j) for j in range(self.n) for i in range(self.n)
                if inside((i + 0.5) / s, (j + 0.5) / s)}

    def poly(self, pts):
        def inside(x, y):
            hit = False
            for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
                if (ay > y) != (by > y):
                    if x < ax + (y - ay) * (bx - ax) / (by - ay):
                        hit = not hit
            return hit
        return self.centres(inside)

    def pixel(self, i):
        """The pixel that covers the centre of 16-px pixel i."""
        return int(math.floor((i + 0.5) * self.s))

    def line(self, pts):
        """A one-pixel polyline through 16-px pixel positions."""
        cells = set()
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            x0, y0 = self.pixel(ax), self.pixel(ay)
            x1, y1 = self.pixel(bx), self.pixel(by)
            steps = max(abs(x1 - x0), abs(y1 - y0), 1)
            for k in range(steps + 1):
                cells.add((int(math.floor(x0 + (x1 - x0) * k / steps + 0.5)),
                           int(math.floor(y0 + (y1 - y0) * k / steps + 0.5))))
        return self.clip(cells)

    def put(self, cells, col):
        for (x, y) in cells:
            self.img[y][x] = col

    def bevel(self, cells, edge, fill, light=None, dark=None):
        """Outline the shape one pixel in from its edge; the first pixels
        inside take the light colour along the top and left, the dark one
        along the bottom and right.  Returns the inside."""
        rim = {c for c in cells if rim_pixel(c, cells)}
        inner = cells - rim
        self.put(rim, edge)
        for (x, y) in inner:
            col = fill
            if (x, y - 1) in rim and light:
                col = light
            elif (x, y + 1) in rim and dark:
                col = dark
            elif (x - 1, y) in rim and light:
                col = light
            elif (x + 1, y) in rim and dark:
                col = dark
            self.img[y][x] = col
        return inner


def rim_pixel(c, cells):
    x, y = c
    return any(q not in cells
               for q in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)))


def top_row(cells):
    y = min(y for _, y in cells)
    return {c for c in cells if c[1] == y}


# ------------------------------------------------------- the diamond mark

def mark(size, colours, bg=None, outline=True):
    """Four diamonds set as a diamond.  colours = (top, left, right, bottom).
    Returns rows of colours (bg where nothing is drawn)."""
    c = (size - 1) / 2.0
    off = size / 4.0
    r = size // 4 - 1
    centres = [(c, c - off), (c - off, c), (c + off, c), (c, c + off)]
    img = canvas(size, size, bg)
    for (cx, cy), col in zip(centres, colours):
        for y in range(size):
            for x in range(size):
                dx, dy = x - cx, y - cy
                s = abs(dx) + abs(dy)
                if s > r + 1e-9:
                    continue
                if outline and s > r - 1 + 1e-9:
                    img[y][x] = darker(col, 0.5)
                elif dx + dy < -0.1 and s < r - 1.5:
                    img[y][x] = lighter(col, 0.40)    # upper-left facet
                elif dx + dy < 0.1:
                    img[y][x] = lighter(col, 0.15)
                else:
                    img[y][x] = col
    return img


RED = (220, 30, 40)
TEAL = (0, 150, 150)
BLUE = (40, 90, 210)
GREEN = (30, 160, 60)


# -------------------------------------------------------- 16x16 bitmaps

FOLDER = {"K": (40, 80, 140), "H": (205, 230, 250), "L": (150, 200, 240),
          "D": (95, 150, 205)}
OPEN_FOLDER = {"K": (40, 60, 110), "B": (110, 160, 225), "b": (70, 115, 190),
               "Y": (250, 215, 70), "W": (255, 245, 180), "O": (200, 150, 20),
               "k": (120, 85, 10)}


def folder_closed():
    pal = FOLDER
    rows = [
        "................",
        "................",
        "..KKKK..........",
        ".KHHHHK.........",
        ".KLLLLLKKKKKKKK.",
        ".KHHHHHHHHHHHHK.",
        ".KHLLLLLLLLLLDK.",
        ".KHLLLLLLLLLLDK.",
        ".KHLLLLLLLLLLDK.",
        ".KHLLLLLLLLLLDK.",
        ".KHLLLLLLLLLLDK.",
        ".KHLLLLLLLLLLDK.",
        ".KHLLLLLLLLLLDK.",
        ".KDDDDDDDDDDDDK.",
        ".KKKKKKKKKKKKKK.",
        "................",
    ]
    img = canvas(16, 16, WHITE)
    paint(img, rows, pal)
    return img


def folder_open():
    pal = OPEN_FOLDER
    rows = [
        "................",
        "................",
        "..KKKK..........",
        ".KBBBBK.........",
        ".KBbbbBKKKKKK...",
        ".KBbbbbbbbbbBK..",
        ".KBbbbbbbbbbBK..",
        ".KBbbkkkkkkkkkkk",
        ".KBbkWWWWWWWWWk.",
        ".KBkWYYYYYYYYOk.",
        ".KBkYYYYYYYYYOk.",
        ".KkWYYYYYYYYOk..",
        ".KkYYYYYYYYYOk..",
        ".KkOOOOOOOOOk...",
        ".KKkkkkkkkkkk...",
        "................",
    ]
    img = canvas(16, 16, WHITE)
    paint(img, rows, pal)
    return img


def folder_tab(p, x, y, w, h):
    """A folder tab with its top corners taken off by one pixel."""
    tab = p.rect(x, y, w, h)
    top = top_row(tab)
    return tab - {min(top), max(top)}


def folder_closed_at(n):
    """The closed folder drawn again at n px: the tab and body keep their
    places in 16ths, the outline and the bevel stay one pixel."""
    pal = FOLDER
    p = Pic(n, WHITE)
    body = p.rect(1, 4, 14, 11)
    inner = p.bevel(folder_tab(p, 1, 2, 6, 3) | body, pal["K"], pal["L"],
                    pal["H"], pal["D"])
    # the light top edge of the body runs under the tab as well
    y = p.at(4) + 1
    p.put({c for c in inner & body if c[1] == y}, pal["H"])
    return p.img


def folder_open_at(n):
    """The open folder at n px: blue back, yellow front leaning to the
    right, both with one-pixel outlines."""
    pal = OPEN_FOLDER
    p = Pic(n, WHITE)
    back = folder_tab(p, 1, 2, 6, 3) | p.rect(1, 4, 13, 11)
    p.bevel(back, pal["K"], pal["b"], pal["B"], pal["B"])
    front = p.poly([(5, 7), (16, 7), (13, 15), (2, 15)])
    p.bevel(front, pal["k"], pal["Y"], pal["W"], pal["O"])
    return p.img


LENS = {"dark": (40, 40, 55), "rim": (140, 145, 165),
        "glass": (190, 220, 245), "shine": (240, 248, 254),
        "handle": (120, 65, 20), "handle_hi": (175, 105, 45)}


def magnifier():
    img = canvas(16, 16, WHITE)
    cx, cy = 6.0, 6.0
    dark, rim, glass, shine, handle, handle_hi = (
        LENS[k] for k in ("dark", "rim", "glass", "shine", "handle",
                          "handle_hi"))
    # handle first, the lens goes over its end
    for y in range(16):
        for x in range(16):
            t = ((x - cx) + (y - cy)) / math.sqrt(2)     # along the axis
            n = ((x - cx) - (y - cy)) / math.sqrt(2)     # across it
            if 4.5 <= t <= 11.4 and abs(n) <= 1.45:
                if abs(n) > 0.75 or t > 10.7:
                    img[y][x] = dark
                elif n < 0:
                    img[y][x] = handle_hi
                else:
                    img[y][x] = handle
    for y in range(16):
        for x in range(16):
            d = math.hypot(x - cx, y - cy)
            if d <= 3.3:
                img[y][x] = glass
            elif d <= 4.4:
                img[y][x] = rim
            elif d <= 5.5:
                img[y][x] = dark
    for (x, y) in ((4, 4), (5, 4), (4, 5), (4, 3), (3, 4)):
        if math.hypot(x - cx, y - cy) <= 3.3:
            img[y][x] = shine
    return img


def magnifier_at(n):
    """The magnifying glass at n px.  The lens centre sits on a pixel
    corner or centre so the circle comes out even, and its dark edge is
    the one-pixel rim of the disc."""
    p = Pic(n, WHITE)
    c = math.floor(6.5 * p.s * 2 + 0.5) / 2 / p.s     # lens centre, 16ths

    def along(x, y):
        return ((x - c) + (y - c)) / math.sqrt(2), \
               ((x - c) - (y - c)) / math.sqrt(2)

    handle = p.centres(lambda x, y: 4.5 <= along(x, y)[0] <= 11.4 and
                       abs(along(x, y)[1]) <= 1.45)
    for (x, y) in p.bevel(handle, LENS["dark"], LENS["handle"]):
        if along((x + 0.5) / p.s, (y + 0.5) / p.s)[1] < 0:
            p.img[y][x] = LENS["handle_hi"]
    lens = p.centres(lambda x, y: math.hypot(x - c, y - c) <= 5.5)
    p.bevel(lens, LENS["dark"], LENS["rim"])
    # a grey rim 1.1/16 wide inside the one-pixel dark edge
    glass = p.centres(lambda x, y:
                      math.hypot(x - c, y - c) <= 5.5 - 1 / p.s - 1.1)
    p.put(glass, LENS["glass"])
    # a short bright arc in the upper left of the glass
    p.put({(x, y) for (x, y) in glass
           if 1.4 <= math.hypot((x + .5) / p.s - c, (y + .5) / p.s - c) <= 2.5
           and abs(math.atan2(c - (y + .5) / p.s, c - (x + .5) / p.s)
                   - math.pi / 4) < 0.55}, LENS["shine"])
    return p.img


# ------------------------------------------------------------- toolbar

TB = {
    "K": (0, 0, 0), "k": (64, 64, 64), "g": (128, 128, 128),
    "s": (210, 210, 210), "w": (255, 255, 255),
    "R": (220, 30, 30), "r": (130, 0, 0), "G": (30, 170, 50),
    "B": (40, 80, 220), "Y": (250, 210, 40), "c": (120, 190, 250),
    "h": (40, 150, 40), "e": (250, 236, 190), "f": (215, 190, 130),
    "b": (40, 70, 170), "y": (255, 230, 90), "o": (200, 150, 20),
    "p": (240, 150, 160),
}


def tb_page_pen():
    rows = [
        ".KKKKKKKK.......",
        ".KwwwwwwKK......",
        ".KwwwwwwKwK.....",
        ".KwggggwKKKK....",
        ".KwwwwwwwwwK....",
        ".KwgggggggwK....",
        ".KwwwwwwwwwK....",
        ".KwgggggggwK....",
        ".KwwwwwwwwwK....",
        ".KwgggggwwwK....",
        ".KwwwwwwwwwK....",
        ".KwgggwwwwwK....",
        ".KwwwwwwwwwK....",
        ".KKKKKKKKKKK....",
        "................",
        "................",
    ]
    img = canvas(16, 16, TOOLBAR_BG)
    paint(img, rows, TB)
    # a yellow pencil lying from the upper right down to a tip at lower left
    pen = [
        "................",
        "................",
        "................",
        "..............KK",
        "............KppK",
        "...........KkkK.",
        "..........KyoK..",
        ".........KyoK...",
        "........KyoK....",
        ".......KyoK.....",
        "......KyoK......",
        ".....KffK.......",
        "....KfKK........",
        "....KK..........",
    ]
    paint(img, pen, TB, 0, 0)
    return img


def tb_open():
    img = canvas(16, 16, TOOLBAR_BG)
    back = [
        "................",
        "................",
        "................",
        "................",
        "................",
        ".KKKK...........",
        "KoyyyK..........",
        "KyYYYyKKKKKK....",
        "KyYYYYYYYYYYK...",
    ]
    paint(img, back, TB)
    # green arrow climbing out of the folder and turning right
    fill = set()
    for y in range(3, 9):
        fill |= {(7, y), (8, y)}
    for x in range(7, 12):
        fill |= {(x, 3), (x, 4)}
    for x, y0, y1 in ((11, 1, 6), (12, 2, 5), (13, 3, 4)):
        for y in range(y0, y1 + 1):
            fill.add((x, y))
    for (x, y) in outline_of(fill, 16, 16, eight=False):
        img[y][x] = TB["K"]
    for (x, y) in fill:
        img[y][x] = TB["G"]
    for (x, y) in ((7, 5), (7, 6), (7, 7), (7, 8), (8, 3), (9, 3), (10, 3)):
        img[y][x] = (120, 230, 120)
    front = [
        "KyYYKKKKKKKKKKKK",
        "KyYKyyyyyyyyyyK.",
        "KyKyYYYYYYYYYoK.",
        "KyKYYYYYYYYYoK..",
        "KKyYYYYYYYYYoK..",
        "KKoooooooooooK..",
        "KKKKKKKKKKKKKK..",
        "................",
    ]
    paint(img, front, TB, 0, 8)
    return img


def tb_page_blocks():
    rows = [
        "................",
        "..KKKKKKKK......",
        "..KwwwwwwKK.....",
        "..KwwwwwwKwK....",
        "..KwwwwwwKKKK...",
        "..KwwwwwwwwwK...",
        "..KwRRRwBBBwK...",
        "..KwRRRwBBBwK...",
        "..KwRRRwBBBwK...",
        "..KwwwwwwwwwK...",
        "..KwGGGwYYYwK...",
        "..KwGGGwYYYwK...",
        "..KwGGGwYYYwK...",
        "..KwwwwwwwwwK...",
        "..KKKKKKKKKKK...",
        "................",
    ]
    img = canvas(16, 16, TOOLBAR_BG)
    paint(img, rows, TB)
    return img


def tb_envelope():
    rows = [
        "................",
        "....KKKKKKKK....",
        "....KwwwwwwK....",
        "...KKwbbbbwKK...",
        "..KfKwwwwwwKfK..",
        ".KffKwbbbbwKffK.",
        "KfffKwwwwwwKfffK",
        "KKKKKKKKKKKKKKKK",
        "KeKeeeeeeeeeeKeK",
        "KeeKeeeeeeeeKeeK",
        "KeeeKKeeeeKKeeeK",
        "KeeeeeKKKKeeeeeK",
        "KeeeeeeeeeeeeeeK",
        "KeeeeeeeeeeeeeeK",
        "KKKKKKKKKKKKKKKK",
        "................",
    ]
    img = canvas(16, 16, TOOLBAR_BG)
    paint(img, rows, TB)
    return img


def tb_page_picture():
    rows = [
        "................",
        "..KKKKKKKK......",
        "..KwwwwwwKK.....",
        "..KwwwwwwKwK....",
        "..KwwwwwwKKKK...",
        "..KwcccccYYwK...",
        "..KwccGccYYwK...",
        "..KwcGhGcccwK...",
        "..KwGhhhGcGwK...",
        "..KwhhhhhGhwK...",
        "..KwwwwwwwwwK...",
        "..KwgggggggwK...",
        "..KwwwwwwwwwK...",
        "..KwggggggwwK...",
        "..KKKKKKKKKKK...",
        "................",
    ]
    img = canvas(16, 16, TOOLBAR_BG)
    paint(img, rows, TB)
    return img


POWER = {"R": (225, 30, 30), "r": (150, 10, 10), "L": (250, 120, 110)}
GLASSES = dict(TB, b=(30, 60, 150), c=(150, 200, 250))


def tb_power():
    rows = [
        ".......LR.......",
        ".......LR.......",
        "....R..LR..R....",
        "...RR..LR..RR...",
        "..RR...LR...Rr..",
        ".RR....LR....Rr.",
        ".RR....LR....Rr.",
        ".RR....rr....Rr.",
        ".RR..........Rr.",
        ".RR..........Rr.",
        "..RR........Rr..",
        "..rRR......RRr..",
        "...rrR....Rrr...",
        "....rrRRRRrr....",
        "......rrrr......",
        "................",
    ]
    img = canvas(16, 16, TOOLBAR_BG)
    paint(img, rows, POWER)
    return img


def tb_binoculars():
    half = [
        "........",
        "..KKKK..",
        "..KgkK..",
        "..KgkK..",
        ".KKKKKK.",
        ".KgkkkKK",
        "KgkkkkKg",
        "KgkkkkKK",
        "KgkkkkK.",
        "KgkkkkK.",
        "KgkkkkK.",
        "KKKKKKK.",
        "KbcbbbK.",
        "KbbbbbK.",
        "KKKKKKK.",
        "........",
    ]
    rows = [h + h[::-1] for h in half]
    img = canvas(16, 16, TOOLBAR_BG)
    paint(img, rows, GLASSES)
    return img


# The toolbar pictures again at n px, from the same layout in 16ths.

def tb_page_at(p, x, y, w, h):
    """A white page with its top right corner folded down: returns the
    inside of the page.  The fold is a quarter of the 16-px cell."""
    page = p.rect(x, y, w, h)
    right = max(c[0] for c in page) + 1
    top = min(c[1] for c in page)
    f = p.length(4)
    fold = {(i, j) for (i, j) in page if i >= right - f and j < top + f}
    cut = {(i, j) for (i, j) in fold if i - (right - f) > j - top}
    inner = p.bevel(page - cut, TB["K"], TB["w"])
    p.bevel(fold - cut, TB["K"], TB["w"])
    return inner - fold


def tb_text_at(p, x, rows):
    """One-pixel grey text lines: rows of (y, length) in 16ths."""
    for y, w in rows:
        x0 = p.at(x)
        p.put({(i, p.at(y)) for i in range(x0, x0 + p.length(w))}, TB["g"])


def tb_page_pen_at(n):
    p = Pic(n, TOOLBAR_BG)
    tb_page_at(p, 1, 0, 11, 14)
    tb_text_at(p, 3, [(3, 4), (5, 7), (7, 7), (9, 5), (11, 3)])
    # the pencil lies from its rubber at the upper right down to the lead
    ax, ay = 15.6, 3.4                          # rubber end, in 16ths
    tx, ty = 4.0, 14.0                          # lead
    length = math.hypot(tx - ax, ty - ay)
    ux, uy = (tx - ax) / length, (ty - ay) / length
    half = 1.45
    wood = length - 3.2

    def along(x, y):
        return (x - ax) * ux + (y - ay) * uy, (x - ax) * uy - (y - ay) * ux

    def inside(x, y):
        t, v = along(x, y)
        if t < 0 or t > length:
            return False
        if t > wood:
            return abs(v) <= half * (length - t) / (length - wood)
        return abs(v) <= half

    pencil = p.centres(inside)
    inner = p.bevel(pencil, TB["K"], TB["y"])
    for (i, j) in inner:
        t, v = along((i + 0.5) / p.s, (j + 0.5) / p.s)
        if t < 1.6:
            col = TB["p"]
        elif t < 2.7:
            col = TB["k"]
        elif t > wood:
            col = TB["K"] if t > length - 1.1 else TB["f"]
        else:
            col = TB["o"] if v < 0 else TB["y"]
        p.img[j][i] = col
    return p.img


def tb_open_at(n):
    p = Pic(n, TOOLBAR_BG)
    back = folder_tab(p, 0, 5, 6, 3) | p.rect(0, 7, 13, 8)
    p.bevel(back, TB["K"], TB["Y"], TB["y"], TB["o"])
    # green arrow climbing out of the folder and turning right
    head = p.poly([(11, 0.5), (15, 4), (11, 7.5)])
    arrow = p.rect(7, 3, 2, 6) | p.rect(7, 3, 4, 2) | head
    p.put(outline_of(arrow, n, n, eight=False), TB["K"])
    p.put(arrow, TB["G"])
    body = arrow - head
    p.put({(x, y) for (x, y) in body
           if ((x - 1, y) not in arrow and y > p.at(5)) or
           ((x, y - 1) not in arrow and x > p.at(7))}, (120, 230, 120))
    front = p.poly([(4, 8), (16, 8), (14, 15), (1, 15)])
    p.bevel(front, TB["K"], TB["Y"], TB["y"], TB["o"])
    return p.img


def tb_page_blocks_at(n):
    p = Pic(n, TOOLBAR_BG)
    tb_page_at(p, 2, 1, 11, 14)
    for x, y, col in ((4, 6, "R"), (8, 6, "B"), (4, 10, "G"), (8, 10, "Y")):
        p.put(p.rect(x, y, 3, 3), TB[col])
    return p.img


def tb_envelope_at(n):
    p = Pic(n, TOOLBAR_BG)
    p.bevel(p.poly([(3, 3), (13, 3), (16, 7.5), (0, 7.5)]), TB["K"], TB["f"])
    p.bevel(p.rect(4, 1, 8, 7), TB["K"], TB["w"])
    for y in (3, 5):
        p.put(p.rect(6, y, 4, 1), TB["b"])
    p.bevel(p.rect(0, 7, 16, 8), TB["K"], TB["e"])
    # the fold lines of the envelope meet in a flat V
    p.put(p.line([(1, 7), (6, 11), (9, 11), (14, 7)]), TB["K"])
    return p.img


def tb_page_picture_at(n):
    p = Pic(n, TOOLBAR_BG)
    tb_page_at(p, 2, 1, 11, 14)
    sky = p.rect(4, 5, 7, 5)
    p.put(sky, TB["c"])
    p.put(p.rect(9, 5, 2, 2), TB["Y"])
    for apex_x, apex_y in ((6.5, 6), (10.5, 8)):
        hill = {(x, y) for (x, y) in sky
                if (y + 0.5) / p.s - apex_y >= abs((x + 0.5) / p.s - apex_x)}
        for (x, y) in hill:                    # light along the ridge
            p.img[y][x] = TB["G"] if (x, y - 1) not in hill else TB["h"]
    tb_text_at(p, 4, [(11, 7), (13, 6)])
    return p.img


def tb_power_at(n):
    p = Pic(n, TOOLBAR_BG)
    R, r, L = POWER["R"], POWER["r"], POWER["L"]
    # the ring, in pixels round the middle of the cell: 7/16 out, 2/16
    # thick, cut open at the top by two upright faces 3/16 either side
    c = n / 2.0
    outer = p.length(7)
    inner = outer - 2 * p.s
    cut = p.length(3)
    for y in range(n):
        for x in range(n):
            dx, dy = x + 0.5 - c, y + 0.5 - c
            d = math.hypot(dx, dy)
            if not inner <= d < outer or (dy < 0 and abs(dx) < cut):
                continue
            # the outer half of the ring is darker round the lower right
            shade = d >= (inner + outer) / 2.0 and dx * 0.5 + dy > 0.3 * d
            p.img[y][x] = r if shade else R
    bar = p.rect(7, 0, 2, 8)
    xs = sorted({x for x, _ in bar})
    y1 = max(y for _, y in bar)
    for (x, y) in bar:
        p.img[y][x] = r if y == y1 else (L if x in xs[:len(xs) // 2] else R)
    return p.img


def tb_binoculars_at(n):
    p = Pic(n, TOOLBAR_BG)
    eye = p.rect(2, 1, 4, 4)
    body = p.poly([(1, 4), (7, 4), (7, 12), (0, 12), (0, 6)])
    lens = p.rect(0, 11, 7, 4)
    # the bridge runs from the barrel to the middle, dark above and below
    x0, y0 = max(x for x, _ in body), p.at(5)
    y1 = y0 + p.length(3) - 1
    for y in range(y0, y1 + 1):
        for x in range(x0, n // 2):
            p.img[y][x] = TB["K"] if y in (y0, y1) else TB["g"]
    for part in (eye, body):
        inner = p.bevel(part, TB["K"], TB["k"])
        p.put({(x, y) for (x, y) in inner if (x - 1, y) not in inner},
              TB["g"])
    p.bevel(lens, TB["K"], GLASSES["b"])
    p.put(p.rect(1, 12, 1, 1), GLASSES["c"])
    for row in p.img:                          # the right half mirrors it
        for x in range(n // 2):
            row[n - 1 - x] = row[x]
    return p.img


def toolbar_at(n):
    cells = [tb_page_pen_at(n), tb_open_at(n), tb_page_blocks_at(n),
             tb_envelope_at(n), tb_page_picture_at(n), tb_power_at(n),
             tb_binoculars_at(n)]
    strip = canvas(7 * n, n, TOOLBAR_BG)
    for i, cell in enumerate(cells):
        for y in range(n):
            strip[y][n * i:n * (i + 1)] = cell[y]
    return strip


def toolbar():
    cells = [tb_page_pen(), tb_open(), tb_page_blocks(), tb_envelope(),
             tb_page_picture(), tb_power(), tb_binoculars()]
    strip = canvas(118, 16, TOOLBAR_BG)
    for i, cell in enumerate(cells):
        for y in range(16):
            for x in range(16):
                strip[y][16 * i + x] = cell[y][x]
    return strip


def rebar_band():
    top, bottom = (250, 245, 230), (232, 222, 196)
    rows = []
    for y in range(26):
        rows.append([mix(top, bottom, y / 25.0)] * 4)
    return rows


# ---------------------------------------------------------------- icons

def as_icon(img):
    return [[None if p is None else p + (255,) for p in row] for row in img]


# bar (top, height) rows, bar columns x0..x1, edge width, text line rows
RECORD_LAYOUT = {
    16: ([(1, 4), (6, 4), (11, 4)], 1, 14, 1, (2, 3)),
    20: ([(1, 5), (7, 5), (13, 5)], 1, 18, 1, (2, 3)),
    24: ([(1, 6), (9, 6), (17, 6)], 1, 22, 1, (2, 4)),
    32: ([(2, 8), (12, 8), (22, 8)], 2, 29, 2, (3, 5)),
}


def records(size):
    """Three stacked record bars, blue, with a key dot at each bar's left."""
    edge = (20, 50, 130)
    fill = (70, 130, 220)
    hi = (150, 195, 245)
    dot = (245, 245, 250)
    img = canvas(size, size, None)
    bars, x0, x1, s, (t0, t1) = RECORD_LAYOUT[size]
    line = (220, 232, 250) if s == 1 else (225, 235, 250)
    for top, hgt in bars:
        for y in range(top, top + hgt):
            for x in range(x0, x1 + 1):
                at_edge = (y < top + s or y >= top + hgt - s or
                           x < x0 + s or x > x1 - s)
                corner = (x in (x0, x1) and y in (top, top + hgt - 1))
                if corner:
                    continue
                if at_edge:
                    img[y][x] = edge
                elif y < top + 2 * s:
                    img[y][x] = hi
                else:
                    img[y][x] = fill
        # key dot and a text line on each bar
        side = hgt - 2 * s
        for y in range(top + s, top + s + side):
            for x in range(x0 + 2 * s, x0 + 2 * s + side):
                img[y][x] = dot
        for x in range(x0 + 2 * s + side + s, x1 - 1 - s):
            for y in range(top + t0, top + t1):
                img[y][x] = line
    return img


# -------------------------------------------------------------- cursors

def grid_from(size, black, white_extra=()):
    """Black cells with a white outline (8-neighbour) round them."""
    g = [["."] * size for _ in range(size)]
    for (x, y) in outline_of(black, size, size, eight=True):
        g[y][x] = "W"
    for (x, y) in white_extra:
        g[y][x] = "W"
    for (x, y) in black:
        g[y][x] = "K"
    return ["".join(r) for r in g]


def splitter_cursor():
    black = set()
    # two vertical bars, 2 px each, one white column between them
    for y in range(8, 25):
        for x in (14, 15, 17, 18):
            black.add((x, y))
    # left arrow, tip at x=10 pointing right; right arrow mirrored
    for x in range(5, 11):
        h = 10 - x
        for y in range(16 - h, 16 + h + 1):
            black.add((x, y))
            black.add((32 - x, y))
    for x in range(2, 5):
        black.add((x, 16))
        black.add((32 - x, 16))
    white = {(16, y) for y in range(8, 25)}
    return grid_from(32, black, white), (16, 16)


def hand_cursor():
    spans = {}
    for y in range(2, 13):
        spans[y] = [(9, 12)]
    for y in range(9, 15):
        spans[y] = [(9, 12), (14, 16)]
    for y in range(10, 15):
        spans[y].append((18, 20))
    for y in range(12, 15):
        spans[y].append((22, 24))
    spans[14].insert(0, (4, 8))
    for y, (a, b) in zip(range(15, 25),
                         [(4, 24), (4, 24), (5, 24), (6, 24), (7, 24),
                          (8, 23), (9, 22), (10, 21), (10, 21), (10, 21)]):
        spans[y] = [(a, b)]
    inside = {(x, y) for y, ss in spans.items() for a, b in ss
              for x in range(a, b + 1)}
    edge = outline_of(inside, 32, 32, eight=False)
    g = [["."] * 32 for _ in range(32)]
    for (x, y) in inside:
        g[y][x] = "W"
    for (x, y) in edge:
        g[y][x] = "K"
    # the crease under the thumb
    for (x, y) in ((8, 16), (9, 17), (10, 18), (11, 19)):
        g[y][x] = "K"
    grid = ["".join(r) for r in g]
    top = min(y for y in range(32) if "K" in grid[y])
    xs = [x for x in range(32) if grid[top][x] == "K"]
    hot = ((xs[0] + xs[-1]) // 2, top)
    return grid, hot


# ----------------------------------------------------------------- main

LARGER = (20, 24, 32)          # image-list sizes at 120, 144 and 192 DPI
ICON_SIZES = (16, 20, 24, 32)


def small_pictures():
    """name: (the 16-px picture, a drawing for any other size)."""
    def marks(cols):
        return (lambda: mark(16, cols, WHITE),
                lambda n: mark(n, cols, WHITE))
    return {
        "bmp108": (folder_closed, folder_closed_at),
        "bmp109": (folder_open, folder_open_at),
        "bmp122": marks((BLUE,) * 4),
        "bmp124": marks((RED, BLUE, BLUE, RED)),
        "bmp123": marks((RED, BLUE, BLUE, GREEN)),
        "bmp130": (magnifier, magnifier_at),
        "bmp125": (toolbar, toolbar_at),
    }


def main():
    for name, (at16, at_n) in small_pictures().items():
        save(name + ".bmp", bmp24_bytes(at16()))
        for n in LARGER:
            save("%s_%d.bmp" % (name, n), bmp24_bytes(at_n(n)))
    save("bmp127.bmp", bmp24_bytes(rebar_band()))

    for name, cols in (("ico105.ico", (RED, TEAL, TEAL, RED)),
                       ("ico106.ico", (TEAL,) * 4),
                       ("ico107.ico", (RED, TEAL, TEAL, GREEN))):
        save(name, ico_bytes([as_icon(mark(n, cols)) for n in ICON_SIZES]))
    save("ico136.ico", ico_bytes([as_icon(records(n)) for n in ICON_SIZES]))

    grid, hot = splitter_cursor()
    save("cur129.cur", cur_bytes(grid, hot))
    grid, hot = hand_cursor()
    save("cur134.cur", cur_bytes(grid, hot))
    print("cur134.cur hot spot", hot)


if __name__ == "__main__":
    main()
