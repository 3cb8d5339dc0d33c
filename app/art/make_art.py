#!/usr/bin/env python3
"""Draws the Kovanta resource artwork (BMP, ICO, CUR) next to this script.

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
    """images: list of pixel grids (largest first)."""
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

def folder_closed():
    pal = {"K": (40, 80, 140), "H": (205, 230, 250), "L": (150, 200, 240),
           "D": (95, 150, 205)}
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
    pal = {"K": (40, 60, 110), "B": (110, 160, 225), "b": (70, 115, 190),
           "Y": (250, 215, 70), "W": (255, 245, 180), "O": (200, 150, 20),
           "k": (120, 85, 10)}
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


def magnifier():
    img = canvas(16, 16, WHITE)
    cx, cy = 6.0, 6.0
    dark = (40, 40, 55)
    rim = (140, 145, 165)
    glass = (190, 220, 245)
    shine = (240, 248, 254)
    handle = (120, 65, 20)
    handle_hi = (175, 105, 45)
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
    pal = {"R": (225, 30, 30), "r": (150, 10, 10), "L": (250, 120, 110)}
    paint(img, rows, pal)
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
    pal = dict(TB)
    pal["b"] = (30, 60, 150)
    pal["c"] = (150, 200, 250)
    paint(img, rows, pal)
    return img


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


def records(size):
    """Three stacked record bars, blue, with a key dot at each bar's left."""
    edge = (20, 50, 130)
    fill = (70, 130, 220)
    hi = (150, 195, 245)
    dot = (245, 245, 250)
    img = canvas(size, size, None)
    if size == 16:
        bars = [(1, 4), (6, 4), (11, 4)]       # (top, height)
        x0, x1 = 1, 14
    else:
        bars = [(2, 8), (12, 8), (22, 8)]
        x0, x1 = 2, 29
    s = size // 16
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
        dy = top + s
        for y in range(dy, dy + hgt - 2 * s):
            for x in range(x0 + 2 * s, x0 + 2 * s + (hgt - 2 * s)):
                img[y][x] = dot
        if size == 32:
            for x in range(x0 + 10, x1 - 3):
                for y in range(top + 3, top + 5):
                    img[y][x] = (225, 235, 250)
        else:
            for x in range(x0 + 5, x1 - 2):
                img[top + 2][x] = (220, 232, 250)
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

def main():
    save("bmp108.bmp", bmp24_bytes(folder_closed()))
    save("bmp109.bmp", bmp24_bytes(folder_open()))
    save("bmp122.bmp", bmp24_bytes(mark(16, (BLUE,) * 4, WHITE)))
    save("bmp124.bmp", bmp24_bytes(mark(16, (RED, BLUE, BLUE, RED), WHITE)))
    save("bmp123.bmp", bmp24_bytes(mark(16, (RED, BLUE, BLUE, GREEN),
                                        WHITE)))
    save("bmp130.bmp", bmp24_bytes(magnifier()))
    save("bmp125.bmp", bmp24_bytes(toolbar()))
    save("bmp127.bmp", bmp24_bytes(rebar_band()))

    for name, cols in (("ico105.ico", (RED, TEAL, TEAL, RED)),
                       ("ico106.ico", (TEAL,) * 4),
                       ("ico107.ico", (RED, TEAL, TEAL, GREEN))):
        save(name, ico_bytes([as_icon(mark(32, cols)),
                              as_icon(mark(16, cols))]))
    save("ico136.ico", ico_bytes([as_icon(records(32)),
                                  as_icon(records(16))]))

    grid, hot = splitter_cursor()
    save("cur129.cur", cur_bytes(grid, hot))
    grid, hot = hand_cursor()
    save("cur134.cur", cur_bytes(grid, hot))
    print("cur134.cur hot spot", hot)


if __name__ == "__main__":
    main()
