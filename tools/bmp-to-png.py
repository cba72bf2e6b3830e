#!/usr/bin/env python3
"""Converts 24-bit bottom-up BMP files (the screenshot format) to PNG, optionally enlarged.

usage: tools/bmp-to-png.py [--scale N] FILE.BMP [OUT.png]
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise SystemExit(f"{path}: not a BMP file")
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    if bits != 24:
        raise SystemExit(f"{path}: {bits}-bit BMP, expected 24-bit")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y
        start = offset + source * stride
        row = bytearray()
        for x in range(width):
            b, g, r = data[start + 3 * x:start + 3 * x + 3]
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, abs(height), rows


def write_png(path, width, height, rows, scale):
    raw = bytearray()
    for row in rows:
        wide = b"".join(row[3 * x:3 * x + 3] * scale for x in range(width))
        for _ in range(scale):
            raw += b"\x00" + wide

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width * scale, height * scale, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main(argv):
    scale = 1
    if len(argv) > 2 and argv[1] == "--scale":
        scale = int(argv[2])
        argv = argv[:1] + argv[3:]
    if len(argv) not in (2, 3):
        raise SystemExit(__doc__)
    source = argv[1]
    target = argv[2] if len(argv) == 3 else source.rsplit(".", 1)[0] + ".png"
    width, height, rows = read_bmp(source)
    write_png(target, width, height, rows, scale)
    print(target)


if __name__ == "__main__":
    main(sys.argv)
