#!/usr/bin/env python3
"""Draws the program icon: a silver disc with a green play badge, one 32 x 32 image with the
16 standard Windows colours (4-bit DIB with an AND mask). Writes resources/Varnith2.ico, which
the build compiles into the launcher as its resource MAINICON and copies beside the programs as
the default disc icon. Python 3 standard library only; run it again after changing the drawing."""

import math
import os
import struct

SIZE = 32

# The 16 standard colours, in their usual order (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, SILVER, GRAY, LIME, YELLOW, FUCHSIA, AQUA, WHITE = 0, 2, 7, 8, 10, 11, 13, 14, 15
TRANSPARENT = None

DISC_CENTRE, DISC_RADIUS = (14.0, 14.0), 13.5
BADGE_CENTRE, BADGE_RADIUS = (23.5, 23.5), 7.95
PLAY = [(-2.5, -4.5), (-2.5, 4.5), (5.0, 0.0)]  # relative to the badge centre


def inside_triangle(px, py, tri):
    def side(a, b):
        return (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0])
    s = [side(tri[i], tri[(i + 1) % 3]) for i in range(3)]
    return all(v >= 0 for v in s) or all(v <= 0 for v in s)


def disc_colour(px, py):
    dx, dy = px - DISC_CENTRE[0], py - DISC_CENTRE[1]
    d = math.hypot(dx, dy)
    if d > DISC_RADIUS or d < 2.0:
        return TRANSPARENT  # outside, or the centre hole
    if d > DISC_RADIUS - 1.0 or d < 3.0:
        return GRAY  # outer rim and hole edge
    if d < 5.0:
        return WHITE  # the clear hub
    angle = math.degrees(math.atan2(-dy, dx)) % 360
    # Two opposite reflections, each with a thin rainbow fringe.
    for start in (20, 200):
        a = (angle - start) % 360
        if a < 7:
            return YELLOW if start == 20 else FUCHSIA
        if a < 42:
            return WHITE
        if a < 49:
            return AQUA
    return SILVER


def colour_at(x, y):
    px, py = x + 0.5, y + 0.5
    bx, by = px - BADGE_CENTRE[0], py - BADGE_CENTRE[1]
    e = math.hypot(bx, by)
    if e <= BADGE_RADIUS:
        if inside_triangle(bx, by, PLAY):
            return WHITE
        if e > BADGE_RADIUS - 1.0:
            return BLACK
        # A light crescent along the upper left, as if lit from there.
        return LIME if math.hypot(bx - 1.5, by - 1.5) > BADGE_RADIUS - 1.0 else GREEN
    if e <= BADGE_RADIUS + 1.0 and disc_colour(px, py) is not TRANSPARENT:
        return WHITE  # a light gap parts the badge from the disc
    return disc_colour(px, py)


def icon_bytes():
    rows = [[colour_at(x, y) for x in range(SIZE)] for y in range(SIZE)]
    xor_bits, and_bits = bytearray(), bytearray()
    for row in reversed(rows):  # DIB rows run bottom-up
        for x in range(0, SIZE, 2):
            hi, lo = (c if c is not None else BLACK for c in row[x:x + 2])
            xor_bits.append(hi << 4 | lo)
        mask = 0
        for x, c in enumerate(row):
            if c is None:
                mask |= 1 << (SIZE - 1 - x)
        and_bits += mask.to_bytes(SIZE // 8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor_bits) + len(and_bits), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    image = header + palette + bytes(xor_bits) + bytes(and_bits)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    data = icon_bytes()
    with open(os.path.join(root, "Varnith2.ico"), "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
