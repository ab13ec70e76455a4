#include "view/win32/gdi_canvas.h"

#include "platform/win32/wide.h"

#include <climits>
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

void DescribePens(const ViewPens* pens, RasterPen out[10]) {
    for (int i = 0; i < 10; ++i) {
        out[i] = {kRasterPenNone, 0};
        if (pens->pens[i] == nullptr) continue;
        LOGPEN pen = {};
        out[i].kind = kRasterPenOther;
        if (GetObjectW(pens->pens[i], sizeof pen, &pen) != sizeof pen) continue;  // a geometric pen
        out[i].pixel = PicturePixel(pen.lopnColor);
        if (pen.lopnWidth.x > 1) continue;
        if ((pen.lopnStyle & PS_STYLE_MASK) == PS_SOLID) out[i].kind = kRasterPenThin;
        if (pen.lopnStyle == PS_DOT) out[i].kind = kRasterPenDotted;
    }
}

// Long polylines are cut so that the buffer stays small and a paint
// stopped by Escape has its strokes on the picture.
constexpr size_t kRunMax = 4096;

GdiCanvas::GdiCanvas(HDC dc, const ViewPens* pens) : dc_(dc), pens_(pens) {
    oldPen_ = SelectObject(dc_, GetStockObject(BLACK_PEN));
    GetCurrentPositionEx(dc_, &gdiAt_);
    at_ = gdiAt_;
    SetBkMode(dc_, TRANSPARENT);
    run_.reserve(kRunMax);
    DescribePens(pens_, kinds_);
    for (int i = 0; i < 10; ++i) {
        LOGPEN pen = {};
        // A pen that is not a plain cosmetic one is treated as dotted.
        dotted_[i] = pens_->pens[i] != nullptr &&
                     (GetObjectW(pens_->pens[i], sizeof pen, &pen) != sizeof pen ||
                      (pen.lopnStyle & PS_STYLE_MASK) != PS_SOLID);
    }
    findPicture();
}

// The picture's pixels when lines can be set into them as GDI would draw
// them: a 32-bit section in a memory context, no clip, no mapping, plain
// copy.
void GdiCanvas::findPicture() {
    if (GetObjectType(dc_) != OBJ_MEMDC) return;
    DIBSECTION section = {};
    HGDIOBJ bitmap = GetCurrentObject(dc_, OBJ_BITMAP);
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof section, &section) != sizeof section) return;
    if (section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32 || section.dsBmih.biCompression != BI_RGB ||
        section.dsBm.bmWidth < 1 || section.dsBm.bmHeight < 2) {
        return;
    }
    POINT viewport = {}, window = {};
    GetViewportOrgEx(dc_, &viewport);
    GetWindowOrgEx(dc_, &window);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    const int clipped = clip != nullptr ? GetClipRgn(dc_, clip) : 1;
    if (clip != nullptr) DeleteObject(clip);
    if (clipped != 0 || viewport.x != 0 || viewport.y != 0 || window.x != 0 || window.y != 0 ||
        GetMapMode(dc_) != MM_TEXT || GetGraphicsMode(dc_) != GM_COMPATIBLE || GetROP2(dc_) != R2_COPYPEN) {
        return;
    }
    // Which way the rows run: set the top-left pixel through GDI and see
    // which end of the memory changes, then put it back.
    auto* pixels = static_cast<uint32_t*>(section.dsBm.bmBits);
    const int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
    uint32_t& first = pixels[0];
    uint32_t& last = pixels[static_cast<size_t>(height - 1) * static_cast<size_t>(width)];
    GdiFlush();
    const uint32_t oldFirst = first, oldLast = last;
    const COLORREF probe = (oldFirst & 0xFFFFFF) == 0x010203 && (oldLast & 0xFFFFFF) == 0x010203 ? RGB(4, 5, 6) : RGB(1, 2, 3);
    SetPixelV(dc_, 0, 0, probe);
    GdiFlush();
    bool topDown = true;
    if (first != oldFirst) {
        first = oldFirst;
    } else if (last != oldLast) {
        topDown = false;
        last = oldLast;
    } else {
        return;
    }
    picture_ = {pixels, width, height, topDown};
}

void GdiCanvas::updateRaster() {
    const bool raster = picture_.bits != nullptr && pen_ >= 0 && (thin(pen_) || kinds_[pen_].kind == kRasterPenDotted) &&
                        !xor_ && !inPath_;
    if (raster && !raster_) flush();
    raster_ = raster;
}

