#!/usr/bin/env python3
"""Tells whether two pictures of the dialog (as scripts/screenshot_dialog.sh
saves them) look the same below the caption: same size, and at most a few
pixels of another colour. The caption is left out: its font is the system's,
which a locale may change.

    scripts/compare_dialog_pictures.py first.png second.png [most differing pixels]

Exit status 0 when they match, 1 when they do not, 2 when a file cannot be
read. Reads 8-bit RGB and RGBA PNG files without interlacing; only the
standard library is used.
"""

import struct
import sys
import zlib

DEFAULT_MOST_DIFFERING = 20


def unfilter(kind, line, previous, step):
    """Undoes one row's PNG filter."""
    out = bytearray(line)
    for i, value in enumerate(line):
        left = out[i - step] if i >= step else 0
        up = previous[i]
        corner = previous[i - step] if i >= step else 0
        if kind == 1:
            out[i] = (value + left) & 0xFF
        elif kind == 2:
            out[i] = (value + up) & 0xFF
        elif kind == 3:
            out[i] = (value + (left + up) // 2) & 0xFF
        elif kind == 4:
            guess = left + up - corner
            near = min((abs(guess - left), 0, left), (abs(guess - up), 1, up),
                       (abs(guess - corner), 2, corner))
            out[i] = (value + near[2]) & 0xFF
    return bytes(out)


def read_png(path):
    """Returns width, height and rows of (r, g, b) tuples."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is no PNG file" % path)
    at, compressed, header = 8, b"", None
    while at + 8 <= len(data):
        (length,) = struct.unpack(">I", data[at: at + 4])
        kind, body = data[at + 4: at + 8], data[at + 8: at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
    if header is None:
        raise ValueError("%s has no header" % path)
    width, height, depth, colour, _method, _filter, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("%s is not 8-bit RGB without interlacing" % path)
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(compressed)
    stride = width * step
    rows, previous = [], bytes(stride)
    for y in range(height):
        start = y * (stride + 1)
        line = unfilter(raw[start], raw[start + 1: start + 1 + stride], previous, step)
        rows.append([tuple(line[x: x + 3]) for x in range(0, stride, step)])
        previous = line
    return width, height, rows


def first_row_below_caption(rows):
    """The caption is the band of its own colour a few rows down the middle of
    the frame; the client area starts below it."""
    middle = len(rows[0]) // 2
    y = min(4, len(rows) - 1)
    caption = rows[y][middle]
    while y < len(rows) and rows[y][middle] == caption:
        y += 1
    return y


def differing_pixels(first, second, top):
    return sum(1 for y in range(top, len(first))
               for a, b in zip(first[y], second[y]) if a != b)


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    most = int(sys.argv[3]) if len(sys.argv) == 4 else DEFAULT_MOST_DIFFERING
    try:
        first, second = read_png(sys.argv[1]), read_png(sys.argv[2])
    except (OSError, ValueError, zlib.error) as error:
        print(error, file=sys.stderr)
        return 2
    if first[:2] != second[:2]:
        print("the pictures differ in size: %dx%d and %dx%d" % (first[:2] + second[:2]))
        return 1
    top = max(first_row_below_caption(first[2]), first_row_below_caption(second[2]))
    count = differing_pixels(first[2], second[2], top)
    print("%d pixels differ below row %d (at most %d may)" % (count, top, most))
    return 0 if count <= most else 1


if __name__ == "__main__":
    sys.exit(main())
