// The canvas of the Windows build: GDI drawing into a device context with
// the views' shared pens and brushes.
#pragma once

#include "view/canvas.h"

#include <windows.h>

#include <cstdint>

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

// A raised outer edge, a band of the given thickness filled with brush and a
// sunken inner edge; rect is shrunk past all three.
void DrawBevelFrame(HDC dc, RECT* rect, int thicknessX, int thicknessY, HBRUSH brush);

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
    void setClip(const ViewRect* rect) override;
    void frameRect(const ViewRect& rect) override;
    void setFrameWidth(int width) { frameWidth_ = width > 0 ? width : 1; }

private:
    HDC dc_;
    const ViewPens* pens_;
    HGDIOBJ oldPen_;
    int oldRop_ = 0;
    int frameWidth_ = 1;
};
