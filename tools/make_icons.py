#!/usr/bin/python3
"""Builds the desktop icons of Korvanta, resources/icons/korvanta-N.png for the
sizes the desktop's icon theme asks for, drawn at each size (not scaled from
the 64-pixel window icon) from resources/worldmap.png.

Usage: make_icons.py RESOURCES_DIR
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_pictures import icon  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256)


def main():
    res = sys.argv[1]
    out = os.path.join(res, "icons")
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        final = os.path.join(out, "korvanta-%d.png" % size)
        icon(final + ".tmp.png", os.path.join(res, "worldmap.png"), size)
        os.replace(final + ".tmp.png", final)


if __name__ == "__main__":
    main()
