#!/usr/bin/python3
"""Builds the small pictures of Korvanta in resources/:

- background.png: the blank 600 x 600 azimuthal template, 16-colour palette;
- tovak.png: the signature picture over the world map, 80 x 17;
- dx.png, dx45.png: the two 29 x 29 DX marker shapes, black on transparent white;
- korvanta.png: the 64 x 64 window icon, a small azimuthal map made from
  worldmap.png (which must be built first).

Usage: make_pictures.py RESOURCES_DIR
"""

import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

PALETTE = [
    0x000000, 0x63C66B, 0x738CC6, 0x8484C6, 0x946B42, 0x9CDEA5, 0xA5B5EF, 0xBDDEA5,
    0xD67342, 0xDEDEDE, 0xDEF7FF, 0xFFCE9C, 0xFFFFB5, 0xA877C7, 0xB17F1D, 0xFFFFFF,
]
BLACK, WHITE = 0, 15
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# A 5-pixel-high hand-made font for the signature on the background.
GLYPHS = {
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "o": ["...", ".#.", "#.#", "#.#", ".#."],
    "v": ["...", "#.#", "#.#", "#.#", ".#."],
    "a": ["...", ".##", "#.#", "#.#", ".##"],
    "k": ["#..", "#.#", "##.", "##.", "#.#"],
}


def rgb(c):
    return ((c >> 16) & 255, (c >> 8) & 255, c & 255)


def background(path):
    n = 600
    y, x = np.mgrid[0:n, 0:n]
    disc = (x - 299) ** 2 + (y - 299) ** 2 <= 299.5 ** 2
    idx = np.where(disc, WHITE, BLACK).astype(np.uint8)
    # Signature in the lower right corner, on the black, outside the disc.
    word = "Tovak"
    width = sum(len(GLYPHS[ch][0]) for ch in word) + len(word) - 1
    x0, y0 = 596 - width, 592
    for ch in word:
        rows = GLYPHS[ch]
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == "#":
                    assert not disc[y0 + dy, x0 + dx]
                    assert 540 <= x0 + dx <= 599 and 560 <= y0 + dy <= 599
                    idx[y0 + dy, x0 + dx] = WHITE
        x0 += len(rows[0]) + 1
    img = Image.fromarray(idx, "P")
    pal = []
    for c in PALETTE:
        pal.extend(rgb(c))
    img.putpalette(pal)
    img.save(path, bits=4, optimize=False)


def tovak(path):
    w, h = 80, 17
    img = Image.new("RGB", (w, h), (255, 255, 255))
    d = ImageDraw.Draw(img)
    font = ImageFont.truetype(os.path.join(FONT_DIR, "DejaVuSans-BoldOblique.ttf"), 13)
    text = "Tovak"
    box = d.textbbox((0, 0), text, font=font)
    tx = (w - (box[2] - box[0])) // 2 - box[0]
    ty = (h - 3 - (box[3] - box[1])) // 2 - box[1]
    d.text((tx, ty), text, font=font, fill=(0x3C, 0x50, 0x70))
    # A light signature stroke under the word.
    d.line([(tx - 6, 15), (tx + box[2] + 6, 15)], fill=(0xA0, 0xB0, 0xC8), width=1)
    img.save(path)


def inside_triangle(px, py, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])
    d1 = side((px, py), a, b)
    d2 = side((px, py), b, c)
    d3 = side((px, py), c, a)
    neg = d1 < -1e-9 or d2 < -1e-9 or d3 < -1e-9
    pos = d1 > 1e-9 or d2 > 1e-9 or d3 > 1e-9
    return not (neg and pos)


def save_marker(mask, path):
    a = np.zeros(mask.shape + (4,), np.uint8)
    a[~mask] = (255, 255, 255, 0)
    a[mask] = (0, 0, 0, 255)
    Image.fromarray(a, "RGBA").save(path)


def plus_sign(m):
    c = 14
    for d in (-1, 0, 1):
        m[c, c + d] = True
        m[c + d, c] = True


def four_fold(quarter):
    """Copies the figure of the top-left quadrant (and the top arm) to all four."""
    m = quarter | quarter[:, ::-1] | quarter[::-1, :] | quarter[::-1, ::-1]
    return m | m.T


