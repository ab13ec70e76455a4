#include "app/win32/frame_layout.h"

#include "app/win32/status_bar.h"
#include "engine/block_store.h"
#include "platform/sjis.h"
#include "platform/win32/wide.h"
#include "dialogs/win32/common_dialogs.h"
#include "res/resource.h"
#include "res/strings.h"

#include <cstring>
#include <string>

namespace {

HWND panel(HWND frame, int id) {
    return GetDlgItem(frame, id);
}

struct InstanceSearch {
    HWND* out;
    int capacity;
    int count;
};

BOOL CALLBACK collectInstance(HWND window, LPARAM lp) {
    auto* search = reinterpret_cast<InstanceSearch*>(lp);
    wchar_t name[32] = {};
    if (GetClassNameW(window, name, 32) > 0 && wcscmp(name, kFrameClassName) == 0) {
        search->out[search->count++] = window;
    }
    return search->count < search->capacity;
}

}  // namespace

SIZE SplitterGap() {
    return {2 * GetSystemMetrics(SM_CXBORDER) + 1, 2 * GetSystemMetrics(SM_CYBORDER) + 1};
}

void LayoutFrame(FrameState* fs) {
    HWND frame = fs->frame;
    if (IsIconic(frame)) return;
    const uint32_t em = fs->session->settings.enableMap;
    SetWindowPos(frame, (em & EM_TOPMOST) != 0 ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(frame, &client);
    RECT rest = client;
    HWND rebar = GetDlgItem(frame, IDC_REBAR);
    HWND status = GetDlgItem(frame, IDC_STATUSBAR);
    int rebarHeight = 0, statusHeight = 0;
    if ((em & EM_TOOLBAR) != 0 && rebar != nullptr) {
        RECT r;
        GetWindowRect(rebar, &r);
        rebarHeight = r.bottom - r.top;
        rest.top += rebarHeight;
    }
    if ((em & EM_STATUSBAR) != 0 && status != nullptr) {
        SendMessageW(status, WM_SIZE, 0, 0);
        LayoutStatusBar(frame);
        RECT r;
        GetWindowRect(status, &r);
        statusHeight = r.bottom - r.top;
        rest.bottom -= statusHeight;
    }
    const SIZE g = SplitterGap();
    HWND reg = panel(frame, IDC_REGISTER_PANEL);
    HWND code = panel(frame, IDC_CODE_PANEL);
    HWND view = panel(frame, IDC_VIEW_PANEL);
    if (reg == nullptr || code == nullptr || view == nullptr) return;
    int right = rest.left + fs->registerWanted.cx;
    int bottom = rest.top + fs->registerWanted.cy;
    if (right > client.right - g.cx) right = client.right - g.cx;
    if (bottom > rest.bottom - g.cy) bottom = rest.bottom - g.cy;
    if (right < rest.left) right = rest.left;
    if (bottom < rest.top) bottom = rest.top;
    const int codeTop = bottom + g.cy;
    const int viewLeft = right + g.cx;
    HDWP batch = BeginDeferWindowPos(5);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (rebar != nullptr)
        batch = DeferWindowPos(batch, rebar, nullptr, 0, 0, client.right, rebarHeight, flags);
    if (status != nullptr) {
        batch = DeferWindowPos(batch, status, nullptr, 0, client.bottom - statusHeight,
                               client.right, statusHeight, flags);
    }
    batch = DeferWindowPos(batch, reg, nullptr, rest.left, rest.top, right - rest.left,
                           bottom - rest.top, flags);
    batch = DeferWindowPos(batch, code, nullptr, rest.left, codeTop, right - rest.left,
                           rest.bottom > codeTop ? rest.bottom - codeTop : 0, flags);
    batch = DeferWindowPos(batch, view, nullptr, viewLeft, rest.top,
                           client.right > viewLeft ? client.right - viewLeft : 0,
                           rest.bottom - rest.top, flags);
    EndDeferWindowPos(batch);
}

void UpdateFrameTitle(FrameState* fs, bool fullPath) {
    HWND frame = fs->frame;
    std::wstring product = tlvWiden(tlvString(IDS_PRODUCT));
    char path[kPlatPathMax] = {};
    if (!fs->drawing.loaded ||
        ncBlockGetFilename(fs->drawing.blocks, fs->drawing.mainProgram, path, sizeof path,
                           nullptr) != 1 ||
        path[0] == '\0') {
        SetWindowTextW(frame, product.c_str());
        return;
    }
    const char* slash = sjisLastSeparator(path);
    const char* shown = fullPath || slash == nullptr ? path : slash + 1;
    SetWindowTextW(frame, (tlvWiden(shown) + L" - " + product).c_str());
}

void SaveFramePlacement(FrameState* fs) {
    HWND frame = fs->frame;
    AppSettings& s = fs->session->settings;
    if (IsZoomed(frame)) {
        s.frameStatus = 3;
    } else if (IsIconic(frame)) {
        s.frameStatus = 2;
    } else {
        RECT r;
        GetWindowRect(frame, &r);
        s.frameStatus = 10;
        s.framePos[0] = r.left;
        s.framePos[1] = r.top;
        s.frameSize[0] = r.right - r.left;
        s.frameSize[1] = r.bottom - r.top;
    }
}

void SaveFramePanels(FrameState* fs) {
    AppSettings& s = fs->session->settings;
    SavePanelSizes(fs->frame, s.registerSize, s.codeSize, s.viewSize);
    s.registerSize[0] = fs->registerWanted.cx;
    s.registerSize[1] = fs->registerWanted.cy;
    s.codeSize[0] = fs->registerWanted.cx;  // the code panel shares the register's width
}

SIZE FrameMinimumSize() {
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return {MulDiv(480, dpiX, 96), MulDiv(360, dpiY, 96)};
}

void CheckChangedFiles(FrameState* fs) {
    HWND frame = fs->frame;
    if (!IsWindowEnabled(frame) || !fs->drawing.loaded) return;
    char previous[kPlatPathMax] = {};
    for (int32_t program = ncBlockNext(fs->drawing.blocks, -1); program != -1;
         program = ncBlockNext(fs->drawing.blocks, program)) {
        char name[kPlatPathMax] = {};
        PlatFileFacts stored = {};
        if (ncBlockGetFilename(fs->drawing.blocks, program, name, sizeof name, &stored) != 1)
            continue;
        if (lstrcmpiA(name, previous) == 0) continue;
        strcpy(previous, name);
        PlatFileFacts now = {};
        if (!platFindFile(name, &now)) continue;
        if (now.lastWriteTime == stored.lastWriteTime && now.size == stored.size) continue;
        SetForegroundWindow(frame);
        std::wstring text = tlvWiden(name) + L"\n\n" + tlvWiden(tlvString(IDS_FILE_CHANGED));
        std::wstring caption = tlvWiden(tlvString(IDS_PRODUCT));
        if (tlvMessageBox(frame, text.c_str(), caption.c_str(), MB_ICONQUESTION | MB_YESNO) ==
            IDYES) {
            if (fs->drawing.tracing) PostMessageW(frame, WM_COMMAND, CMD_TRACE_STOP, 0);
            PostMessageW(frame, WM_COMMAND, CMD_RELOAD, 0);
            return;
        }
    }
}

int FindInstances(HWND* out, int capacity) {
    InstanceSearch search = {out, capacity, 0};
    EnumWindows(collectInstance, reinterpret_cast<LPARAM>(&search));
    return search.count;
}
