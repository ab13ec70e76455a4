// Screen painting of one pane: a full paint goes to an off-screen bitmap
// that stays with the pane, so exposing, activating or moving the band
// only copies pixels. The band and the title are drawn on the window after
// the copy, never into the cached picture.
#include "view/pane_paint.h"
#include "view/piece_paint.h"
#include "view/win32/pane_windows.h"

#include <algorithm>

namespace {

float drawingScale(float scale) {
    // The same bounds the matrix build clamps to, so that the axes'
    // length in pixels agrees with the matrix.
    return scale < 0.0001f ? 0.0001f : (scale > 9999.0f ? 9999.0f : scale);
}

int kindOfSlot(const PaneSet* set, int slot) {
    const int pattern = *set->bind.pattern == 1 ? 1 : 0;
    const int kind = set->bind.matrix[pattern][slot];
    return kind >= 0 && kind < kPaneCount ? kind : 0;
}

bool stopPoll(void* context) {
    auto* set = static_cast<PaneSet*>(context);
    return set->stopRequested != nullptr && set->stopRequested(set);
}

// Pens 0 to 3 draw the records and 8 the work plane: when all of them are
// thin, the records can be painted without GDI, in pieces on all cores.
bool piecesPossible(const RasterPen pens[10]) {
    for (int pen : {kPenRapid, kPenCutting, kPenCuttingZ, kPenCompensation, kPenWorkPlane}) {
        if (pens[pen].kind == kRasterPenOther) return false;
    }
    return true;
}

void fillBackground(const PaneSet* set, uint32_t* pixels, int width, int height) {
    std::fill(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height),
              PicturePixel(set->bind.colorMap[4]));
}

// The work plane and the records into the picture's pixels on all cores.
// Returns the records drawn through, or -1 when GDI has to paint them.
int32_t paintPieces(PaneSet* set, const RenderTarget& target, const PanePaintInput& input, uint32_t* bits, int width,
                    int height) {
    PiecePaint paint = {};
    DescribePens(&set->pens, paint.pens);
    if (!piecesPossible(paint.pens)) return -1;
    paint.picture = {bits, width, height, true};
    paint.target = target;
    paint.input = input;
    paint.threads = PieceThreadCount();
    int32_t drawn = 0;
    if (PaintRecordPieces(paint, &drawn) != kPiecesInexact) return drawn;
    fillBackground(set, bits, width, height);  // what the pieces drew goes
    return -1;
}

// Draws the pane's content into a new bitmap of the client size, which
// becomes the pane's cached picture. A paint stopped by Escape is shown but
// not kept: the next paint of the pane draws it in full.
HBITMAP paintPicture(PaneSet* set, HDC dc, int slot, const ViewRect& rect) {
    ViewPane& pane = set->view.panes[slot];
    const Drawing* d = set->bind.drawing;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BuildViewMatrix(&pane, rect, pane.scale);
    HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    HCURSOR previous = nullptr;
    if (GetCursor() == arrow) previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    HDC memory = CreateCompatibleDC(dc);
    // A 32-bit section: its pixels are set without GDI where they can be.
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory == nullptr || picture == nullptr) {
        if (memory != nullptr) DeleteDC(memory);
        if (picture != nullptr) DeleteObject(picture);
        if (previous != nullptr) SetCursor(previous);
        return nullptr;
    }
    auto* pixels = static_cast<uint32_t*>(bits);
    fillBackground(set, pixels, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, picture);
    PanePaintInput input = PaneInputOf(set, slot);
    input.stopRequested = stopPoll;
    input.context = set;
    const RenderTarget plain = {nullptr, rect, pane.matrix, static_cast<uint32_t>(*set->bind.displayMask), &d->filter};
    int32_t drawn = paintPieces(set, plain, input, pixels, width, height);
    {
        GdiCanvas canvas(memory, &set->pens);
        RenderTarget target = plain;
        target.canvas = &canvas;
        if (drawn < 0) drawn = PaintPaneRecords(target, input, 0, input.recordCount);
        PaintPaneOverlay(target, input);
    }
    set->lastPaintRecords = drawn;
    set->paintedKind[slot] = input.kind;
    set->stale[slot] = false;
    BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    if (previous != nullptr) SetCursor(previous);
    if (set->lastPaintRecords < input.recordCount) {
        DeleteObject(picture);
        return nullptr;
    }
    return picture;
}

// Shows the cached picture; one of another size (a stale one) is stretched.
void CopyPicture(HDC dc, HBITMAP picture, const ViewRect& rect) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    BITMAP info = {};
    GetObjectW(picture, sizeof info, &info);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (info.bmWidth == width && info.bmHeight == height) {
        BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

}  // namespace

PanePaintInput PaneInputOf(const PaneSet* set, int slot) {
    const Drawing* d = set->bind.drawing;
    PanePaintInput input = {};
    input.kind = kindOfSlot(set, slot);
    input.scale = drawingScale(set->view.panes[slot].scale);
    input.range = &d->range;
    input.paths = d->loaded ? d->paths : nullptr;
    input.recordCount = d->loaded ? pathStoreCount(d->paths) : 0;
    if (d->tracing) {
        input.recordCount = set->traceRecords < input.recordCount ? set->traceRecords : input.recordCount;
        if ((set->markerMask >> slot & 1u) != 0) {
            input.tool = &set->markerTool;
            for (int k = 0; k < 3; ++k) input.toolPosition[k] = set->markerPos[slot][k];
        }
    }
    input.axisColors = &set->bind.colorMap[5];
    return input;
}

int PaintPane(PaneSet* set, HDC dc, int slot) {
    if (slot < 0 || slot >= kPaneCount || set->windows[slot] == nullptr) return 0;
    ViewPane& pane = set->view.panes[slot];
    RECT client;
    GetClientRect(set->windows[slot], &client);
    const ViewRect rect = {client.left, client.top, client.right, client.bottom};
    pane.clientRect = rect;
    if (rect.right <= rect.left || rect.bottom <= rect.top) return 0;
    auto cached = static_cast<HBITMAP>(pane.cachedPicture);
    // During a trace the picture changes with every step: always repaint.
    // A stale picture of another view is no stand-in.
    if (cached != nullptr && set->stale[slot] && set->paintedKind[slot] != kindOfSlot(set, slot)) {
        DeleteObject(cached);
        cached = nullptr;
        pane.cachedPicture = nullptr;
        set->stale[slot] = false;
    }
    if (cached != nullptr && !set->bind.drawing->tracing) {
        CopyPicture(dc, cached, rect);
    } else {
        if (cached != nullptr) DeleteObject(cached);
        pane.cachedPicture = paintPicture(set, dc, slot, rect);
    }
    const ViewRect& band = set->view.band;
    if (slot == *set->bind.active && band.right > band.left && band.bottom > band.top) {
        const RECT focus = {band.left, band.top, band.right, band.bottom};
        DrawFocusRect(dc, &focus);
    }
    if ((*set->bind.displayMask & kShowTitle) != 0) {
        GdiCanvas canvas(dc, &set->pens);
        canvas.text(rect.left + 2, rect.top + 1, pane.title, set->bind.colorMap[8]);
    }
    return 1;
}
