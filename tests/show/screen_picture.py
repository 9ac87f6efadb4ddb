#!/usr/bin/env python3
"""Reads a screen dump in X's xwd format (24 or 32 bits a pixel, ZPixmap) and
prints the box of pixels that are not black as "left top right bottom"
(right and bottom exclusive), or "none" on a black screen; with an area, only
pixels inside it count. Usage: screen_picture.py FILE.xwd [LEFT TOP WIDTH HEIGHT]"""
import struct
import sys


def read_xwd(path):
    data = open(path, "rb").read()
    header = struct.unpack(">25I", data[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, line_bytes, ncolors = header[7], header[11], header[12], header[19]
    if bits_per_pixel not in (24, 32):
        sys.exit(f"{path}: {bits_per_pixel} bits a pixel is not read here")
    pixels = data[header_size + ncolors * 12:]
    return width, height, bits_per_pixel // 8, line_bytes, pixels


def picture_box(path, area=None):
    width, height, step, line_bytes, pixels = read_xwd(path)
    x0, y0, w, h = area or (0, 0, width, height)
    box = None
    for y in range(max(y0, 0), min(y0 + h, height)):
        row = pixels[y * line_bytes:y * line_bytes + width * step]
        lit = [x for x in range(max(x0, 0), min(x0 + w, width)) if any(row[x * step:x * step + 3])]
        if not lit:
            continue
        left, right = lit[0], lit[-1] + 1
        box = [left, y, right, y + 1] if box is None else [min(box[0], left), box[1], max(box[2], right), y + 1]
    return box


if __name__ == "__main__":
    box = picture_box(sys.argv[1], [int(v) for v in sys.argv[2:6]] if len(sys.argv) == 6 else None)
    print("none" if box is None else " ".join(map(str, box)))
