#!/usr/bin/python3
"""Draws the picture library's own content: the card backgrounds in resources/Background
and a few picture categories in resources/LibraryImage. Pure Python (zlib PNG), so it
runs with Debian's python3 alone:

    /usr/bin/python3 tools/make_library_pictures.py [resources folder]

The output is committed; run this again only to change the pictures."""

import math
import os
import struct
import sys
import zlib


def png(path, width, height, pixel):
    """Writes an RGBA PNG; pixel(x, y) answers (r, g, b, a) in 0..255."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    data += chunk(b"IEND", b"")
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def smooth(inside, x, y):
    """Coverage of a shape at a pixel, from 4 x 4 samples."""
    hits = 0
    for i in range(4):
        for j in range(4):
            hits += inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)
    return hits / 16.0


def over(base, colour, coverage):
    return mix(base, colour, coverage)


# ---- Backgrounds (card proportions, 2 pixels a point) ------------------------------------

BG_W, BG_H = 486, 308


def sunrise(x, y):
    sky = mix((255, 214, 150, 255), (250, 120, 110, 255), y / BG_H)
    d = math.hypot(x - BG_W * 0.5, y - BG_H * 0.95)
    return mix((255, 250, 210, 255), sky, (d - 40) / 120.0)


def waves(x, y):
    base = mix((200, 235, 250, 255), (40, 120, 190, 255), y / BG_H)
    band = math.sin(x / 38.0 + 3 * math.sin(y / 60.0)) * 0.5 + 0.5
    wave = math.sin(y / 14.0 + math.sin(x / 45.0) * 2.0)
    return mix(base, (255, 255, 255, 255), 0.25 * band if wave > 0.85 else 0.0)


CONFETTI = []


def confetti(x, y):
    if not CONFETTI:
        seed = 7
        colours = [(240, 90, 110, 255), (250, 200, 60, 255), (80, 180, 120, 255), (80, 140, 230, 255)]
        for i in range(70):
            seed = (seed * 1103515245 + 12345) % 2147483648
            cx = seed % BG_W
            seed = (seed * 1103515245 + 12345) % 2147483648
            cy = seed % BG_H
            CONFETTI.append((cx, cy, 4 + i % 6, colours[i % 4]))
    colour = (255, 250, 240, 255)
    for cx, cy, r, c in CONFETTI:
        if abs(x - cx) <= r + 1 and abs(y - cy) <= r + 1:
            colour = over(colour, c, smooth(lambda px, py: math.hypot(px - cx, py - cy) <= r, x, y))
    return colour


def stripes(x, y):
    stripe = int((x + y) / 22) % 2
    return (236, 228, 250, 255) if stripe else (250, 246, 255, 255)


# ---- Library pictures (128 x 128, transparent around the drawing) ---------------------------

SIZE = 128
CLEAR = (0, 0, 0, 0)


def flower(petals, petal_colour, centre_colour):
    def pixel(x, y):
        def petal(px, py):
            dx, dy = px - 64, py - 64
            r = math.hypot(dx, dy)
            return r <= 26 + 30 * abs(math.cos(petals / 2.0 * math.atan2(dy, dx)))
        c = over(CLEAR, petal_colour, smooth(petal, x, y))
        return over(c, centre_colour, smooth(lambda px, py: math.hypot(px - 64, py - 64) <= 16, x, y))
    return pixel


def fish(body_colour):
    def body(px, py):
        return ((px - 58) / 40.0) ** 2 + ((py - 64) / 24.0) ** 2 <= 1

    def tail(px, py):
        return 92 <= px <= 120 and abs(py - 64) <= (px - 92) * 0.9

    def pixel(x, y):
        c = over(CLEAR, body_colour, smooth(lambda px, py: body(px, py) or tail(px, py), x, y))
        return over(c, (30, 30, 40, 255), smooth(lambda px, py: math.hypot(px - 36, py - 58) <= 4, x, y))
    return pixel


def star(points, colour):
    def inside(px, py):
        dx, dy = px - 64, py - 66
        a = math.atan2(dy, dx) + math.pi / 2
        sector = (a % (2 * math.pi / points)) / (2 * math.pi / points)
        edge = 24 + 34 * abs(1 - 2 * sector)
        return math.hypot(dx, dy) <= edge
    return lambda x, y: over(CLEAR, colour, smooth(inside, x, y))


def heart(colour):
    def inside(px, py):
        u, v = (px - 64) / 48.0, (64 - py) / 48.0 + 0.2
        return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0
    return lambda x, y: over(CLEAR, colour, smooth(inside, x, y))


def balloon(colour):
    def ball(px, py):
        return ((px - 64) / 34.0) ** 2 + ((py - 52) / 42.0) ** 2 <= 1

    def string(px, py):
        return 94 <= py <= 124 and abs(px - 64 - 4 * math.sin(py / 5.0)) <= 1.2

    return lambda x, y: over(CLEAR, colour, smooth(lambda px, py: ball(px, py) or string(px, py), x, y))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    backgrounds = {"Confetti": confetti, "Stripes": stripes, "Sunrise": sunrise, "Waves": waves}
    library = {
        "flowers": {"Daisy": flower(8, (255, 255, 255, 255), (250, 200, 40, 255)),
                    "Rose": flower(5, (230, 60, 90, 255), (150, 20, 50, 255)),
                    "Violet": flower(6, (140, 90, 210, 255), (250, 230, 120, 255))},
        "sea animals": {"Blue Fish": fish((60, 130, 220, 255)),
                        "Gold Fish": fish((250, 150, 40, 255))},
        "party": {"Balloon": balloon((230, 60, 70, 255)),
                  "Heart": heart((220, 40, 80, 255)),
                  "Star": star(5, (250, 200, 40, 255))},
    }
    os.makedirs(os.path.join(root, "Background"), exist_ok=True)
    for name, pixel in backgrounds.items():
        png(os.path.join(root, "Background", name + ".png"), BG_W, BG_H, pixel)
    for category, pictures in library.items():
        folder = os.path.join(root, "LibraryImage", category)
        os.makedirs(folder, exist_ok=True)
        for name, pixel in pictures.items():
            png(os.path.join(folder, name + ".png"), SIZE, SIZE, pixel)


if __name__ == "__main__":
    main()
