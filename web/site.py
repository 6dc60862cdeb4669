#!/usr/bin/env python3
"""The generated files of the web site, written into its folder by scripts/web.sh:

  DejaVuSansMono.woff2   the font cut to the characters the game can show (printable ASCII, which
                         is all a player types to play, and the code page 437 glyphs of the
                         console's table in console/text_console.cpp), packed as WOFF2
  icon-192.png, icon-512.png   the app's icon: a board of 8 by 8 squares
  sw.js                  the service worker, given the list of the site's files and a version
                         name drawn from their contents

usage: site.py SITE FONT TEXT_CONSOLE_CPP SERVICE_WORKER_TEMPLATE
Needs fontTools and brotli (Debian's python3-fonttools and python3-brotli).
"""
import hashlib
import logging
import os
import re
import struct
import sys
import zlib

from fontTools import subset


def characters(table_source):
    """Printable ASCII and every glyph of the console's code page 437 table."""
    with open(table_source, encoding="utf-8") as source:
        points = {int(found, 16) for found in re.findall(r"\b0x([0-9A-F]{4})\b", source.read())}
    if len(points) < 150:  # the table has 160 glyphs outside ASCII
        sys.exit(f"site.py: only {len(points)} glyphs found in {table_source}")
    return points | set(range(0x20, 0x7F))


def cut_font(font, points, out):
    logging.getLogger("fontTools").setLevel(logging.ERROR)  # tables it drops are no concern
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = []  # a terminal draws cell by cell: no ligatures, no kerning
    options.name_IDs = ["*"]  # the names keep the copyright and licence notices
    options.notdef_outline = True
    loaded = subset.load_font(font, options)
    cutter = subset.Subsetter(options)
    cutter.populate(unicodes=sorted(points))
    cutter.subset(loaded)
    subset.save_font(loaded, out, options)


def png(size, out):
    """A board of 8 by 8 squares, light and dark, filling the icon."""
    light, dark = (0xE8, 0xD8, 0xB0), (0x8B, 0x5A, 0x2B)
    rows = []
    for y in range(size):
        row = bytearray([0])  # no filter
        for x in range(size):
            row += bytes(light if (x * 8 // size + y * 8 // size) % 2 == 0 else dark)
        rows.append(bytes(row))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    with open(out, "wb") as image:
        image.write(b"\x89PNG\r\n\x1a\n")
        image.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)))
        image.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
        image.write(chunk(b"IEND", b""))


def service_worker(site, template, out):
    names = sorted(os.path.relpath(os.path.join(folder, name), site)
                   for folder, _, found in os.walk(site) for name in found)
    names = [name for name in names if name != "sw.js"]
    digest = hashlib.sha256()
    for name in names:
        digest.update(name.encode() + b"\0")
        with open(os.path.join(site, name), "rb") as content:
            digest.update(content.read())
    listed = ", ".join(f"'{name}'" for name in ["./"] + names)
    with open(template, encoding="utf-8") as source:
        text = source.read().replace("@VERSION@", digest.hexdigest()[:16])
    text = text.replace("@FILES@", listed)
    with open(out, "w", encoding="utf-8") as written:
        written.write(text)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__.split("\n\n")[1])
    site, font, table_source, template = sys.argv[1:]
    cut_font(font, characters(table_source), os.path.join(site, "DejaVuSansMono.woff2"))
    for size in (192, 512):
        png(size, os.path.join(site, f"icon-{size}.png"))
    service_worker(site, template, os.path.join(site, "sw.js"))


if __name__ == "__main__":
    main()
