// The canvas of the Windows build: GDI drawing into a device context with
// the views' shared pens and brushes.
#pragma once

#include "view/canvas.h"
#include "view/raster_canvas.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Pens and brushes for view indexes 0..9 (index 4, the background, has
// none): built from the colour and width maps, or all black for
// monochrome printing. Owned by the view panel.
struct ViewPens {
    HPEN pens[10];
    HBRUSH brushes[10];
};

enum PenMode { kPensColour = 0, kPensBlack = 1 };
// Frees what pens holds, then, for mode 0 or 1, builds a new set. The rapid
// pen is dotted, all others solid.
void BuildPens(ViewPens* pens, int mode, const uint32_t colorMap[16], const int widthMap[16]);
// The same for a device of dpi dots per inch: widths (the rapid pen's dots
// included) grow with the resolution, so that paper shows the lines as
// heavy as the screen does.
void BuildDevicePens(ViewPens* pens, int mode, const uint32_t colorMap[16], const int widthMap[16],
                     int dpi);

// A colour as a pixel of a 32-bit picture (0x00RRGGBB).
inline uint32_t PicturePixel(COLORREF c) {
    return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 |
           GetBValue(c);
}

// How the canvases without GDI see each pen: thin, dotted, or another kind
// that only GDI draws.
void DescribePens(const ViewPens* pens, RasterPen out[10]);

// A raised outer edge, a band of the given thickness filled with brush and a
// sunken inner edge; rect is shrunk past all three.
void DrawBevelFrame(HDC dc, RECT* rect, int thicknessX, int thicknessY, HBRUSH brush);

// Strokes go to GDI in polylines: a line that starts where the last one
// ended continues it, and a point on the pixel of the one before is left
// out where that draws nothing. The pixels are those of one
// MoveToEx/LineTo pair per line; a million records cost a few thousand
// calls instead of two million. A dotted pen's pattern depends on where
// each line starts, so its lines still go out one by one.
//
// On a 32-bit picture in memory without clip or transform, lines of thin
// solid and dotted pens are set into its pixels here, by GDI's own pixel
// rules (tested against GDI pixel for pixel): a large program seen whole is a million
// lines of a few pixels, which GDI takes a second for.
class GdiCanvas : public Canvas {
public:
    GdiCanvas(HDC dc, const ViewPens* pens);
    ~GdiCanvas() override;
    void selectPen(int pen) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void beginPath() override;
    void strokePath() override;
    void abandonPath() override;
    void fillEllipse(int left, int top, int right, int bottom, int brush) override;
    void text(int x, int y, const char* text, uint32_t color) override;
    void setXor(bool on) override;
    // Sends the pending polyline to the device context.
    void flush();
    void setClip(const ViewRect* rect) override;
    void frameRect(const ViewRect& rect) override;
    void setFrameWidth(int width) { frameWidth_ = width > 0 ? width : 1; }

private:
    void findPicture();
    void rasterLine(POINT a, POINT b);
    void updateRaster();
    void usePen();
    void placeGdi(POINT p);

    HDC dc_;
    int pen_ = -1;            // the view pen selected, -1 before any
    bool direct_ = true;      // lines of the pen go to GDI one by one
    bool thin(int pen) const { return kinds_[pen].kind == kRasterPenThin; }

    bool dotted_[10] = {};
    RasterPen kinds_[10] = {};   // thin, dotted or other, and the picture pixel
    PixelPicture picture_ = {};        // the picture's pixels; bits null: none
    bool raster_ = false;              // lines of the pen are set into the picture
    bool xor_ = false, inPath_ = false;
    bool rasterPath_ = false;  // a path of a thin pen, its lines set as they come
    bool gdiDrew_ = false;     // GDI may hold drawing not yet in the picture
    POINT at_ = {};            // the current position of the canvas
    POINT gdiAt_ = {};         // ... and of the device context
    bool penChanged_ = false;  // pen_ is not yet selected into the device context
    std::vector<POINT> run_;  // the pending polyline; run_[0] is its start
    const ViewPens* pens_;
    HGDIOBJ oldPen_;
    int oldRop_ = 0;
    int frameWidth_ = 1;
};
