#!/usr/bin/python3
"""Builds resources/worldmap.png, the political world map of Korvanta.

1194 x 765 pixels, 24-bit RGB, plate carree: pixel (X, Y) is centred on
lon = 360*X/1194 - 180, lat = 90 - 180*Y/765.

Data: GSHHG shorelines (land, lakes) through `gmt grdlandmask`, DCW country
polygons through `gmt coast -M -E<code>`. Everything is rasterised at
SUPER x SUPER samples per output pixel and averaged, so edges are
anti-aliased; coastlines and borders are drawn as one-pixel lines found on
the supersampled raster, so they match the fills exactly.

With --scale K (2 or 4) it builds the same map at K times the size
(1194K x 765K pixels, SUPER/K samples per pixel, so the same number of
samples), for the large gap-free maps; --palette stores it as a 4-bit
picture in the 16 map colours (every pixel reduced to the nearest one, as the
program itself reduces the world map), which keeps the file small.

Usage: make_worldmap.py OUTPUT.png [--report REPORT.txt] [--scale K] [--palette]
                        [--colours REPORT.txt]
"""

import argparse
import concurrent.futures
import math
import os
import pickle
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image, ImageDraw
from scipy import ndimage

W, H = 1194, 765
SUPER = 8
DX = 360.0 / W
DY = 180.0 / H
DCW_DIR = "/usr/share/gmt-dcw"

PALETTE = {
    0: 0x000000, 1: 0x63C66B, 2: 0x738CC6, 3: 0x8484C6, 4: 0x946B42, 5: 0x9CDEA5,
    6: 0xA5B5EF, 7: 0xBDDEA5, 8: 0xD67342, 9: 0xDEDEDE, 10: 0xDEF7FF, 11: 0xFFCE9C,
    12: 0xFFFFB5, 13: 0xA877C7, 14: 0xB17F1D, 15: 0xFFFFFF,
}
SEA = 0xDEF7FF
ANTARCTICA = 0xFFFFFF
COAST_INK = 0x000000
BORDER_INK = 0x404040

# Colour sets by continent (DCW continent codes). Africa and Asia share one
# set and are coloured together; Oceania takes warm light tones plus the
# light green, distinct from its one land neighbour, Indonesia, by the
# colouring itself.
# Lighter colours first: on a tie the largest countries get them.
AMERICAS = [0xBDDEA5, 0x9CDEA5, 0x63C66B]
EUROPE = [0xA5B5EF, 0x8484C6, 0x738CC6, 0xA877C7]
AFRICA_ASIA = [0xFFCE9C, 0xFFFFB5, 0xD67342, 0xB17F1D, 0x946B42]
OCEANIA = [0xFFCE9C, 0xFFFFB5, 0xBDDEA5, 0xD67342]
COLOUR_SETS = {"NA": AMERICAS, "SA": AMERICAS, "EU": EUROPE, "AF": AFRICA_ASIA,
               "AS": AFRICA_ASIA, "OC": OCEANIA}

