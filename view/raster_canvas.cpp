#include "view/raster_canvas.h"

#include <cstddef>

namespace {

int absolute(int v) {
    return v < 0 ? -v : v;
}

// The error bias of GDI's walk per octant: one in octants 1, 2, 4 and 7
// (counted anticlockwise from +x with y growing downwards).
int octantBias(int dx, int dy) {
    int octant;
    if (dy > 0) {
        octant = dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3);
    } else {
        octant = dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7);
    }
    return (0x4B >> (octant - 1)) & 1;
}

}  // namespace

bool IsFarLine(const PixelPicture& picture, int ax, int ay, int bx, int by) {
    const int adx = absolute(bx - ax), ady = absolute(by - ay);
    return (adx > ady ? adx : ady) > 4 * (picture.width + picture.height);
}

namespace {

// The walk of a line whose pixels all lie in the picture: no bounds to
// test, the pixel pointer stepped along the axes.
void walkInside(const PixelPicture& picture, const int a[2], const int d[2], int e, uint32_t pixel,
                bool dotted) {
    const bool xMajor = d[0] > d[1];
    const int major = xMajor ? d[0] : d[1], minor = xMajor ? d[1] : d[0];
    const ptrdiff_t width = picture.width;
    const ptrdiff_t down = picture.topDown ? width : -width;
    const int row = picture.topDown ? a[1] : picture.height - 1 - a[1];
    uint32_t* p = picture.bits + row * width + a[0];
    const ptrdiff_t xStep = d[2] > 0 ? 1 : -1, yStep = d[3] > 0 ? down : -down;
    const ptrdiff_t majorStep = xMajor ? xStep : yStep, minorStep = xMajor ? yStep : xStep;
    const int up = 2 * minor, across = 2 * (minor - major);
    if (!dotted) {
        for (int i = 0; i < major; ++i) {
            *p = pixel;
            p += majorStep + (e >= 0 ? minorStep : 0);
            e += e >= 0 ? across : up;
        }
        return;
    }
    for (int i = 0, phase = 0; i < major; ++i) {
        if (phase < 3) *p = pixel;
        if (++phase == 6) phase = 0;
        p += majorStep + (e >= 0 ? minorStep : 0);
        e += e >= 0 ? across : up;
    }
}

}  // namespace

void SetThinLine(const PixelPicture& picture, int ax, int ay, int bx, int by, uint32_t pixel,
                 bool dotted) {
    const int dx = bx - ax, dy = by - ay;
    const int adx = absolute(dx), ady = absolute(dy);
    const bool xMajor = adx > ady;
    const int major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    if (major == 0) return;
    // Lines wholly beside the picture set nothing.
    const int top = ay < by ? ay : by, bottom = ay < by ? by : ay;
    const int left = ax < bx ? ax : bx, right = ax < bx ? bx : ax;
    if (bottom < 0 || top >= picture.height || right < 0 || left >= picture.width) return;
    int e = 2 * minor - major - octantBias(dx, dy);
    if (top >= 0 && bottom < picture.height && left >= 0 && right < picture.width) {
        const int a[2] = {ax, ay}, d[4] = {adx, ady, dx, dy};
        walkInside(picture, a, d, e, pixel, dotted);
        return;
    }
    const int sx = dx > 0 ? 1 : -1, sy = dy > 0 ? 1 : -1;
    int x = ax, y = ay;
    for (int i = 0; i < major; ++i) {
        if ((!dotted || i % 6 < 3) &&
            static_cast<unsigned>(x) < static_cast<unsigned>(picture.width) &&
            static_cast<unsigned>(y) < static_cast<unsigned>(picture.height)) {
            const int row = picture.topDown ? y : picture.height - 1 - y;
            picture.bits[static_cast<size_t>(row) * static_cast<size_t>(picture.width) +
                         static_cast<size_t>(x)] = pixel;
        }
        if (e >= 0) {
            if (xMajor) {
                y += sy;
            } else {
                x += sx;
            }
            e += 2 * (minor - major);
        } else {
            e += 2 * minor;
        }
        if (xMajor) {
            x += sx;
        } else {
            y += sy;
        }
    }
}

RasterCanvas::RasterCanvas(const PixelPicture& picture, const RasterPen pens[10])
    : picture_(picture) {
    for (int i = 0; i < 10; ++i) pens_[i] = pens[i];
}

void RasterCanvas::selectPen(int pen) {
    if (pen >= 0 && pen < 10 && pens_[pen].kind != kRasterPenNone) pen_ = pen;
}

void RasterCanvas::moveTo(int x, int y) {
    x_ = x;
    y_ = y;
}

void RasterCanvas::lineTo(int x, int y) {
    const int ax = x_, ay = y_;
    x_ = x;
    y_ = y;
    if (pen_ < 0) {  // GDI would draw with whatever pen the context holds
        exact_ = false;
        return;
    }
    const RasterPen& pen = pens_[pen_];
    // Half the segments of a drawing seen whole fall on one pixel: a thin
    // line of no length sets nothing.
    if (ax == x && ay == y && pen.kind != kRasterPenOther) return;
    // A dotted path continues its pattern across its lines, which a walk
    // that starts afresh per line would not.
    if (pen.kind == kRasterPenOther || (pen.kind == kRasterPenDotted && inPath_) ||
        IsFarLine(picture_, ax, ay, x, y)) {
        exact_ = false;
        return;
    }
    SetThinLine(picture_, ax, ay, x, y, pen.pixel, pen.kind == kRasterPenDotted);
}

void RasterCanvas::text(int, int, const char* text, uint32_t) {
    if (text != nullptr && text[0] != '\0') exact_ = false;
}

void RasterCanvas::setXor(bool on) {
    if (on) exact_ = false;
}

void RasterCanvas::setClip(const ViewRect* rect) {
    if (rect != nullptr) exact_ = false;
}
