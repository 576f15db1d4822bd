#!/usr/bin/env python3
"""Draws Tembrel's icon and dialog picture and writes them as resource files.

    scripts/make_ui_images.py [output folder]   (default: ui/resources)

tembrel.ico: 32x32, 16 colours: a white clock face with yellow hands over a
line of subtitle text, on a dark blue disc; outside the disc is transparent.
face.bmp: 40x31, 24 bits: a grey line drawing of a grinning round face beside
a hand that shows a V sign, on white.

Shapes are signed distance functions sampled 8x8 times per pixel, so the
edges are smooth and the output is the same byte for byte on every run.
Only the standard library is used.
"""

import math
import os
import struct
import sys

SUBSAMPLES = 8


# --- Shapes: signed distance (negative inside) of a point to a shape. ---

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = min(1.0, max(0.0, t))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def capsule(ax, ay, bx, by, r):
    return lambda x, y: segment_distance(x, y, ax, ay, bx, by) - r


def rounded_box(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def below(shape, line_y):
    """The part of a shape that lies below a horizontal line."""
    return lambda x, y: max(shape(x, y), line_y - y)


def outline(shape, width):
    """A stroke of the given width along the shape's edge."""
    return lambda x, y: abs(shape(x, y)) - width / 2


def stroke(ax, ay, bx, by, width):
    return capsule(ax, ay, bx, by, width / 2)


def arc(cx, cy, r, start_deg, end_deg, width):
    """A stroke along a circle from one angle to another (degrees, y down)."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def sdf(x, y):
        angle = math.atan2(y - cy, x - cx) % (2 * math.pi)
        lo, hi = a0 % (2 * math.pi), a1 % (2 * math.pi)
        inside = lo <= angle <= hi if lo <= hi else (angle >= lo or angle <= hi)
        if inside:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2

    return sdf


def coverage(shape, px, py):
    """Fraction of pixel (px, py) that the shape covers."""
    hits = 0
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            x = px + (sx + 0.5) / SUBSAMPLES
            y = py + (sy + 0.5) / SUBSAMPLES
            if shape(x, y) <= 0:
                hits += 1
    return hits / (SUBSAMPLES * SUBSAMPLES)


def mix(under, over, amount):
    return tuple(round(u + (o - u) * amount) for u, o in zip(under, over))


# --- The icon: 32x32, 16 colours, transparent outside the disc. ---

ICON_SIZE = 32
DARK_BLUE = (16, 32, 112)
WHITE = (255, 255, 255)
YELLOW = (250, 204, 32)
PALE_BLUE = (150, 176, 232)

ICON_PALETTE = [
    (0, 0, 0), DARK_BLUE, (40, 64, 150), (72, 100, 180), (110, 136, 200),
    PALE_BLUE, (200, 212, 240), WHITE, (120, 104, 60), (185, 155, 45),
    YELLOW, (255, 236, 150), (64, 72, 120), (30, 44, 128), (222, 228, 246),
    (96, 120, 176),
]


def icon_layers():
    """(shape, colour) pairs, painted in order over the disc."""
    clock = circle(16, 14, 9.5)
    layers = [
        (clock, WHITE),
        (outline(circle(16, 14, 9.5), 1.6), PALE_BLUE),
    ]
    for hour in range(12):
        a = math.radians(hour * 30)
        inner = 6.6 if hour % 3 == 0 else 7.4
        x0, y0 = 16 + inner * math.sin(a), 14 - inner * math.cos(a)
        x1, y1 = 16 + 8.2 * math.sin(a), 14 - 8.2 * math.cos(a)
        layers.append((stroke(x0, y0, x1, y1, 1.1), DARK_BLUE))
    layers += [
        (stroke(16, 14, 16, 7.0, 1.6), YELLOW),   # minute hand at twelve
        (stroke(16, 14, 20.5, 16.6, 1.6), YELLOW),  # hour hand towards four
        (circle(16, 14, 1.3), DARK_BLUE),
        # a line of subtitle text under the clock
        (stroke(9.5, 26.5, 22.5, 26.5, 1.6), WHITE),
        (stroke(12.5, 29.0, 19.5, 29.0, 1.4), PALE_BLUE),
    ]
    return layers


def nearest_index(colour):
    return min(range(len(ICON_PALETTE)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(ICON_PALETTE[i], colour)))


def draw_icon():
    disc = circle(16, 16, 15.6)
    layers = icon_layers()
    indices = []
    opaque = []
    for py in range(ICON_SIZE):
        for px in range(ICON_SIZE):
            inside = coverage(disc, px, py)
            colour = DARK_BLUE
            for shape, paint in layers:
                amount = coverage(shape, px, py)
                if amount > 0:
                    colour = mix(colour, paint, amount)
            # no partial transparency in a 16-colour icon: half a pixel decides
            opaque.append(inside >= 0.5)
            indices.append(nearest_index(colour) if inside >= 0.5 else 0)
    return indices, opaque


def icon_bytes(indices, opaque):
    header = struct.pack("<IiiHHIIiiII", 40, ICON_SIZE, ICON_SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in ICON_PALETTE)
    xor_rows = []
    and_rows = []
    for py in reversed(range(ICON_SIZE)):  # bottom-up
        row = indices[py * ICON_SIZE:(py + 1) * ICON_SIZE]
        xor_rows.append(bytes((row[i] << 4) | row[i + 1] for i in range(0, ICON_SIZE, 2)))
        mask = 0
        for px in range(ICON_SIZE):
            mask = (mask << 1) | (0 if opaque[py * ICON_SIZE + px] else 1)
        and_rows.append(mask.to_bytes(4, "big"))
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", ICON_SIZE, ICON_SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


# --- The picture: 40x31, 24 bits, grey lines on white. ---

PICTURE_WIDTH = 40
PICTURE_HEIGHT = 31
GREY = (88, 88, 88)
LINE = 1.15


def picture_shapes():
    face = circle(12.5, 15.5, 10.2)
    mouth = below(circle(12.5, 14.2, 6.6), 17.2)
    hand = union(
        rounded_box(26.0, 16.5, 36.0, 28.5, 3.0),   # palm
        capsule(28.2, 17.5, 25.4, 4.2, 1.75),       # index finger
        capsule(32.6, 17.5, 36.6, 4.8, 1.75),       # middle finger
    )
    return union(
        outline(face, LINE),
        arc(8.7, 12.0, 1.8, 195, 345, LINE),        # eyes squeezed by the grin
        arc(16.3, 12.0, 1.8, 195, 345, LINE),
        outline(mouth, LINE),
        stroke(9.0, 19.4, 16.0, 19.4, 0.9),         # the teeth's edge
        stroke(11.3, 17.4, 11.3, 19.4, 0.8),
        stroke(13.7, 17.4, 13.7, 19.4, 0.8),
        outline(hand, LINE),
        arc(32.0, 21.5, 2.2, 200, 340, 0.9),        # the ring and little fingers, folded
        arc(34.0, 24.0, 1.8, 200, 340, 0.9),
        stroke(26.6, 22.0, 31.0, 25.5, LINE),       # the thumb across them
    )


def draw_picture():
    lines = picture_shapes()
    return [mix(WHITE, GREY, coverage(lines, px, py))
            for py in range(PICTURE_HEIGHT) for px in range(PICTURE_WIDTH)]


def bitmap_bytes(pixels):
    row_size = (PICTURE_WIDTH * 3 + 3) // 4 * 4
    rows = []
    for py in reversed(range(PICTURE_HEIGHT)):  # bottom-up
        row = b"".join(struct.pack("<BBB", b, g, r)
                       for r, g, b in pixels[py * PICTURE_WIDTH:(py + 1) * PICTURE_WIDTH])
        rows.append(row + b"\0" * (row_size - len(row)))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, PICTURE_WIDTH, PICTURE_HEIGHT, 1, 24, 0, len(data),
                       2835, 2835, 0, 0)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return file_header + info + data


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "ui", "resources")
    with open(os.path.join(folder, "tembrel.ico"), "wb") as out:
        out.write(icon_bytes(*draw_icon()))
    with open(os.path.join(folder, "face.bmp"), "wb") as out:
        out.write(bitmap_bytes(draw_picture()))


if __name__ == "__main__":
    main()
