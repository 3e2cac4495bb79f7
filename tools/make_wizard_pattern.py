#!/usr/bin/python3
"""Draws the start screen's background tile, resources/Wizard_pattern.jpg: a pale
blue-grey ground with small confetti dots and stars that repeat without seams. Needs
Debian's python3 and python3-pil:

    /usr/bin/python3 tools/make_wizard_pattern.py [resources folder]

The output is committed; run this again only to change the tile."""

import math
import os
import sys

from PIL import Image, ImageDraw

SIZE = 160
SCALE = 4  # drawn large, then scaled down for smooth edges
GROUND = (236, 241, 250)
COLOURS = [(201, 216, 242), (243, 214, 226), (214, 236, 222), (247, 233, 205)]


def star(draw, cx, cy, r, colour):
    points = []
    for i in range(10):
        angle = -math.pi / 2 + i * math.pi / 5
        radius = r if i % 2 == 0 else r * 0.45
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    draw.polygon(points, fill=colour)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    big = SIZE * SCALE
    image = Image.new("RGB", (big, big), GROUND)
    draw = ImageDraw.Draw(image)
    # A fixed, hand-picked layout; every shape is drawn at its place and at its copies one
    # tile away, so the tile repeats without seams.
    shapes = [
        ("dot", 18, 22, 5, 0), ("dot", 70, 12, 3, 1), ("star", 118, 30, 9, 3),
        ("dot", 150, 70, 4, 2), ("star", 40, 78, 7, 1), ("dot", 96, 96, 6, 0),
        ("dot", 12, 130, 3, 3), ("star", 138, 138, 8, 0), ("dot", 72, 148, 4, 1),
        ("dot", 120, 84, 2, 2), ("dot", 54, 42, 2, 3), ("star", 84, 60, 5, 2),
    ]
    for kind, x, y, r, c in shapes:
        for dx in (-SIZE, 0, SIZE):
            for dy in (-SIZE, 0, SIZE):
                cx, cy, rr = (x + dx) * SCALE, (y + dy) * SCALE, r * SCALE
                if kind == "dot":
                    draw.ellipse((cx - rr, cy - rr, cx + rr, cy + rr), fill=COLOURS[c])
                else:
                    star(draw, cx, cy, rr, COLOURS[c])
    tile = image.resize((SIZE, SIZE), Image.LANCZOS)
    path = os.path.join(folder, "Wizard_pattern.jpg")
    tmp = path + ".tmp"
    tile.save(tmp, "JPEG", quality=90)
    os.replace(tmp, path)


if __name__ == "__main__":
    main()
