#!/usr/bin/env python3
"""Converts an X window dump (XWD, as Xvfb -fbdir keeps its screen) to PNG,
cut to what differs from the colour of its top-left corner.

    scripts/xwd_to_png.py screen.xwd picture.png
    scripts/xwd_to_png.py --shows-window screen.xwd
        (exit status 0 when anything unlike the top-left corner shows)

Only 24- and 32-bit true-colour dumps, which is what Xvfb writes for a 24-bit
screen. Only the standard library is used.
"""

import struct
import sys
import zlib

HEADER_FIELDS = 25


def read_xwd(path):
    """Returns width, height and rows of (r, g, b) tuples."""
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack(">%dI" % HEADER_FIELDS, data[: 4 * HEADER_FIELDS])
    (header_size, _version, _format, _depth, width, height, _xoffset, byte_order,
     _unit, _bit_order, _pad, bits_per_pixel, bytes_per_line, _visual, red_mask,
     green_mask, blue_mask, _bits_per_rgb, _entries, ncolors) = header[:20]
    if bits_per_pixel not in (24, 32):
        raise SystemExit("only 24- and 32-bit dumps, not %d" % bits_per_pixel)
    start = header_size + 12 * ncolors
    step = bits_per_pixel // 8
    order = "<" if byte_order == 0 else ">"
    masks = [(m, (m & -m).bit_length() - 1) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * step]
        row = []
        for x in range(width):
            raw = line[x * step: x * step + step]
            value = int.from_bytes(raw, "little" if order == "<" else "big")
            row.append(tuple((value & m) >> shift for m, shift in masks))
        rows.append(row)
    return width, height, rows


def trim(rows):
    """The smallest box holding every pixel unlike the top-left one."""
    background = rows[0][0]
    ys = [y for y, row in enumerate(rows) if any(p != background for p in row)]
    if not ys:
        return rows
    xs = [x for row in rows for x, p in enumerate(row) if p != background]
    left, right = min(xs), max(xs)
    return [row[left: right + 1] for row in rows[ys[0]: ys[-1] + 1]]


def write_png(path, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    if sys.argv[1] == "--shows-window":
        _width, _height, rows = read_xwd(sys.argv[2])
        background = rows[0][0]
        shows = any(p != background for row in rows for p in row)
        raise SystemExit(0 if shows else 1)
    _width, _height, rows = read_xwd(sys.argv[1])
    write_png(sys.argv[2], trim(rows))


if __name__ == "__main__":
    main()
