// Thin lines set straight into a 32-bit picture by GDI's own pixel rules,
// so that a pane's picture can be painted without GDI, on several threads
// at once, and still match GDI pixel for pixel.
#pragma once

#include "view/canvas.h"

#include <cstdint>

// A picture's pixels, 0x00RRGGBB.
struct PixelPicture {
    uint32_t* bits;
    int width, height;
    bool topDown;  // bits starts with the top row
};

enum RasterPenKind : uint8_t { kRasterPenNone, kRasterPenThin, kRasterPenDotted, kRasterPenOther };
struct RasterPen {
    RasterPenKind kind;  // thin: solid, one pixel; dotted: three on, three off
    uint32_t pixel;
};

// GDI leaves lines whose longer extent passes this to its own clipping,
// which may round differently from a plain walk: such a line is not set.
bool IsFarLine(const PixelPicture& picture, int ax, int ay, int bx, int by);

// Sets GDI's pixels of a one-pixel line from a to b inside the picture:
// Bresenham along the major axis, the last pixel left out, a tie stepping
// the minor axis, and the error biased by one in the octants where GDI
// rounds the other way; equal extents count as y-major. A dotted line has
// three pixels on and three off along its major axis from its start.
void SetThinLine(const PixelPicture& picture, int ax, int ay, int bx, int by, uint32_t pixel,
                 bool dotted);

// A canvas over PixelPicture for the thin pens. What it cannot draw as GDI
// would (another pen, a dotted path, text, ellipses, XOR, a clip, a far
// line) it leaves out and says so through exact(): the caller then paints
// through GDI instead.
class RasterCanvas : public Canvas {
public:
    RasterCanvas(const PixelPicture& picture, const RasterPen pens[10]);
    bool exact() const { return exact_; }
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void beginPath() override { inPath_ = true; }
    void strokePath() override { inPath_ = false; }
    void abandonPath() override { inPath_ = false; }
    void fillEllipse(int, int, int, int, int) override { exact_ = false; }
    void text(int, int, const char* text, uint32_t) override;
    void setXor(bool on) override;
    void setClip(const ViewRect* rect) override;
    void frameRect(const ViewRect&) override { exact_ = false; }

private:
    PixelPicture picture_;
    RasterPen pens_[10];
    int pen_ = -1;
    int x_ = 0, y_ = 0;
    bool inPath_ = false;
    bool exact_ = true;
};
