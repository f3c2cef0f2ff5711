#!/usr/bin/python3
"""Builds resources/regional-map.bin, the vector data of the regional maps.

Data: the GSHHG shorelines at high resolution (Debian's gmt-gshhg-high,
through `gmt coast -Dh -W -M`, which gives them cut into the pieces of its
bins; the pieces are joined here into whole rings) and the country polygons
of the Digital Chart of the World (gmt-dcw, through `gmt coast -E<code> -M`),
each country with its colour on the world map, read from
resources/worldmap-report.txt (written by tools/make_worldmap.py).

Country polygons only colour the land that the shorelines make, so their
outlines are thinned (Douglas-Peucker, --tolerance degrees); the shorelines
keep every point. Coordinates are stored in units of 1e-4 degree (11 m). The format
is described in geo/RegionalData.h; the file holds it compressed with zlib,
after a 4-byte big-endian length (the form qUncompress reads).

Usage: make_regional_data.py OUTPUT.bin [--report REPORT] [--tolerance DEG] [--cache DIR]

--cache keeps what gmt wrote in DIR, so that a second run only redoes the
joining, thinning and packing.
"""

import argparse
import concurrent.futures
import os
import pickle
import struct
import subprocess
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DCW_DIR = "/usr/share/gmt-dcw"
UNITS = 10000  # per degree (11 m, finer than the data)
PALETTE = [
    0x000000, 0x63C66B, 0x738CC6, 0x8484C6, 0x946B42, 0x9CDEA5, 0xA5B5EF, 0xBDDEA5,
    0xD67342, 0xDEDEDE, 0xDEF7FF, 0xFFCE9C, 0xFFFFB5, 0xA877C7, 0xB17F1D, 0xFFFFFF,
]
COUNTRY_KIND = 16


def run(cmd):
    return subprocess.run(cmd, check=True, stdout=subprocess.PIPE).stdout.decode("utf-8", "replace")


def segments(text):
    """[(header, [(lon, lat) as integer units])] of a multi-segment text."""
    out, cur, head = [], None, ""
    for line in text.splitlines():
        if line.startswith(">"):
            if cur:
                out.append((head, cur))
            cur, head = [], line
        elif line.strip():
            a, b = line.split()[:2]
            cur.append((round(float(a) * UNITS), round(float(b) * UNITS)))
    if cur:
        out.append((head, cur))
    return out


def key(p):
    """The same place for both sides of the date line."""
    lon, lat = p
    return ((lon + 180 * UNITS) % (360 * UNITS), lat)


def join_pieces(pieces):
    """Joins open pieces whose ends meet into closed rings. Returns (rings,
    number of pieces left open)."""
    rings = []
    open_pieces = []
    for pts in pieces:
        if len(pts) >= 2 and key(pts[0]) == key(pts[-1]):
            rings.append(pts[:-1])
        else:
            open_pieces.append(pts)
    # End points -> piece indices (pieces may run either way).
    ends = {}
    for i, pts in enumerate(open_pieces):
        ends.setdefault(key(pts[0]), []).append(i)
        ends.setdefault(key(pts[-1]), []).append(i)
    used = [False] * len(open_pieces)
    left = 0
    for i in range(len(open_pieces)):
        if used[i]:
            continue
        used[i] = True
        chain = list(open_pieces[i])
        start = key(chain[0])
        closed = False
        while True:
            k = key(chain[-1])
            if k == start and len(chain) > 2:
                closed = True
                break
            nxt = next((j for j in ends.get(k, []) if not used[j]), None)
            if nxt is None:
                break
            used[nxt] = True
            pts = open_pieces[nxt]
            if key(pts[0]) != k:
                pts = pts[::-1]
            chain.extend(pts[1:])
        if closed:
            rings.append(chain[:-1])
        else:
            left += 1
    return rings, left


def unwrap(ring):
    """Longitudes made continuous (no jump of 360 degrees between points)."""
    out = [ring[0]]
    for lon, lat in ring[1:]:
        prev = out[-1][0]
        while lon - prev > 180 * UNITS:
            lon -= 360 * UNITS
        while prev - lon > 180 * UNITS:
            lon += 360 * UNITS
        out.append((lon, lat))
    # Keep the ring near the usual range.
    shift = 0
    mean = sum(p[0] for p in out) / len(out)
    while mean + shift > 180 * UNITS:
        shift -= 360 * UNITS
    while mean + shift < -180 * UNITS:
        shift += 360 * UNITS
    return [(lon + shift, lat) for lon, lat in out]


def thin(pts, tol):
    """Douglas-Peucker on a closed ring (tolerance in units); keeps at least
    four points."""
    if tol <= 0 or len(pts) < 8:
        return pts
    n = len(pts)
    keep = [False] * n
    # Split at the point farthest from the first, so both halves are open.
    far = max(range(n), key=lambda i: (pts[i][0] - pts[0][0]) ** 2 + (pts[i][1] - pts[0][1]) ** 2)
    keep[0] = keep[far] = True
    stack = [(0, far), (far, n)]
    while stack:
        a, b = stack.pop()
        pa = pts[a]
        pb = pts[b % n]
        dx, dy = pb[0] - pa[0], pb[1] - pa[1]
        norm = (dx * dx + dy * dy) ** 0.5
        best, best_i = -1.0, -1
        for i in range(a + 1, b):
            px, py = pts[i][0] - pa[0], pts[i][1] - pa[1]
            d = abs(px * dy - py * dx) / norm if norm else (px * px + py * py) ** 0.5
            if d > best:
                best, best_i = d, i
        if best > tol:
            keep[best_i] = True
            stack.append((a, best_i))
            stack.append((best_i, b))
    out = [p for p, k in zip(pts, keep) if k]
    return out if len(out) >= 4 else pts