def arrowhead(n, tip, direction, length, spread):
    """Pixels of a solid arrowhead with its tip at `tip`, opening backwards
    from `direction` (a unit vector pointing where the arrow points)."""
    m = np.zeros((n, n), bool)
    ux, uy = direction
    for y in range(n):
        for x in range(n):
            # t: distance behind the tip, s: offset across the arrow.
            t = -((x - tip[0]) * ux + (y - tip[1]) * uy)
            s = (x - tip[0]) * -uy + (y - tip[1]) * ux
            m[y, x] = 0 <= t <= length and abs(s) <= t * spread + 0.35
    return m


def dx_marker(path):
    n = 29
    r = 1 / math.sqrt(2)
    # Top-left arrowhead pointing down-right at the centre; the clear cross
    # cuts its tip off, so that the heads border the cross along its arms.
    q = arrowhead(n, (13.5, 13.5), (r, r), 11.0, 0.7)
    q[13:, :] = False
    q[:, 13:] = False
    m = four_fold(q)
    assert not m[13:16, :].any() and not m[:, 13:16].any()  # the clear cross
    assert m[12, 4:13].all() and m[4:13, 12].all()  # three pixels wide
    plus_sign(m)
    save_marker(m, path)


def dx45_marker(path):
    n = 29
    # Top arrow: a five-pixel-wide shaft from the edge and a head whose tip
    # (14, 11) stops one pixel short of the plus sign.
    q = arrowhead(n, (14, 11), (0, 1), 6.0, 0.8)
    q[0:6, 12:17] = True
    m = q | q[::-1, :]
    m = m | m.T
    assert not m[12, 14] and not m[14, 12]
    plus_sign(m)
    save_marker(m, path)


def icon(path, worldmap_path, size=64):
    """A small azimuthal equidistant map centred on Europe with a bearing line."""
    ss = 4
    world = np.asarray(Image.open(worldmap_path).convert("RGB")).astype(np.float64)
    wh, ww = world.shape[:2]
    n = size * ss
    r_px = (size / 2 - 2) * ss  # disc radius in supersampled pixels
    y, x = np.mgrid[0:n, 0:n].astype(np.float64)
    u = (x + 0.5 - n / 2) / r_px
    v = (n / 2 - (y + 0.5)) / r_px
    rho = np.hypot(u, v)
    inside = rho <= 1.0
    c = np.clip(rho, 0, 1) * math.pi * 0.7  # central angle: the rim is 126 degrees away
    az = np.arctan2(u, v)
    lat0, lon0 = math.radians(40.0), math.radians(15.0)
    lat = np.arcsin(np.sin(lat0) * np.cos(c) + np.cos(lat0) * np.sin(c) * np.cos(az))
    lon = lon0 + np.arctan2(np.sin(az) * np.sin(c) * np.cos(lat0),
                            np.cos(c) - np.sin(lat0) * np.sin(lat))
    px = np.rint((np.degrees(lon) + 180.0) * ww / 360.0).astype(int) % ww
    py = np.clip(np.rint((90.0 - np.degrees(lat)) * wh / 180.0).astype(int), 0, wh - 1)
    big = np.zeros((n, n, 4), np.float64)
    big[..., :3] = world[py, px]
    big[..., 3] = np.where(inside, 255.0, 0.0)
    img = Image.fromarray(np.rint(big).astype(np.uint8), "RGBA")
    d = ImageDraw.Draw(img)
    cx = cy = n / 2
    # One equidistant ring (a quarter of the way round the Earth) and the rim.
    rr = r_px * 0.5 / 0.7
    d.ellipse([cx - rr, cy - rr, cx + rr, cy + rr], outline=(70, 90, 120, 255), width=ss // 2)
    d.ellipse([cx - r_px, cy - r_px, cx + r_px, cy + r_px], outline=(20, 30, 50, 255),
              width=int(ss * 1.5))
    # The bearing line, to the north-east, with the centre point.
    a = math.radians(52)
    ex, ey = cx + math.sin(a) * r_px * 0.97, cy - math.cos(a) * r_px * 0.97
    d.line([(cx, cy), (ex, ey)], fill=(200, 30, 30, 255), width=int(ss * 1.6))
    cr = ss * 2.2
    d.ellipse([cx - cr, cy - cr, cx + cr, cy + cr], fill=(200, 30, 30, 255))
    img.resize((size, size), Image.LANCZOS).save(path)


def main():
    out = sys.argv[1]
    background(os.path.join(out, "background.png"))
    tovak(os.path.join(out, "tovak.png"))
    dx_marker(os.path.join(out, "dx.png"))
    dx45_marker(os.path.join(out, "dx45.png"))
    icon(os.path.join(out, "korvanta.png"), os.path.join(out, "worldmap.png"))


if __name__ == "__main__":
    main()
