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


SILVER = (192, 192, 192)  # the toolbar's transparent colour (the button face)

# A 3 x 5 pixel font for the letters and digits on the buttons.
FONT = {
    "X": ["#.#", "#.#", ".#.", "#.#", "#.#"],
    "Y": ["#.#", "#.#", ".#.", ".#.", ".#."],
    "Z": ["###", "..#", ".#.", "#..", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "?": ["##.", "..#", ".#.", "...", ".#."],
}


def text_at(px, y, text, left, top, scale=1):
    """True when (px, y) lies on a letter of text drawn from (left, top)."""
    for i, ch in enumerate(text):
        gx, gy = (px - left - i * 4 * scale) // scale, (y - top) // scale
        if 0 <= gx < 3 and 0 <= gy < 5 and px >= left + i * 4 * scale and y >= top:
            if FONT[ch][gy][gx] == "#":
                return True
    return False


def disc(px, y, cx, cy, r):
    return (px - cx) ** 2 + (y - cy) ** 2 <= r * r


def page(px, y, l, t, r, b):
    """A white sheet with a dark rim, or None outside it."""
    if l <= px <= r and t <= y <= b:
        return (0, 0, 96) if px in (l, r) or y in (t, b) else (255, 255, 255)
    return None


def magnifier(px, y, sign):
    if disc(px, y, 6, 6, 5) and not disc(px, y, 6, 6, 3):
        return (0, 0, 96)
    if disc(px, y, 6, 6, 3):
        on_bar = y == 6 and 4 <= px <= 8 or (sign == "+" and px == 6 and 4 <= y <= 8)
        return (0, 0, 96) if on_bar else (224, 240, 255)
    if 9 <= px <= 14 and abs((px - 9) - (y - 9)) <= 1 and y >= 9:
        return (128, 64, 0)
    return None


def plane(px, y, letters):
    """A pane frame with its axis letters."""
    if px in (1, 14) and 2 <= y <= 13 or y in (2, 13) and 1 <= px <= 14:
        return (0, 0, 128)
    if text_at(px, y, letters, 8 - 2 * len(letters), 5):
        return (0, 96, 0)
    return (255, 255, 255) if 2 <= px <= 13 and 3 <= y <= 12 else None


def four_panes(px, y, digit):
    if 1 <= px <= 14 and 1 <= y <= 14:
        if px in (1, 7, 8, 14) or y in (1, 7, 8, 14):
            return (0, 0, 128)
        if text_at(px, y, digit, 10, 2) and px >= 9 and y <= 6:
            return (160, 0, 0)
        return (255, 255, 255)
    return None


def chevrons(px, y, count):
    """count right-pointing chevrons, centred: the trace speeds."""
    width = 4 * count
    left = 8 - width // 2
    for k in range(count):
        dx = px - (left + 4 * k)
        if 0 <= dx <= 3 and abs(y - 7.5) <= 4.5 and abs(dx - (4.5 - abs(y - 7.5)) + 1) <= 1:
            return (0, 112, 0)
    return None


def icon(index, px, y):
    """Button image index at (px, y), or None for the background."""
    if index == 0:  # open: a folder
        if 2 <= y <= 3 and 1 <= px <= 6:
            return (160, 120, 0)
        if 4 <= y <= 13 and 1 <= px <= 14:
            return (160, 120, 0) if px in (1, 14) or y in (4, 13) else (255, 208, 64)
        return None
    if index == 1:  # save as: a disk
        if 1 <= px <= 14 and 1 <= y <= 14:
            if 4 <= px <= 11 and 2 <= y <= 6:
                return (255, 255, 255)
            if 5 <= px <= 10 and 10 <= y <= 14:
                return (96, 96, 160)
            return (0, 0, 160)
        return None
    if index in (2, 3):  # print: a printer with a sheet
        if 4 <= px <= 11 and 1 <= y <= 5:
            return page(px, y, 4, 1, 11, 6)
        if 1 <= px <= 14 and 6 <= y <= 11:
            return (0, 160, 0) if (px, y) == (12, 8) else (96, 96, 96)
        if 3 <= px <= 12 and 12 <= y <= 14:
            return page(px, y, 3, 11, 12, 14)
        return None
    if index == 4:  # copy: two sheets
        return page(px, y, 6, 5, 14, 14) or page(px, y, 1, 1, 9, 10)
    if index == 5:  # help
        if disc(px, y, 7.5, 7.5, 7):
            return (255, 255, 255) if text_at(px, y, "?", 5, 3, 2) else (0, 64, 192)
        return None
    if index in (6, 7, 8):  # spare: a plain sheet
        return page(px, y, 3, 1, 12, 14)
    if 9 <= index <= 12:
        return plane(px, y, ["XY", "XZ", "YZ", "XYZ"][index - 9])
    if index in (13, 26):
        return four_panes(px, y, "1" if index == 13 else "2")
    if index in (14, 15):
        return magnifier(px, y, "+" if index == 14 else "-")
    if index == 16:  # fit: a sheet framed by corner marks
        corner = (px in (1, 14) and (y <= 4 or y >= 11)) or (y in (1, 14) and (px <= 4 or px >= 11))
        if corner and 1 <= px <= 14 and 1 <= y <= 14:
            return (0, 0, 160)
        return page(px, y, 4, 4, 11, 11)
    if index == 17:  # run
        return (0, 144, 0) if 4 <= px <= 12 and abs(y - 7.5) <= (12 - px) * 0.75 + 0.5 else None
    if index == 18:  # spare: pause
        return (0, 0, 160) if (4 <= px <= 6 or 9 <= px <= 11) and 3 <= y <= 12 else None
    if index == 19:  # step: run to a bar
        if 11 <= px <= 12 and 3 <= y <= 12:
            return (0, 0, 160)
        return (0, 144, 0) if 3 <= px <= 9 and abs(y - 7.5) <= (9 - px) * 0.8 + 0.5 else None
    if index == 20:  # stop
        return (200, 0, 0) if 3 <= px <= 12 and 3 <= y <= 12 else None
    if index == 21:  # break mark
        return (200, 0, 0) if disc(px, y, 7.5, 7.5, 5) else None
    if index == 22:  # clear all marks: the mark crossed out
        if 2 <= px <= 13 and (abs(px - y) <= 0 or abs(px - (15 - y)) <= 0):
            return (0, 0, 96)
        return (224, 128, 128) if disc(px, y, 7.5, 7.5, 5) else None
    if 23 <= index <= 25:
        return chevrons(px, y, 26 - index)
    if index == 27:  # edit: a pencil over a sheet
        if 5 <= px <= 14 and abs((14 - px) - y) <= 1 and y <= 10:
            return (255, 176, 0)
        if 2 <= px <= 4 and 10 <= y <= 13 and abs((14 - px) - y) <= 1:
            return (64, 64, 64)
        return page(px, y, 1, 4, 10, 14)
    if index == 28:  # filter: a funnel
        half = 6.5 - (y - 2) * 0.75 if y <= 8 else 1.5
        if 2 <= y <= 14 and abs(px - 7.5) <= half:
            return (0, 96, 160)
        return None
    return None


def toolbar_images(x, y):
    """29 16x16 button images on the button face, which the toolbar shows
    through."""
    index, px = divmod(x, 16)
    colour = icon(index, px, y)
    return SILVER if colour is None else colour


def check_images(x, y):
    """Two 12x12 marks on green (transparent): 0 an empty box (hidden), 1 a
    box with a tick (shown)."""
    image, px = divmod(x, 12)
    if px in (1, 10) and 1 <= y <= 10 or y in (1, 10) and 1 <= px <= 10:
        return (64, 64, 64)
    if 2 <= px <= 9 and 2 <= y <= 9:
        tick = image == 1 and (y == px + 1 and px <= 4 or y == 12 - px and px >= 4)
        return (0, 0, 0) if tick else (255, 255, 255)
    return GREEN


def main():
    os.makedirs(HERE, exist_ok=True)
    write_bmp(os.path.join(HERE, "code_images.bmp"), 48, 16, code_images)
    write_bmp(os.path.join(HERE, "toolbar.bmp"), 29 * 16, 16, toolbar_images)
    write_bmp(os.path.join(HERE, "check_images.bmp"), 24, 12, check_images)
    write_cur(os.path.join(HERE, "split_we.cur"), arrows(True, False), (15, 15))
    write_cur(os.path.join(HERE, "split_ns.cur"), arrows(False, True), (15, 15))
    write_cur(os.path.join(HERE, "split_all.cur"), arrows(True, True), (15, 15))


if __name__ == "__main__":
    main()