def varint(v, buf):
    while True:
        b = v & 0x7F
        v >>= 7
        if v:
            buf.append(b | 0x80)
        else:
            buf.append(b)
            return


def zigzag(v, buf):
    varint((v << 1) if v >= 0 else ((-v << 1) - 1), buf)


def dedupe(pts):
    """Consecutive equal points (after rounding) once; the closing repeat off."""
    out = []
    for p in pts:
        if not out or out[-1] != p:
            out.append(p)
    if len(out) > 1 and out[-1] == out[0]:
        out.pop()
    return out


def write_ring(kind, country, pts, buf):
    buf.append(kind)
    buf.append(country)
    varint(len(pts), buf)
    plon, plat = 0, 0
    for lon, lat in pts:
        zigzag(lon - plon, buf)
        zigzag(lat - plat, buf)
        plon, plat = lon, lat


def country_colours():
    colours = {}
    with open(os.path.join(ROOT, "resources", "worldmap-report.txt"), encoding="utf-8") as f:
        for line in f:
            parts = line.split(" ", 3)
            if len(parts) >= 3 and len(parts[0]) == 2 and parts[0].isupper() and len(parts[2]) == 6:
                colours[parts[0]] = PALETTE.index(int(parts[2], 16))
    return colours


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("output")
    ap.add_argument("--report")
    ap.add_argument("--tolerance", type=float, default=0.002,
                    help="thinning of the country outlines, degrees (default 0.002)")
    ap.add_argument("--cache", help="keep gmt's output in this folder")
    args = ap.parse_args()
    report = []

    cache = args.cache and os.path.join(args.cache, "regional-gmt.pickle")
    gmt = None
    if cache and os.path.exists(cache):
        with open(cache, "rb") as f:
            gmt = pickle.load(f)
    if gmt is None:
        colours = country_colours()
        with concurrent.futures.ThreadPoolExecutor(4) as ex:
            dcw_text = dict(zip(sorted(colours), ex.map(
                lambda c: run(["gmt", "coast", "-M", "-E" + c]), sorted(colours))))
        gmt = {"shore": run(["gmt", "coast", "-Rd", "-Dh", "-W", "-M"]), "dcw": dcw_text}
        if cache:
            with open(cache, "wb") as f:
                pickle.dump(gmt, f)

    shore = segments(gmt["shore"])
    by_level = {}
    for head, pts in shore:
        level = int(head.rsplit("Level", 1)[1].split()[0]) if "Level" in head else 1
        by_level.setdefault(level, []).append(pts)
    shore_rings = []
    for level in sorted(by_level):
        rings, left = join_pieces(by_level[level])
        report.append(f"GSHHG level {level}: {len(by_level[level])} pieces, {len(rings)} rings, "
                      f"{left} left open (dropped)")
        shore_rings += [(level, unwrap(r)) for r in (dedupe(r) for r in rings) if len(r) >= 3]

    colours = country_colours()
    codes = sorted(colours)
    dcw = {c: [p for _, p in segments(gmt["dcw"].get(c, "")) if len(p) >= 3] for c in codes}
    codes = [c for c in codes if dcw[c]]
    tol = args.tolerance * UNITS
    country_rings = []
    for idx, code in enumerate(codes, start=1):
        for pts in dcw[code]:
            if key(pts[0]) == key(pts[-1]):
                pts = pts[:-1]
            pts = dedupe(thin(unwrap(dedupe(pts)), tol))
            if len(pts) >= 3:
                country_rings.append((idx, pts))

    buf = bytearray(b"KVREGMP1")
    buf += struct.pack("<I", len(codes))
    for code in codes:
        buf += code.encode("ascii")
        buf.append(15 if code == "AQ" else colours[code])
    buf += struct.pack("<I", len(shore_rings) + len(country_rings))
    for level, pts in shore_rings:
        write_ring(level, 0, pts, buf)
    for idx, pts in country_rings:
        write_ring(COUNTRY_KIND, idx, pts, buf)
    packed = struct.pack(">I", len(buf)) + zlib.compress(bytes(buf), 9)
    tmp = args.output + ".tmp"
    with open(tmp, "wb") as f:
        f.write(packed)
    os.replace(tmp, args.output)
    n_shore = sum(len(p) for _, p in shore_rings)
    n_country = sum(len(p) for _, p in country_rings)
    report.append(f"shoreline rings: {len(shore_rings)}, points: {n_shore}")
    report.append(f"countries: {len(codes)}, rings: {len(country_rings)}, points: {n_country}")
    report.append(f"bytes: {len(buf)} raw, {len(packed)} compressed")
    text = "\n".join(report) + "\n"
    if args.report:
        with open(args.report, "w", encoding="utf-8") as f:
            f.write(text)
    sys.stdout.write(text)


if __name__ == "__main__":
    main()
