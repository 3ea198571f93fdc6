#!/usr/bin/env python3
"""Draws the 32 by 32 flag pictures of the site languages into data/ovn_work/.

The pictures are this project's own simple drawings; run this script again to
regenerate them (python3 and zlib only)."""
import os
import struct
import sys
import zlib

SIZE = 32
WHITE, RED, BLUE = (255, 255, 255), (200, 16, 46), (1, 33, 105)


def stripes(colours, vertical):
    def pixel(x, y):
        band = (x if vertical else y) * len(colours) // SIZE
        return colours[band]
    return pixel


def english(x, y):
    # Blue field, white diagonals, a white-edged red cross.
    d = min(abs(x - y), abs(x - (SIZE - 1 - y)))
    if abs(x - 15.5) < 2.5 or abs(y - 15.5) < 2.5:
        return RED
    if abs(x - 15.5) < 5 or abs(y - 15.5) < 5:
        return WHITE
    if d <= 1:
        return RED if d == 0 else WHITE
    return BLUE


def spanish(x, y):
    return (170, 21, 27) if y < 8 or y >= 24 else (241, 191, 0)


FLAGS = {
    "en": english,
    "de": stripes([(0, 0, 0), (221, 0, 0), (255, 206, 0)], vertical=False),
    "fr": stripes([(0, 85, 164), WHITE, (239, 65, 53)], vertical=True),
    "it": stripes([(0, 140, 69), (244, 245, 240), (205, 33, 42)], vertical=True),
    "es": spanish,
}


def png(pixel):
    raw = b"".join(
        b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "data", "ovn_work")
    os.makedirs(folder, exist_ok=True)
    for name, pixel in FLAGS.items():
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(png(pixel))


if __name__ == "__main__":
    main()
