#!/usr/bin/env python3
"""Draws the cursors of the pan and rotate drags into res/images: a neutral
one (a ring with a dot) and an arrow for each of the eight directions, all
with the hot spot in the middle. Run it again after changing a drawing and
commit the files it writes."""
import math
import os

from make_images import HERE, write_cur

SIZE = 32
CENTRE = 15
DIRECTIONS = {  # file name: angle in degrees, counter-clockwise from east
    "drag_e": 0, "drag_ne": 45, "drag_n": 90, "drag_nw": 135,
    "drag_w": 180, "drag_sw": 225, "drag_s": 270, "drag_se": 315,
}


def outlined(black):
    """Rows of '#' for the black pixels with a one-pixel white rim."""
    rows = []
    for y in range(SIZE):
        row = ""
        for x in range(SIZE):
            if (x, y) in black:
                row += "#"
            elif any((x + dx, y + dy) in black for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                row += "."
            else:
                row += " "
        rows.append(row)
    return rows


def line(black, x0, y0, x1, y1):
    """A line two pixels thick, so that it reads at any angle."""
    steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
    for i in range(steps + 1):
        t = i / steps
        x, y = round(x0 + (x1 - x0) * t - 0.5), round(y0 + (y1 - y0) * t - 0.5)
        black.update({(x, y), (x + 1, y), (x, y + 1), (x + 1, y + 1)})


def arrow(degrees):
    a = math.radians(degrees)
    ux, uy = math.cos(a), -math.sin(a)  # screen y grows downward
    black = {(CENTRE, CENTRE)}
    tip = (CENTRE + 12 * ux, CENTRE + 12 * uy)
    line(black, CENTRE + 3 * ux, CENTRE + 3 * uy, *tip)
    for side in (-1, 1):  # the two barbs, 35 degrees off the shaft
        b = a + math.pi + side * math.radians(35)
        line(black, *tip, tip[0] + 6 * math.cos(b), tip[1] - 6 * math.sin(b))
    return outlined(black)


def neutral():
    black = {(CENTRE + dx, CENTRE + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)}
    for k in range(64):
        a = 2 * math.pi * k / 64
        black.add((round(CENTRE + 7 * math.cos(a)), round(CENTRE + 7 * math.sin(a))))
    return outlined(black)


def main():
    os.makedirs(HERE, exist_ok=True)
    write_cur(os.path.join(HERE, "drag_neutral.cur"), neutral(), (CENTRE, CENTRE))
    for name, degrees in DIRECTIONS.items():
        write_cur(os.path.join(HERE, name + ".cur"), arrow(degrees), (CENTRE, CENTRE))


if __name__ == "__main__":
    main()
