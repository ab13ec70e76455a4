#!/bin/bash
# The SVG picture against the same layout painted through the screen's GDI
# canvas under Wine: rendered by rsvg-convert, the two must light the same
# pixels (within one pixel, titles and axis letters aside) in the same
# colours. Usage: svg_gdi_compare.sh SVG_GDI_PICTURE_EXE WINE_RUN
set -euo pipefail
exe="$1" wine_run="$2"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (scripts/setup.sh)"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$wine_run" "$exe" "Z:${work//\//\\}"
rsvg-convert "$work/picture.svg" -o "$work/svg.png"
convert "$work/svg.png" -depth 8 rgb:"$work/svg.rgb"
cd "$work"
/usr/bin/python3 - <<'PY'
import re
W, H = 1280, 800
gdi, svg = open("gdi.rgb", "rb").read(), open("svg.rgb", "rb").read()
assert len(gdi) == len(svg) == 3 * W * H, (len(gdi), len(svg))
rects = [tuple(map(int, l.split())) for l in open("panes.txt")]
assert len(rects) == 4, rects
text = open("picture.svg", encoding="utf-8").read()
# Titles and axis letters: fonts differ, so their boxes are left out.
boxes = []
for g in re.finditer(r'transform="translate\((-?\d+)[ ,](-?\d+)\)"(.*?)</g></g>', text, re.S):
    tx, ty = int(g.group(1)), int(g.group(2))
    for t in re.finditer(r'<text[^>]* x="(-?\d+)" y="(-?\d+)"', g.group(3)):
        boxes.append((tx + int(t.group(1)) - 3, ty + int(t.group(2)) - 16, tx + int(t.group(1)) + 28, ty + int(t.group(2)) + 16))
assert boxes, "no titles found"
px = lambda b, x, y: b[3 * (y * W + x):3 * (y * W + x) + 3]
lit = lambda c: max(c) > 80
def hue(c):  # which channels carry the colour
    m = max(c)
    return tuple(v >= m / 2 for v in c)
def near(b, x, y, want=None):
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            c = px(b, x + dx, y + dy)
            if lit(c) and (want is None or hue(c) == want):
                return True
    return False
counts = {"gdi": [0, 0, 0], "svg": [0, 0]}
for (l, t, r, b) in rects:
    for y in range(t + 3, b - 3):
        for x in range(l + 3, r - 3):
            if any(x0 <= x < x1 and y0 <= y < y1 for (x0, y0, x1, y1) in boxes):
                continue
            g, s = px(gdi, x, y), px(svg, x, y)
            if lit(g):
                counts["gdi"][0] += 1
                counts["gdi"][1] += near(svg, x, y)
                counts["gdi"][2] += near(svg, x, y, hue(g))
            if lit(s):
                counts["svg"][0] += 1
                counts["svg"][1] += near(gdi, x, y)
n, placed, coloured = counts["gdi"]
m, explained = counts["svg"]
print(f"GDI lit {n}, near an SVG pixel {placed}, of its colour {coloured}; SVG lit {m}, near a GDI pixel {explained}")
assert n > 2000 and m > 2000, counts
assert placed >= 0.97 * n and coloured >= 0.95 * n and explained >= 0.97 * m, counts
PY
