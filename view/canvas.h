// The drawing surface the path renderer draws on: the GDI device context on
// Windows, a recording canvas in tests.
#pragma once

#include "view/view_transform.h"

#include <cstdint>

// Pen and brush indexes: the four motion styles, then the axes, the work
// plane and the tool image (index 4 is the background and has no pen).
enum CanvasPen {
    kPenRapid = 0,
    kPenCutting = 1,
    kPenCuttingZ = 2,
    kPenCompensation = 3,
    kPenAxisX = 5,
    kPenAxisY = 6,
    kPenAxisZ = 7,
    kPenWorkPlane = 8,
    kPenTool = 9,
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void selectPen(int pen) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
    // A polyline: the moves and lines between begin and end are stroked
    // once, as one path.
    virtual void beginPath() = 0;
    virtual void strokePath() = 0;
    virtual void abandonPath() = 0;
    // Filled with the brush of pen index, no outline.
    virtual void fillEllipse(int left, int top, int right, int bottom, int brush) = 0;
    virtual void text(int x, int y, const char* text, uint32_t color) = 0;
    // XOR drawing: drawing the same figure twice erases it.
    virtual void setXor(bool on) = 0;
    // Restricts drawing to rect; null lifts the restriction. Screen panes
    // are windows of their own and need none, printed panes share a page.
    virtual void setClip(const ViewRect* rect) { (void)rect; }
    // A thin black frame just inside rect (printed panes).
    virtual void frameRect(const ViewRect& rect) { (void)rect; }
};