# Small islands that must show at least one pixel of land, with a position
# on the island (lat, lon).
DX_ISLANDS = [
    ("Malta", 35.88, 14.45), ("Mauritius", -20.25, 57.55), ("Reunion", -21.13, 55.53),
    ("Tonga", -21.18, -175.20), ("Nauru", -0.53, 166.93), ("St Helena", -15.96, -5.71),
    ("Ascension", -7.94, -14.36), ("Pitcairn", -25.07, -130.10), ("Bermuda", 32.31, -64.75),
    ("Lord Howe", -31.55, 159.08), ("Chatham", -43.90, -176.50), ("Norfolk", -29.03, 167.95),
    ("Tristan da Cunha", -37.11, -12.28), ("Bouvet", -54.42, 3.36),
    ("Clipperton", 10.30, -109.22), ("Easter Island", -27.12, -109.35),
    ("Rodrigues", -19.72, 63.42), ("Amsterdam", -37.83, 77.55), ("Kerguelen", -49.35, 70.22),
    ("Crozet", -46.42, 51.80), ("Heard", -53.10, 73.52), ("Macquarie", -54.63, 158.86),
    ("Campbell", -52.54, 169.15), ("Niue", -19.05, -169.87), ("Tokelau", -9.20, -171.85),
    ("Wallis", -13.28, -176.18), ("Rotuma", -12.50, 177.07), ("Tuvalu", -8.52, 179.20),
    ("Banaba", -0.86, 169.54), ("Kiritimati", 1.87, -157.40), ("Baker", 0.19, -176.48),
    ("Howland", 0.81, -176.62), ("Jarvis", -0.37, -160.02), ("Johnston", 16.73, -169.53),
    ("Wake", 19.29, 166.62), ("Minami-Torishima", 24.29, 153.98), ("Midway", 28.21, -177.37),
    ("Palmyra", 5.88, -162.08), ("Kingman Reef", 6.40, -162.40), ("Swains", -11.06, -171.08),
    ("Malpelo", 4.00, -81.61), ("Cocos Island", 5.53, -87.06), ("Revillagigedo", 18.78, -110.96),
    ("Juan Fernandez", -33.64, -78.85), ("San Felix", -26.28, -80.12),
    ("Fernando de Noronha", -3.85, -32.42), ("St Peter and Paul", 0.92, -29.35),
    ("Trindade", -20.51, -29.33), ("South Georgia", -54.28, -36.50),
    ("South Sandwich", -57.78, -26.45), ("South Orkney", -60.70, -45.60),
    ("Gough", -40.32, -9.94), ("Azores", 38.70, -27.22), ("Madeira", 32.75, -16.98),
    ("Cape Verde", 14.92, -23.52), ("Sao Tome", 0.33, 6.73), ("Annobon", -1.43, 5.63),
    ("Seychelles", -4.62, 55.45), ("Agalega", -10.42, 56.65), ("Chagos", -7.32, 72.42),
    ("Maldives", 4.17, 73.51), ("Lakshadweep", 10.57, 72.64), ("Andaman", 11.67, 92.74),
    ("Christmas Island", -10.49, 105.63), ("Cocos Keeling", -12.19, 96.83),
    ("Willis Island", -16.29, 149.96), ("Mellish Reef", -17.41, 155.86),
("Ogasawara", 27.09, 142.19), ("Jan Mayen", 71.03, -8.29),
    ("Bear Island", 74.43, 19.05), ("Franz Josef Land", 80.6, 54.8),
    ("Peter I", -68.80, -90.58), ("Scott Island", -67.40, -179.97),
    ("Guadalupe", 29.05, -118.28), ("Aves Island", 15.67, -63.62),
    ("Sable Island", 43.95, -59.91), ("St Pierre", 46.78, -56.18),
    ("Pratas", 20.70, 116.72), ("Spratly", 10.38, 114.36), ("Scarborough", 15.15, 117.76),
    ("Ducie", -24.67, -124.79), ("Marquesas", -9.00, -140.05), ("Austral", -23.35, -149.47),
    ("Penrhyn", -9.00, -158.05), ("Rarotonga", -21.23, -159.78), ("Samoa", -13.76, -172.10),
    ("Fiji", -17.71, 178.07), ("Kermadec", -29.27, -177.92), ("Auckland Islands", -50.70, 166.10),
    ("Antipodes", -49.68, 178.78), ("Bounty", -47.75, 179.05), ("Snares", -48.02, 166.60),
    ("Marion", -46.90, 37.75), ("Prince Edward", -46.64, 37.95), ("St Paul", -38.72, 77.53),
    ("Tromelin", -15.89, 54.52), ("Glorioso", -11.55, 47.33), ("Juan de Nova", -17.05, 42.72),
    ("Europa", -22.36, 40.36), ("Mayotte", -12.82, 45.15), ("Comoros", -11.70, 43.33),
    ("Socotra", 12.47, 53.87), ("Pagan", 18.12, 145.76), ("Guam", 13.44, 144.79),
    ("Yap", 9.53, 138.13), ("Palau", 7.50, 134.60), ("Pohnpei", 6.88, 158.22),
    ("Kosrae", 5.32, 162.98), ("Majuro", 7.10, 171.38), ("Kwajalein", 8.72, 167.73),
    ("Tarawa", 1.45, 172.98), ("Kanton", -2.81, -171.68), ("Vanuatu", -15.38, 166.96),
    ("New Caledonia", -21.30, 165.40), ("Solomon", -9.64, 160.16), ("Rennell", -11.66, 160.20),
    ("Temotu", -10.72, 165.85), ("Conway Reef", -21.73, 174.63), ("Hunter", -22.40, 172.08),
    ("Matthew", -22.35, 171.35),
]


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, stdout=subprocess.PIPE, **kw).stdout


