#include "app/win32/clipboard_picture.h"

#include "app/session.h"
#include "app/win32/frame_state.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "view/print_layout.h"
#include "view/win32/pane_windows.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The metafile goes through the same painting as paper, in the screen's
// colours on the screen's background, at the pane's size.
HENHMETAFILE paintMetafile(PaneSet* set, int slot, const Drawing& drawing) {
    HWND window = set->windows[slot];
    HDC screen = GetDC(window);
    HDC meta = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
    ReleaseDC(window, screen);
    if (meta == nullptr) return nullptr;
    const ViewPane& pane = set->view.panes[slot];
    const ViewRect& r = pane.clientRect;
    const RECT fill = {r.left, r.top, r.right, r.bottom};
    HBRUSH background = CreateSolidBrush(set->bind.colorMap[4]);
    FillRect(meta, &fill, background);
    DeleteObject(background);
    {
        GdiCanvas canvas(meta, &set->pens);
        PaintPrintedPane(&canvas, pane, r, static_cast<uint32_t>(*set->bind.displayMask),
                         &drawing.filter, PaneInputOf(set, slot), set->bind.colorMap[8], false);
    }
    return CloseEnhMetaFile(meta);
}

HGLOBAL globalText(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) return nullptr;
    memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
}

// The report as CP932 text and as UTF-16, so that a program reading either
// gets the Japanese right whatever the reader's code page.
void placeReport(FrameState* fs) {
    ExportOptions options = ExportOptionsOf(*fs->session, fs->drawing);
    options.report.loaded = fs->drawing.loaded;
    options.report.state = &fs->drawing.reportState;
    const size_t size = BuildReportText(options.report, false, nullptr, 0, "\r\n");
    if (size == 0) return;
    std::vector<char> text(size, '\0');
    BuildReportText(options.report, false, text.data(), text.size(), "\r\n");
    const size_t length = strlen(text.data());
    if (HGLOBAL narrow = globalText(text.data(), length + 1)) {
        if (SetClipboardData(CF_TEXT, narrow) == nullptr) GlobalFree(narrow);
    }
    const std::wstring wide = tlvWiden(text.data());
    if (HGLOBAL unicode = globalText(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t))) {
        if (SetClipboardData(CF_UNICODETEXT, unicode) == nullptr) GlobalFree(unicode);
    }
}

bool placePictures(FrameState* fs, PaneSet* set, int slot) {
    bool placed = false;
    if (auto cached = static_cast<HBITMAP>(set->view.panes[slot].cachedPicture)) {
        HANDLE copy = CopyImage(cached, IMAGE_BITMAP, 0, 0, 0);
        placed = copy != nullptr && SetClipboardData(CF_BITMAP, copy) != nullptr;
        if (copy != nullptr && !placed) DeleteObject(copy);
    }
    if (set->windows[slot] != nullptr) {
        HENHMETAFILE meta = paintMetafile(set, slot, fs->drawing);
        if (meta != nullptr && SetClipboardData(CF_ENHMETAFILE, meta) == nullptr)
            DeleteEnhMetaFile(meta);
    }
    return placed;
}

}  // namespace

bool CopyPicture(FrameState* fs) {
    HWND frame = fs->frame;
    if (fs->drawing.tracing || !fs->drawing.loaded) return false;
    PaneSet* set = PaneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL));
    if (set == nullptr) return false;
    const int slot = fs->session->settings.viewActive;
    bool placed = false;
    if (slot >= 0 && slot < kPaneCount && OpenClipboard(frame)) {
        EmptyClipboard();
        placed = placePictures(fs, set, slot);
        placeReport(fs);
        CloseClipboard();
    }
    SetBand(set, nullptr);
    return placed;
}
