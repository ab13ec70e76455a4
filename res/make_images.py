#!/usr/bin/env python3
"""Draws the program's cursors and bitmaps and writes them as .cur/.bmp
files beside this script (res/images). The images are simple on purpose:
run it again after changing a drawing, and commit the files it writes."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")
GREEN = (0, 255, 0)  # the code list's transparent colour


def write_bmp(path, width, height, pixel):
    """24-bit bottom-up bitmap; pixel(x, y) gives (r, g, b), y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)))
        f.write(header + rows)


def write_cur(path, shape, hotspot):
    """32x32 monochrome cursor from 32 strings: '#' black, '.' white, ' ' clear."""
    size = 32
    xor_rows, and_rows = [], []
    for line in reversed(shape):
        line = line.ljust(size)
        xor_bits = and_bits = 0
        for x, ch in enumerate(line):
            bit = 1 << (31 - x)
            if ch == " ":
                and_bits |= bit
            elif ch == ".":
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1) + entry + image)


def arrows(horizontal, vertical):
    """A resize cursor: a double arrow across, down, or both, with a white rim."""
    grid = [[" "] * 32 for _ in range(32)]
    c = 15

    def put(x, y, ch):
        if 0 <= x < 32 and 0 <= y < 32 and (ch == "#" or grid[y][x] == " "):
            grid[y][x] = ch

    def stroke(points):
        for x, y in points:
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    put(x + dx, y + dy, ".")
        for x, y in points:
            put(x, y, "#")

    if horizontal:
        pts = [(x, c) for x in range(c - 10, c + 11)] + [(x, c - 1) for x in range(c - 10, c + 11)]
        for k in range(1, 5):
            pts += [(c - 10 + k, c - 1 - k), (c - 10 + k, c + k), (c + 10 - k, c - 1 - k), (c + 10 - k, c + k)]
        pts += [(c - 2, y) for y in range(c - 6, c + 6)] + [(c + 2, y) for y in range(c - 6, c + 6)]
        stroke(pts)
    if vertical:
        pts = [(c, y) for y in range(c - 10, c + 11)] + [(c - 1, y) for y in range(c - 10, c + 11)]
        for k in range(1, 5):
            pts += [(c - 1 - k, c - 10 + k), (c + k, c - 10 + k), (c - 1 - k, c + 10 - k), (c + k, c + 10 - k)]
        if not horizontal:
            pts += [(x, c - 2) for x in range(c - 6, c + 6)] + [(x, c + 2) for x in range(c - 6, c + 6)]
        stroke(pts)
    return ["".join(row) for row in grid]


def code_images(x, y):
    """Three 16x16 row images: plain (empty), break mark (red dot), file header (page)."""
    image, px = divmod(x, 16)
    if image == 1:
        return (200, 0, 0) if (px - 7.5) ** 2 + (y - 7.5) ** 2 <= 20 else GREEN
    if image == 2:
        if 3 <= px <= 12 and 1 <= y <= 14:
            edge = px in (3, 12) or y in (1, 14)
            line = 5 <= px <= 10 and y in (4, 7, 10)
            return (0, 0, 128) if edge or line else (255, 255, 255)
        return GREEN
    return GREEN


def toolbar_images(x, y):
    """29 16x16 button images: a coloured tile with a number-like bar pattern,
    distinct enough to tell the buttons apart."""
    image, px = divmod(x, 16)
    hue = [(0, 0, 160), (0, 128, 0), (128, 0, 0), (0, 128, 128), (128, 0, 128), (128, 128, 0)][image % 6]
    if px in (0, 15) or y in (0, 15):
        return (192, 192, 192)
    if 2 <= px <= 13 and 2 <= y <= 13:
        bars = image // 6 + 1
        if y >= 13 - 2 * bars and px >= 4 and px <= 11 and y % 2 == 1:
            return (255, 255, 255)
        return hue
    return (192, 192, 192)


def gmodal_images(x, y):
    """Two 12x12 images of the G-code list: an empty box (off), a ticked box (on)."""
    image, px = divmod(x, 12)
    if 1 <= px <= 10 and 1 <= y <= 10:
        if px in (1, 10) or y in (1, 10):
            return (64, 64, 64)
        tick = image == 1 and (y == px + 2 and px <= 5 or y == 12 - px and px >= 5) and 3 <= y <= 8
        return (0, 0, 0) if tick else (255, 255, 255)
    return GREEN


def main():
    os.makedirs(HERE, exist_ok=True)
    write_bmp(os.path.join(HERE, "code_images.bmp"), 48, 16, code_images)
    write_bmp(os.path.join(HERE, "toolbar.bmp"), 29 * 16, 16, toolbar_images)
    write_bmp(os.path.join(HERE, "gmodal_images.bmp"), 24, 12, gmodal_images)
    write_cur(os.path.join(HERE, "split_we.cur"), arrows(True, False), (15, 15))
    write_cur(os.path.join(HERE, "split_ns.cur"), arrows(False, True), (15, 15))
    write_cur(os.path.join(HERE, "split_all.cur"), arrows(True, True), (15, 15))


if __name__ == "__main__":
    main()