# Continent overrides: Greenland is coloured with the Americas, Russia with
# Europe.
CONTINENT_OVERRIDES = {"GL": "NA", "RU": "EU"}


def countries():
    """(continent, code, name) of every DCW country."""
    out = []
    with open(os.path.join(DCW_DIR, "dcw-countries.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cont, code, name = line.rstrip("\n").split(" ", 2)
            out.append((CONTINENT_OVERRIDES.get(code, cont), code, name))
    return out


def dcw_polygons(code):
    """List of (is_hole, array of (lon, lat)) for one DCW country."""
    text = run(["gmt", "coast", "-M", "-E" + code]).decode("utf-8", "replace")
    polys, cur, hole = [], [], False
    for line in text.splitlines():
        if line.startswith(">"):
            if len(cur) >= 3:
                polys.append((hole, np.array(cur)))
            cur, hole = [], ("-Ph" in line)
        elif line.strip():
            a, b = line.split()[:2]
            cur.append((float(a), float(b)))
    if len(cur) >= 3:
        polys.append((hole, np.array(cur)))
    return polys


def ring_area(pts):
    """Area on the plate-carree plane in square degrees, weighted by cos(lat)."""
    x, y = pts[:, 0], pts[:, 1]
    a = 0.5 * abs(np.dot(x, np.roll(y, -1)) - np.dot(y, np.roll(x, -1)))
    return a * math.cos(math.radians(float(np.mean(y))))


def to_super(lon, lat):
    """Supersampled raster coordinates (PIL: integer coordinates are sample centres)."""
    u = (lon + 180.0 + DX / 2) * SUPER / DX - 0.5
    v = (90.0 + DY / 2 - lat) * SUPER / DY - 0.5
    return u, v


def land_masks(tmp):
    """Boolean supersampled arrays (land, lake) from GSHHG full resolution."""
    s = SUPER
    lon0 = -180 - DX / 2 + 0.5 * DX / s
    lon1 = -180 - DX / 2 + (W * s - 0.5) * DX / s
    lat_n = 90 + DY / 2 - (s // 2 + 0.5) * DY / s
    lat_s = 90 + DY / 2 - (H * s - 0.5) * DY / s
    rows = H * s - s // 2
    region = f"-R{lon0:.12f}/{lon1:.12f}/{lat_s:.12f}/{lat_n:.12f}"
    inc = f"-I{W * s}+n/{rows}+n"

    def mask(args, name):
        grid = os.path.join(tmp, name + ".nc")
        run(["gmt", "grdlandmask", region, inc, "-Df", *args, "-G" + grid + "=nb"])
        raw = run(["gmt", "grd2xyz", grid, "-ZTLc"])
        a = np.frombuffer(raw, dtype=np.int8).reshape(rows, W * s)
        # The top s/2 sample rows lie beyond the pole: open sea.
        return np.vstack([np.zeros((s // 2, W * s), np.int8), a])

    with concurrent.futures.ThreadPoolExecutor(2) as ex:
        f_land = ex.submit(mask, ["-A0/0/1", "-N0/1"], "land")
        # Lakes of at least 1500 km^2 are shown as water.
        f_lake = ex.submit(mask, ["-A1500/0/2+l", "-N0/1/2/1/2"], "lake")
        land = f_land.result() == 1
        lake = f_lake.result() == 2
    return land & ~lake, lake


def rasterise_countries(polys_by_code, order):
    """uint8 label raster: 0 none, i+1 for order[i]."""
    img = Image.new("L", (W * SUPER, H * SUPER), 0)
    draw = ImageDraw.Draw(img)
    for idx, code in enumerate(order):
        label = idx + 1
        # Outer rings first, then holes, for each copy across the date line.
        for want_hole in (False, True):
            for hole, pts in polys_by_code[code]:
                if hole != want_hole:
                    continue
                for shift in (-360.0, 0.0, 360.0):
                    lo = pts[:, 0] + shift
                    if lo.max() < -181 or lo.min() > 181:
                        continue
                    u, v = to_super(lo, pts[:, 1])
                    xy = list(zip(u.tolist(), v.tolist()))
                    draw.polygon(xy, fill=0 if hole else label)
    return np.asarray(img)


def adjacency(labels):
    """{(a, b): shared sample-edge count} for labels a < b touching on land."""
    pairs = {}
    for a, b in ((labels[:, :-1], labels[:, 1:]), (labels[:-1, :], labels[1:, :])):
        m = (a != b) & (a > 0) & (b > 0)
        lo = np.minimum(a[m], b[m]).astype(np.int32)
        hi = np.maximum(a[m], b[m]).astype(np.int32)
        keys, counts = np.unique(lo * 256 + hi, return_counts=True)
        for k, c in zip(keys.tolist(), counts.tolist()):
            key = (k // 256, k % 256)
            pairs[key] = pairs.get(key, 0) + c
    return pairs


def darkness_weight(c):
    """Darker colours count more, so they cover less of the map."""
    lum = 0.299 * ((c >> 16) & 255) + 0.587 * ((c >> 8) & 255) + 0.114 * (c & 255)
    return 1.0 + 2.0 * (1.0 - lum / 255.0)


def colour_countries(order, continent_of, edges, sizes):
    """Greedy (DSatur order) colouring, then local improvement. Among the
    colours free of a clash, a country takes the one that covers the least
    map area so far (darker colours weighted up), so that the colours of a
    continent are balanced and light tones dominate.

    Returns {code: colour} and the list of neighbour pairs left with the same
    colour (when a colour set is too small for a neighbourhood).
    """
    n = len(order)
    nbrs = [dict() for _ in range(n + 1)]
    for (a, b), w in edges.items():
        if w < 2 * SUPER:  # a corner touch of the raster, not a border
            continue
        nbrs[a][b] = w
        nbrs[b][a] = w
    allowed = {}
    for i, code in enumerate(order, start=1):
        allowed[i] = COLOUR_SETS.get(continent_of[code], [ANTARCTICA])
    colour = {}
    use = {}
    todo = set(range(1, n + 1))
    while todo:
        # Most distinct neighbour colours first, then most neighbours, then largest.
        def key(i):
            sat = len({colour[j] for j in nbrs[i] if j in colour})
            return (sat, len(nbrs[i]), -i)
        i = max(todo, key=key)
        todo.remove(i)

        group = tuple(allowed[i])

        def cost(c):
            clash = sum(w for j, w in nbrs[i].items() if colour.get(j) == c)
            return (clash, use.get((group, c), 0) * darkness_weight(c), group.index(c))
        c = min(allowed[i], key=cost)
        colour[i] = c
        use[(group, c)] = use.get((group, c), 0) + int(sizes[i])
    # Local improvement: move a country to the colour with least clash.
    for _ in range(20):
        changed = False
        for i in range(1, n + 1):
            def clash(c):
                return sum(w for j, w in nbrs[i].items() if colour[j] == c)
            best = min(allowed[i], key=lambda c: (clash(c), c != colour[i]))
            if clash(best) < clash(colour[i]):
                colour[i] = best
                changed = True
        if not changed:
            break
    clashes = []
    for (a, b), w in edges.items():
        if b in nbrs[a] and colour[a] == colour[b]:
            clashes.append((order[a - 1], order[b - 1], w))
    return {order[i - 1]: colour[i] for i in colour}, clashes


def block_mean(a):
    """Mean over SUPER x SUPER blocks of a 2-D array."""
    return a.reshape(H, SUPER, W, SUPER).mean(axis=(1, 3), dtype=np.float64)


def line_ink(edge_mask, width):
    """Coverage (0..1) of lines `width` output pixels wide centred on edge samples."""
    dist = ndimage.distance_transform_edt(~edge_mask)
    # Edge samples sit on both sides of a boundary, half a sample from it.
    cover = (dist + 0.5) <= width * SUPER / 2.0
    return block_mean(cover.astype(np.float32))


def nearest_palette(img):
    """Palette index of every pixel: the nearest colour by squared RGB
    distance, the lowest index on a tie (the program's own rule)."""
    pal = np.array([[(c >> 16) & 255, (c >> 8) & 255, c & 255] for _, c in sorted(PALETTE.items())],
                   np.int32)
    flat = img.reshape(-1, 3).astype(np.int32)
    # Distinct colours only: the map is made of few.
    colours, inverse = np.unique(flat[:, 0] * 65536 + flat[:, 1] * 256 + flat[:, 2],
                                 return_inverse=True)
    rgb = np.stack([colours // 65536, (colours // 256) % 256, colours % 256], axis=1)
    dist = ((rgb[:, None, :] - pal[None, :, :]) ** 2).sum(axis=2)
    best = np.argmin(dist, axis=1).astype(np.uint8)  # argmin takes the first minimum
    return best[inverse].reshape(img.shape[:2])


def save_palette(img, path):
    idx = nearest_palette(img)
    pic = Image.fromarray(idx, "P")
    flat = []
    for _, c in sorted(PALETTE.items()):
        flat += [(c >> 16) & 255, (c >> 8) & 255, c & 255]
    pic.putpalette(flat)
    pic.save(path, optimize=True, bits=4)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("output")
    ap.add_argument("--report")
    ap.add_argument("--cache", help="folder that keeps the extracted data between runs")
    ap.add_argument("--scale", type=int, default=1, choices=(1, 2, 4, 8))
    ap.add_argument("--palette", action="store_true")
    ap.add_argument("--colours", help="take the country colours from this report of an earlier "
                    "run (so that every size shows each country in the same colour)")
    args = ap.parse_args()
    global W, H, SUPER, DX, DY
    W, H = 1194 * args.scale, 765 * args.scale
    SUPER = 8 // args.scale
    DX = 360.0 / W
    DY = 180.0 / H
    report = []

    clist = countries()
    continent_of = {code: cont for cont, code, _ in clist}
    name_of = {code: name for _, code, name in clist}
    suffix = "" if args.scale == 1 else f"-x{args.scale}"
    cache = args.cache and os.path.join(args.cache, f"worldmap-data{suffix}.pickle")
    if cache and os.path.exists(cache):
        with open(cache, "rb") as f:
            polys, land, lake = pickle.load(f)
    else:
        codes = [c for _, c, _ in clist]
        with concurrent.futures.ThreadPoolExecutor(4) as ex:
            polys = dict(zip(codes, ex.map(dcw_polygons, codes)))
        polys = {c: p for c, p in polys.items() if p}
        with tempfile.TemporaryDirectory() as tmp:
            land, lake = land_masks(tmp)
        if cache:
            with open(cache, "wb") as f:
                pickle.dump((polys, land, lake), f)
    area = {c: sum(ring_area(p) for h, p in ps if not h) for c, ps in polys.items()}
    # Largest first so that enclaves (Lesotho, San Marino, ...) are drawn over their host.
    order = sorted(polys, key=lambda c: -area[c])
    assert len(order) < 255

    labels = rasterise_countries(polys, order)
    edges = adjacency(labels)

    # Land without a DCW country (shoreline data differ slightly) takes the
    # nearest country; DCW land that GSHHG calls water is water.
    idx = ndimage.distance_transform_edt(labels == 0, return_distances=False, return_indices=True)
    nearest = labels[idx[0], idx[1]]
    del idx
    lab = np.where(land, np.where(labels > 0, labels, nearest), 0).astype(np.uint8)
    del nearest

    sizes = np.bincount(labels.ravel(), minlength=len(order) + 1)
    colours, clashes = colour_countries(order, continent_of, edges, sizes)
    if args.colours:
        with open(args.colours, encoding="utf-8") as f:
            for line in f:
                parts = line.split(" ", 3)
                if len(parts) >= 3 and parts[0] in colours and len(parts[2]) == 6:
                    colours[parts[0]] = int(parts[2], 16)
    lut = np.zeros((256, 3), np.float64)
    lut[0] = [(SEA >> 16) & 255, (SEA >> 8) & 255, SEA & 255]
    for i, code in enumerate(order, start=1):
        c = ANTARCTICA if code == "AQ" else colours[code]
        lut[i] = [(c >> 16) & 255, (c >> 8) & 255, c & 255]
    fill = np.zeros((H, W, 3), np.float64)
    for ch in range(3):
        fill[:, :, ch] = block_mean(lut[lab, ch].astype(np.float32))

    # Lines: coast between land and water, borders between two countries.
    def boundary(m_h, m_v):
        e = np.zeros(lab.shape, bool)
        e[:, :-1] |= m_h
        e[:, 1:] |= m_h
        e[:-1, :] |= m_v
        e[1:, :] |= m_v
        return e

    coast = boundary(land[:, :-1] != land[:, 1:], land[:-1, :] != land[1:, :])
    both_h = land[:, :-1] & land[:, 1:]
    both_v = land[:-1, :] & land[1:, :]
    border = boundary(both_h & (lab[:, :-1] != lab[:, 1:]), both_v & (lab[:-1, :] != lab[1:, :]))
    coast_ink = line_ink(coast, 1.0)
    border_ink = line_ink(border, 0.8) * (1.0 - coast_ink)
    land_frac = block_mean(land.astype(np.float32))

    ink = np.clip(coast_ink + border_ink, 0, 1)

    def rgb(c):
        return np.array([(c >> 16) & 255, (c >> 8) & 255, c & 255], np.float64)

    out = fill * (1 - ink)[:, :, None] + (coast_ink[:, :, None] * rgb(COAST_INK)
                                          + border_ink[:, :, None] * rgb(BORDER_INK))

    # Tiny islands that vanished (or nearly) in the raster get a black dot.
    def ensure_dot(lat, lon):
        x = int(round((lon + 180.0) * W / 360.0)) % W
        y = min(H - 1, max(0, int(round((90.0 - lat) * H / 180.0))))
        # Already visible if land or a line shows in the pixel or a neighbour.
        y0, y1 = max(0, y - 1), min(H, y + 2)
        xs = [(x - 1) % W, x, (x + 1) % W]
        near = max(float(land_frac[y0:y1, xs].max()) * 4, float(coast_ink[y0:y1, xs].max()))
        if near >= 0.5:
            return False
        out[y, x] = rgb(COAST_INK)
        return True

    # Specks: an islet smaller than a pixel leaves only a faint trace of its
    # coastline; its strongest pixel becomes a black dot.
    specks, n_specks = ndimage.label(coast_ink > 0.05, structure=np.ones((3, 3)))
    peak = ndimage.maximum(coast_ink, specks, index=np.arange(1, n_specks + 1))
    where = ndimage.maximum_position(coast_ink, specks, index=np.arange(1, n_specks + 1))
    dots = 0
    for p, (y, x) in zip(peak, where):
        if p < 0.6:
            out[y, x] = rgb(COAST_INK)
            coast_ink[y, x] = 1.0
            dots += 1

    for code in order:
        if code == "AQ":
            continue
        for hole, pts in polys[code]:
            if hole:
                continue
            lon = float(np.mean(pts[:, 0]))
            lat = float(np.mean(pts[:, 1]))
            if ring_area(pts) < 0.05 and ensure_dot(lat, ((lon + 180.0) % 360.0) - 180.0):
                dots += 1
    for name, lat, lon in DX_ISLANDS:
        if ensure_dot(lat, lon):
            dots += 1
            report.append(f"dot added for {name}")

    img = np.clip(np.rint(out), 0, 255).astype(np.uint8)
    if args.palette:
        save_palette(img, args.output)
    else:
        Image.fromarray(img, "RGB").save(args.output, optimize=True)

    report.append(f"countries: {len(order)}, island dots added: {dots}")
    for code in order:
        c = ANTARCTICA if code == "AQ" else colours[code]
        report.append(f"{code} {continent_of[code]} {c:06X} {name_of[code]}")
    for a, b, w in clashes:
        report.append(f"same colour on a land border: {a} {b} ({w} samples)")
    text = "\n".join(report) + "\n"
    if args.report:
        with open(args.report, "w", encoding="utf-8") as f:
            f.write(text)
    sys.stdout.write("\n".join(r for r in report if not r[:3].strip().isupper()) + "\n")


if __name__ == "__main__":
    main()
