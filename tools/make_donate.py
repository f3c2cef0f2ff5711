#!/usr/bin/python3
"""Draws the donation button's picture of the Information window
(resources/donate.png, 96 x 109, transparent background): a red heart over a
golden coin. The band below y = 86 stays empty: the program writes the word
("Donate", "Faire un don", "Donar") there in the language in use
(DonatePicture, dialogs/UnitInfo.cpp).

    tools/make_donate.py resources/donate.png
"""
import sys

from PIL import Image, ImageDraw

W, H = 96, 109
S = 4  # drawn four times larger, then reduced for smooth edges


def main(out):
    img = Image.new("RGBA", (W * S, H * S), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    # The coin.
    cx, cy, r = 48 * S, 44 * S, 40 * S
    d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(214, 168, 38, 255),
              outline=(140, 100, 10, 255), width=3 * S)
    r2 = 33 * S
    d.ellipse((cx - r2, cy - r2, cx + r2, cy + r2), outline=(246, 214, 110, 255), width=2 * S)
    # The heart: two discs and a triangle.
    hr = 11 * S
    hy = cy - 6 * S
    d.ellipse((cx - 2 * hr, hy - hr, cx, hy + hr), fill=(200, 20, 30, 255))
    d.ellipse((cx, hy - hr, cx + 2 * hr, hy + hr), fill=(200, 20, 30, 255))
    d.polygon([(cx - 2 * hr + S, hy + 3 * S), (cx + 2 * hr - S, hy + 3 * S),
               (cx, hy + 2 * hr + 6 * S)], fill=(200, 20, 30, 255))
    img = img.resize((W, H), Image.LANCZOS)
    img.save(out, optimize=True)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/donate.png")
