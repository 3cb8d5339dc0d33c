#!/usr/bin/env python3
"""Reads every Kovanta art file back and prints one line per file.

Checks the headers, the sizes (16 px and the 20/24/32-px redrawings), the
empty corners, the icon/cursor directories and hot spots.
Exits with status 1 if anything is wrong.  Run:  python3 check_art.py
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

LARGER = (20, 24, 32)            # image-list sizes at 120, 144 and 192 DPI
WHITE, GREY = (255, 255, 255), (192, 192, 192)

BITMAPS = {                      # name: (width, height, key colour)
    "bmp125.bmp": (118, 16, GREY),
    "bmp127.bmp": (4, 26, None),
}
for stem in ("bmp108", "bmp109", "bmp122", "bmp123", "bmp124", "bmp130"):
    BITMAPS[stem + ".bmp"] = (16, 16, WHITE)
    for n in LARGER:
        BITMAPS["%s_%d.bmp" % (stem, n)] = (n, n, WHITE)
for n in LARGER:
    BITMAPS["bmp125_%d.bmp" % n] = (7 * n, n, GREY)
ICONS = {name: [16, 20, 24, 32] for name in
         ("ico105.ico", "ico106.ico", "ico107.ico", "ico136.ico")}
CURSORS = {"cur129.cur": (32, (16, 16)), "cur134.cur": (32, None)}

failures = []


def fail(name, why):
    failures.append("%s: %s" % (name, why))


def read(name):
    with open(os.path.join(HERE, name), "rb") as f:
        return f.read()


def info_header(data, off):
    return struct.unpack_from("<IiiHHIIiiII", data, off)


def check_bmp(name, want):
    data = read(name)
    magic, fsize, _, _, pix_off = struct.unpack_from("<2sIHHI", data, 0)
    size, w, h, planes, bpp, comp, img_size = info_header(data, 14)[:7]
    if magic != b"BM" or fsize != len(data):
        fail(name, "bad file header")
    if size != 40 or planes != 1 or bpp != 24 or comp != 0:
        fail(name, "not an uncompressed 24-bit BITMAPINFOHEADER bitmap")
    if (w, h) != want[:2]:
        fail(name, "size %dx%d, want %dx%d" % (w, h, want[0], want[1]))
    stride = (w * 3 + 3) & ~3
    if pix_off != 54 or len(data) != 54 + stride * abs(h) or h <= 0:
        fail(name, "pixel data size/offset wrong (or not bottom-up)")

    def px(x, y):                      # y from the top
        o = pix_off + (h - 1 - y) * stride + 3 * x
        b, g, r = data[o:o + 3]
        return (r, g, b)

    key = want[2]
    used = sum(1 for y in range(h) for x in range(w) if px(x, y) != key)
    note = ""
    if key is not None:
        corners = [px(0, 0), px(w - 1, 0), px(0, h - 1), px(w - 1, h - 1)]
        if any(c != key for c in corners):
            fail(name, "corners are not the background colour")
        note = ", %d drawn pixels on %s" % (used, key)
    if name.startswith("bmp125"):        # 7 toolbar cells of h x h
        n = h
        if any(px(x, y) != key for x in range(7 * n, w) for y in range(h)):
            fail(name, "columns %d..%d are not plain background"
                 % (7 * n, w - 1))
        empty = [i for i in range(7)
                 if all(px(n * i + x, y) == key
                        for x in range(n) for y in range(n))]
        if empty:
            fail(name, "empty toolbar cells %s" % empty)
        filled = [i for i in range(7)
                  if any(px(n * i + x, y) != key
                         for x in (0, n - 1) for y in (0, n - 1))]
        if filled:
            fail(name, "toolbar cells %s have drawn corners" % filled)
        note += ", 7 cells of %dx%d" % (n, n)
    if name == "bmp127.bmp":
        top, bottom = px(0, 0), px(0, h - 1)
        if not sum(bottom) < sum(top):
            fail(name, "band does not get darker towards the bottom")
        note = ", %s at top to %s at bottom" % (top, bottom)
    print("%-13s BMP %dx%d 24-bit, %d bytes%s" % (name, w, h, len(data), note))


def check_dir(name, data, want_type):
    reserved, typ, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or typ != want_type:
        fail(name, "bad directory header (type %d)" % typ)
    entries = []
    for i in range(count):
        entries.append(struct.unpack_from("<BBBBHHII", data, 6 + 16 * i))
    return entries


def check_ico(name, sizes):
    data = read(name)
    entries = check_dir(name, data, 1)
    got = []
    for (bw, bh, colours, _, planes, bits, nbytes, off) in entries:
        w = bw or 256
        h = bh or 256
        size, dw, dh, dplanes, dbits = info_header(data, off)[:5]
        if (size != 40 or dw != w or dh != 2 * h or dbits != 32 or
                planes != 1 or bits != 32 or colours != 0):
            fail(name, "image %dx%d: not a 32-bit BMP-style entry" % (w, h))
        want_bytes = 40 + w * h * 4 + ((w + 31) // 32) * 4 * h
        if nbytes != want_bytes or off + nbytes > len(data):
            fail(name, "image %dx%d: byte count %d, want %d"
                 % (w, h, nbytes, want_bytes))
        # every opaque pixel must be clear in the AND mask and vice versa
        mask_off = off + 40 + w * h * 4
        stride = ((w + 31) // 32) * 4
        opaque = 0
        for y in range(h):
            for x in range(w):
                a = data[off + 40 + (y * w + x) * 4 + 3]
                m = (data[mask_off + y * stride + (x >> 3)] >> (7 - (x & 7))) & 1
                if (a == 255) == bool(m):
                    fail(name, "alpha and AND mask disagree at %d,%d" % (x, y))
                    return
                opaque += a == 255
        if any(data[off + 40 + (y * w + x) * 4 + 3]
               for x in (0, w - 1) for y in (0, h - 1)):
            fail(name, "image %dx%d: corners are not transparent" % (w, h))
        got.append("%dx%d/%dbpp (%d opaque px)" % (w, h, bits, opaque))
    if [e[0] or 256 for e in entries] != sizes:
        fail(name, "image sizes %s, want %s"
             % ([e[0] for e in entries], sizes))
    print("%-13s ICO %d images: %s, %d bytes"
          % (name, len(entries), ", ".join(got), len(data)))


def check_cur(name, want):
    data = read(name)
    entries = check_dir(name, data, 2)
    if len(entries) != 1:
        fail(name, "want one image, found %d" % len(entries))
    bw, bh, colours, _, hx, hy, nbytes, off = entries[0]
    size, w, h, planes, bits = info_header(data, off)[:5]
    if (bw, bh) != (want[0], want[0]) or (w, h) != (want[0], 2 * want[0]):
        fail(name, "size wrong")
    if bits != 1 or size != 40:
        fail(name, "not a monochrome cursor")
    stride = ((w + 31) // 32) * 4
    if nbytes != 40 + 8 + 2 * stride * bw or off + nbytes != len(data):
        fail(name, "byte count wrong")
    if not (0 <= hx < bw and 0 <= hy < bh):
        fail(name, "hot spot outside the image")
    if want[1] is not None and (hx, hy) != want[1]:
        fail(name, "hot spot %s, want %s" % ((hx, hy), want[1]))
    xor_off = off + 48
    and_off = xor_off + stride * bw

    def bit(base, x, y):
        row = base + (bw - 1 - y) * stride
        return (data[row + (x >> 3)] >> (7 - (x & 7))) & 1

    black = sum(1 for y in range(bw) for x in range(bw)
                if not bit(and_off, x, y) and not bit(xor_off, x, y))
    white = sum(1 for y in range(bw) for x in range(bw)
                if not bit(and_off, x, y) and bit(xor_off, x, y))
    if bit(and_off, hx, hy):
        fail(name, "hot spot pixel is transparent")
    print("%-13s CUR %dx%d 1-bit, hot spot (%d,%d), %d black + %d white px,"
          " %d bytes" % (name, bw, bh, hx, hy, black, white, len(data)))


def main():
    for name, want in sorted(BITMAPS.items()):
        check_bmp(name, want)
    for name, sizes in sorted(ICONS.items()):
        check_ico(name, sizes)
    for name, want in sorted(CURSORS.items()):
        check_cur(name, want)
    for f in failures:
        print("FAIL " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