void GdiCanvas::rasterLine(POINT a, POINT b) {
    if (gdiDrew_) GdiFlush();
    gdiDrew_ = false;
    if (IsFarLine(picture_, a.x, a.y, b.x, b.y)) {
        usePen();
        placeGdi(a);
        LineTo(dc_, b.x, b.y);
        gdiAt_ = b;
        gdiDrew_ = true;
        return;
    }
    SetThinLine(picture_, a.x, a.y, b.x, b.y, kinds_[pen_].pixel, kinds_[pen_].kind == kRasterPenDotted);
}

GdiCanvas::~GdiCanvas() {
    flush();
    SelectObject(dc_, oldPen_);
}

// Pens change with almost every record; GDI is told only when it draws.
void GdiCanvas::usePen() {
    if (!penChanged_) return;
    SelectObject(dc_, pens_->pens[pen_]);
    penChanged_ = false;
}

// The device context's current position where GDI's next line starts.
void GdiCanvas::placeGdi(POINT p) {
    if (gdiAt_.x == p.x && gdiAt_.y == p.y) return;
    MoveToEx(dc_, p.x, p.y, nullptr);
    gdiAt_ = p;
}

void GdiCanvas::flush() {
    if (run_.size() >= 2) {
        usePen();
        Polyline(dc_, run_.data(), static_cast<int>(run_.size()));
        gdiDrew_ = true;
    }
    run_.clear();
}

void GdiCanvas::selectPen(int pen) {
    if (pen < 0 || pen >= 10 || pens_->pens[pen] == nullptr || pen == pen_) return;
    flush();
    pen_ = pen;
    penChanged_ = true;
    direct_ = dotted_[pen];
    updateRaster();
}

void GdiCanvas::moveTo(int x, int y) {
    at_ = {x, y};
    if (raster_ || direct_) return;
    if (!run_.empty() && run_.back().x == x && run_.back().y == y) return;
    flush();
    run_.push_back({x, y});
}

void GdiCanvas::lineTo(int x, int y) {
    const POINT from = at_;
    at_ = {x, y};
    if (raster_) {
        rasterLine(from, at_);
        return;
    }
    if (direct_) {
        usePen();
        placeGdi(from);
        LineTo(dc_, x, y);
        gdiAt_ = at_;
        gdiDrew_ = true;
        return;
    }
    if (run_.empty()) run_.push_back(from);
    // A line of no length draws nothing with a thin pen, and a dot with a
    // thick one, which a longer line through the point already covers.
    if (run_.back().x == x && run_.back().y == y && (thin(pen_ < 0 ? 0 : pen_) || run_.size() > 1)) return;
    if (run_.size() >= kRunMax) {
        const POINT last = run_.back();
        flush();
        run_.push_back(last);
    }
    run_.push_back({x, y});
}

// A path of a thin solid pen strokes the pixels of its lines drawn one by
// one, so in a picture they are set like any other line.
void GdiCanvas::beginPath() {
    flush();
    if (raster_ && thin(pen_)) {
        rasterPath_ = true;
        return;
    }
    inPath_ = true;
    updateRaster();
    usePen();
    BeginPath(dc_);
}

void GdiCanvas::strokePath() {
    if (rasterPath_) {
        rasterPath_ = false;
        return;
    }
    flush();
    EndPath(dc_);
    StrokePath(dc_);
    gdiAt_ = {INT_MIN, INT_MIN};  // where a path leaves the position is its own affair
    gdiDrew_ = true;
    inPath_ = false;
    updateRaster();
}

void GdiCanvas::abandonPath() {
    if (rasterPath_) {
        rasterPath_ = false;
        return;
    }
    run_.clear();
    AbortPath(dc_);
    gdiAt_ = {INT_MIN, INT_MIN};
    inPath_ = false;
    updateRaster();
}

void GdiCanvas::fillEllipse(int left, int top, int right, int bottom, int brush) {
    if (brush < 0 || brush >= 10 || pens_->brushes[brush] == nullptr) return;
    flush();
    gdiDrew_ = true;
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
    gdiDrew_ = true;
    COLORREF old = SetTextColor(dc_, color);
    TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
    SetTextColor(dc_, old);
}

void GdiCanvas::setXor(bool on) {
    flush();
    xor_ = on;
    updateRaster();
    if (on) {
        oldRop_ = SetROP2(dc_, R2_XORPEN);
    } else if (oldRop_ != 0) {
        SetROP2(dc_, oldRop_);
        oldRop_ = 0;
    }
}

void GdiCanvas::setClip(const ViewRect* rect) {
    flush();  // what is pending belongs inside the previous clip
    picture_.bits = nullptr;  // lines set into the pixels would ignore the clip
    updateRaster();
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
    gdiDrew_ = true;
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < frameWidth_ && r.right - r.left > 2 && r.bottom - r.top > 2; ++i) {
        FrameRect(dc_, &r, black);
        InflateRect(&r, -1, -1);
    }
}
