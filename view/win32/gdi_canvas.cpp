#include "view/win32/gdi_canvas.h"

#include "platform/win32/wide.h"

#include <cstring>
#include <string>

namespace {

void freePens(ViewPens* pens) {
    for (int i = 0; i < 10; ++i) {
        if (pens->pens[i] != nullptr) DeleteObject(pens->pens[i]);
        if (pens->brushes[i] != nullptr) DeleteObject(pens->brushes[i]);
    }
    memset(pens, 0, sizeof *pens);
}

}  // namespace

void BuildPens(ViewPens* pens, int mode, const uint32_t colorMap[16], const int widthMap[16]) {
    freePens(pens);
    if (mode != kPensColour && mode != kPensBlack) return;
    for (int i = 0; i < 10; ++i) {
        if (i == 4) continue;  // the background is filled, never stroked
        const COLORREF color = mode == kPensBlack ? RGB(0, 0, 0) : colorMap[i];
        const int width = widthMap[i] > 0 ? widthMap[i] : 1;
        // A dotted pen must be one pixel wide or GDI draws it solid.
        pens->pens[i] = i == 0 ? CreatePen(PS_DOT, 1, color) : CreatePen(PS_SOLID, width, color);
        pens->brushes[i] = CreateSolidBrush(color);
    }
}

void BuildDevicePens(ViewPens* pens, int mode, const uint32_t colorMap[16], const int widthMap[16],
                     int dpi) {
    if (dpi <= 96) {
        BuildPens(pens, mode, colorMap, widthMap);
        return;
    }
    int scaled[16];
    for (int i = 0; i < 16; ++i) scaled[i] = MulDiv(widthMap[i] > 0 ? widthMap[i] : 1, dpi, 96);
    BuildPens(pens, mode, colorMap, scaled);
    if (pens->pens[0] == nullptr) return;
    // A cosmetic dotted pen is one device pixel wide: invisible on paper.
    const LOGBRUSH brush = {BS_SOLID, mode == kPensBlack ? RGB(0, 0, 0) : colorMap[0], 0};
    HPEN dotted =
        ExtCreatePen(PS_GEOMETRIC | PS_DOT | PS_ENDCAP_FLAT, scaled[0], &brush, 0, nullptr);
    if (dotted == nullptr) return;
    DeleteObject(pens->pens[0]);
    pens->pens[0] = dotted;
}

void DrawBevelFrame(HDC dc, RECT* rect, int thicknessX, int thicknessY, HBRUSH brush) {
    DrawEdge(dc, rect, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
    RECT& r = *rect;
    const RECT strips[4] = {
        {r.left, r.top, r.right, r.top + thicknessY},
        {r.left, r.bottom - thicknessY, r.right, r.bottom},
        {r.left, r.top + thicknessY, r.left + thicknessX, r.bottom - thicknessY},
        {r.right - thicknessX, r.top + thicknessY, r.right, r.bottom - thicknessY},
    };
    for (const RECT& strip : strips) FillRect(dc, &strip, brush);
    InflateRect(rect, -thicknessX, -thicknessY);
    DrawEdge(dc, rect, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
}

// Long polylines are cut so that the buffer stays small and a paint
// stopped by Escape has its strokes on the picture.
constexpr size_t kRunMax = 4096;

GdiCanvas::GdiCanvas(HDC dc, const ViewPens* pens) : dc_(dc), pens_(pens) {
    oldPen_ = SelectObject(dc_, GetStockObject(BLACK_PEN));
    SetBkMode(dc_, TRANSPARENT);
    run_.reserve(kRunMax);
    for (int i = 0; i < 10; ++i) {
        LOGPEN pen = {};
        // A pen that is not a plain cosmetic one is treated as dotted.
        dotted_[i] = pens_->pens[i] != nullptr &&
                     (GetObjectW(pens_->pens[i], sizeof pen, &pen) != sizeof pen ||
                      (pen.lopnStyle & PS_STYLE_MASK) != PS_SOLID);
    }
}

GdiCanvas::~GdiCanvas() {
    flush();
    SelectObject(dc_, oldPen_);
}

void GdiCanvas::flush() {
    if (run_.size() >= 2) Polyline(dc_, run_.data(), static_cast<int>(run_.size()));
    if (!run_.empty()) MoveToEx(dc_, run_.back().x, run_.back().y, nullptr);
    run_.clear();
}

void GdiCanvas::selectPen(int pen) {
    if (pen < 0 || pen >= 10 || pens_->pens[pen] == nullptr || pen == pen_) return;
    flush();
    SelectObject(dc_, pens_->pens[pen]);
    pen_ = pen;
    direct_ = dotted_[pen];
}

void GdiCanvas::moveTo(int x, int y) {
    if (direct_) {
        MoveToEx(dc_, x, y, nullptr);
        return;
    }
    if (!run_.empty() && run_.back().x == x && run_.back().y == y) return;
    flush();
    run_.push_back({x, y});
}

void GdiCanvas::lineTo(int x, int y) {
    if (direct_) {
        LineTo(dc_, x, y);
        return;
    }
    if (run_.empty()) {
        POINT at = {};
        GetCurrentPositionEx(dc_, &at);
        run_.push_back(at);
    }
    if (run_.back().x == x && run_.back().y == y) return;
    if (run_.size() >= kRunMax) {
        const POINT last = run_.back();
        flush();
        run_.push_back(last);
    }
    run_.push_back({x, y});
}

void GdiCanvas::beginPath() {
    flush();
    BeginPath(dc_);
}

void GdiCanvas::strokePath() {
    flush();
    EndPath(dc_);
    StrokePath(dc_);
}

void GdiCanvas::abandonPath() {
    run_.clear();
    AbortPath(dc_);
}

void GdiCanvas::fillEllipse(int left, int top, int right, int bottom, int brush) {
    if (brush < 0 || brush >= 10 || pens_->brushes[brush] == nullptr) return;
    flush();
    HGDIOBJ oldBrush = SelectObject(dc_, pens_->brushes[brush]);
    HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
    // Without an outline GDI leaves out the right and bottom edge; one more
    // pixel keeps the dot the size it was asked for.
    Ellipse(dc_, left, top, right + 1, bottom + 1);
    SelectObject(dc_, oldPen);
    SelectObject(dc_, oldBrush);
}

void GdiCanvas::text(int x, int y, const char* text, uint32_t color) {
    const std::wstring wide = tlvWiden(text);
    if (wide.empty()) return;
    flush();
    COLORREF old = SetTextColor(dc_, color);
    TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
    SetTextColor(dc_, old);
}

void GdiCanvas::setXor(bool on) {
    flush();
    if (on) {
        oldRop_ = SetROP2(dc_, R2_XORPEN);
    } else if (oldRop_ != 0) {
        SetROP2(dc_, oldRop_);
        oldRop_ = 0;
    }
}

void GdiCanvas::setClip(const ViewRect* rect) {
    flush();  // what is pending belongs inside the previous clip
    if (rect == nullptr) {
        SelectClipRgn(dc_, nullptr);
        return;
    }
    HRGN region = CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
    if (region == nullptr) return;
    SelectClipRgn(dc_, region);
    DeleteObject(region);
}

void GdiCanvas::frameRect(const ViewRect& rect) {
    flush();
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < frameWidth_ && r.right - r.left > 2 && r.bottom - r.top > 2; ++i) {
        FrameRect(dc_, &r, black);
        InflateRect(&r, -1, -1);
    }
}
