#include "view/win32/pane_windows.h"

#include "platform/win32/window_class.h"
#include "res/resource.h"

#include <cstring>

const wchar_t kPaneClassName[] = L"TLV_ViewClass";

namespace {

// The pause after the last layout change before stale pictures are painted
// anew; the active pane goes first.
constexpr UINT kSettleActiveMs = 120, kSettleOtherMs = 200;

const wchar_t kSetProperty[] = L"TlvPaneSet";

PaneSet* setOfPane(HWND window) { return PaneSetOf(GetParent(window)); }

// The slot is kept in the window's user data, plus one so that zero means
// "not a pane yet".
int slotOf(HWND window) { return static_cast<int>(GetWindowLongPtrW(window, GWLP_USERDATA)) - 1; }

int activeSlot(const PaneSet* set) {
    const int active = *set->bind.active;
    return active >= 0 && active < kPaneCount ? active : 0;
}

bool singlePane(const PaneSet* set) { return (*set->bind.flags & kPaneFlagSinglePane) != 0; }

void setWindowTitle(HWND window, const char* title) {
    wchar_t text[32] = {};
    // Titles are the plain ASCII names of the kinds.
    for (int i = 0; i < 31 && title[i] != '\0'; ++i) text[i] = static_cast<unsigned char>(title[i]);
    SetWindowTextW(window, text);
}

void drawFocus(PaneSet* set, const ViewRect& band) {
    if (band.right <= band.left || band.bottom <= band.top) return;
    HWND window = set->windows[activeSlot(set)];
    if (window == nullptr) return;
    HDC dc = GetDC(window);
    const RECT r = {band.left, band.top, band.right, band.bottom};
    DrawFocusRect(dc, &r);
    ReleaseDC(window, dc);
}

bool stopOnEscape(void*) {
    // Down now and pressed since the last poll: an old press that was
    // already handled elsewhere does not cut a paint short.
    const SHORT state = GetAsyncKeyState(VK_ESCAPE);
    return (state & 0x8000) != 0 && (state & 0x0001) != 0;
}

void repaintFrame(HWND window) {
    if (window != nullptr) SendMessageW(window, WM_NCPAINT, 1, 0);
}

// Window procedure handlers.

void OnNcCalcSize(WPARAM wp, LPARAM lp) {
    RECT* r = wp != FALSE ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<RECT*>(lp);
    InflateRect(r, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void OnNcPaint(HWND window) {
    PaneSet* set = setOfPane(window);
    if (set == nullptr) return;
    HDC dc = GetWindowDC(window);
    RECT r;
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
    const int tx = GetSystemMetrics(SM_CXFRAME) - 2 * GetSystemMetrics(SM_CXBORDER);
    const int ty = GetSystemMetrics(SM_CYFRAME) - 2 * GetSystemMetrics(SM_CYBORDER);
    const bool active = slotOf(window) == activeSlot(set);
    DrawBevelFrame(dc, &r, tx, ty, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    ReleaseDC(window, dc);
}

LRESULT OnNcHitTest(HWND window, LPARAM lp) {
    const POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    RECT outer;
    GetWindowRect(window, &outer);
    if (!PtInRect(&outer, p)) return HTNOWHERE;
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    // The border is decoration: it neither sizes nor moves the pane.
    return PtInRect(&client, p) ? HTCLIENT : HTERROR;
}

void OnMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = 3 * GetSystemMetrics(SM_CXFRAME);
    info->ptMinTrackSize.y = 3 * GetSystemMetrics(SM_CYFRAME);
}

bool OnEraseBackground(HWND window, HDC dc) {
    PaneSet* set = setOfPane(window);
    if (set == nullptr) return false;
    // A pane with a picture, even one of another size, covers itself with
    // it: wiping it first would show an empty pane while another pane paints.
    const int slot = slotOf(window);
    if (slot >= 0 && set->view.panes[slot].cachedPicture != nullptr) return true;
    RECT r;
    GetClientRect(window, &r);
    HBRUSH brush = CreateSolidBrush(set->bind.colorMap[4]);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    return true;
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaneSet* set = setOfPane(window);
    if (set != nullptr) PaintPane(set, dc, slotOf(window));
    EndPaint(window, &ps);
}

void OnSize(HWND window, int width, int height) {
    PaneSet* set = setOfPane(window);
    const int slot = slotOf(window);
    if (set == nullptr || slot < 0) return;
    // Fit and zoom work on the client rectangle before the next paint.
    set->view.panes[slot].clientRect = {0, 0, width, height};
}

// The layout has been still long enough: a stale picture is painted anew.
// Once the active pane has its picture, the others follow at once rather
// than after their own, longer wait.
void OnSettled(HWND window) {
    KillTimer(window, kPaneSettleTimer);
    PaneSet* set = setOfPane(window);
    const int slot = slotOf(window);
    if (set == nullptr || slot < 0) return;
    if (set->stale[slot]) InvalidatePanes(set, slot, true);
    if (slot != activeSlot(set)) return;
    for (int i = 0; i < kPaneCount; ++i) {
        if (i == slot || set->windows[i] == nullptr || !set->stale[i]) continue;
        KillTimer(set->windows[i], kPaneSettleTimer);
        InvalidatePanes(set, i, true);
    }
}

void OnDestroy(HWND window) {
    PaneSet* set = setOfPane(window);
    const int slot = slotOf(window);
    if (set == nullptr || slot < 0) return;
    ViewPane& pane = set->view.panes[slot];
    if (pane.cachedPicture != nullptr) DeleteObject(static_cast<HBITMAP>(pane.cachedPicture));
    pane.cachedPicture = nullptr;
    pane.window = nullptr;
    set->windows[slot] = nullptr;
}

void OnButton(HWND window, UINT msg) {
    PaneSet* set = setOfPane(window);
    const int slot = slotOf(window);
    if (set == nullptr || slot < 0) return;
    ActivatePane(set, slot);
    if (msg == WM_LBUTTONDBLCLK) PostMessageW(set->panel, WM_COMMAND, CMD_TOGGLE_SINGLE_PANE, 0);
    if (msg == WM_MBUTTONDOWN) PostMessageW(set->panel, WM_COMMAND, CMD_FIT, 0);
    if (msg != WM_RBUTTONDOWN) return;
    HMENU menu = LoadMenuW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)),
                           MAKEINTRESOURCEW(IDR_PANEMENU));
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (set->bind.prepareMenu != nullptr) set->bind.prepareMenu(GetParent(set->panel), popup);
    POINT at;
    GetCursorPos(&at);
    // The panel hands the chosen command on to the main window.
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, set->panel, nullptr);
    DestroyMenu(menu);
}

LRESULT CALLBACK PaneProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCALCSIZE: OnNcCalcSize(wp, lp); return 0;
    case WM_NCPAINT: OnNcPaint(window); return 0;
    case WM_NCHITTEST: return OnNcHitTest(window, lp);
    case WM_GETMINMAXINFO: OnMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp)); return 0;
    case WM_ERASEBKGND:
    case WM_ICONERASEBKGND:
        if (OnEraseBackground(window, reinterpret_cast<HDC>(wp))) return 1;
        break;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_SIZE: OnSize(window, LOWORD(lp), HIWORD(lp)); return 0;
    case WM_TIMER:
        if (wp == kPaneSettleTimer) OnSettled(window);
        return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: OnButton(window, msg); return 0;
    default: break;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

void storeMatrix(PaneSet* set, const PaneLayout& layout) {
    memcpy(set->bind.matrix, layout.matrix, sizeof layout.matrix);
    *set->bind.pattern = layout.pattern;
}

PaneLayout currentLayout(const PaneSet* set) {
    PaneLayout layout = {};
    memcpy(layout.matrix, set->bind.matrix, sizeof layout.matrix);
    layout.pattern = *set->bind.pattern == 1 ? 1 : 0;
    return layout;
}

}  // namespace

bool RegisterPaneClass(HINSTANCE instance) {
    return tlvRegisterClass(tlvWindowClass(instance, kPaneClassName, PaneProc,
                                           CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, GRAY_BRUSH));
}

PaneSet* PaneSetOf(HWND panel) {
    return panel != nullptr ? static_cast<PaneSet*>(GetPropW(panel, kSetProperty)) : nullptr;
}

PaneSet* CreatePaneWindows(HWND panel, const PaneBindings& bindings) {
    auto* set = new PaneSet{};
    set->panel = panel;
    set->bind = bindings;
    set->stopRequested = stopOnEscape;
    set->view.range = bindings.drawing->range;
    set->view.zoomValue = *bindings.zoomValue;
    SetPropW(panel, kSetProperty, set);
    RECT client;
    GetClientRect(panel, &client);
    ViewRect rects[kPaneCount];
    const PaneLayout layout = currentLayout(set);
    ComputePaneRects(layout.pattern, {client.left, client.top, client.right, client.bottom}, rects);
    for (int slot = 0; slot < kPaneCount; ++slot) {
        const int kind = layout.matrix[layout.pattern][slot];
        InitPane(&set->view.panes[slot], kind, bindings.rotate[kind]);
        const ViewRect& r = rects[slot];
        set->view.panes[slot].clientRect = {0, 0, r.right - r.left, r.bottom - r.top};
    }
    BuildPens(&set->pens, kPensColour, bindings.colorMap, bindings.widthMap);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(panel, GWLP_HINSTANCE));
    for (int slot = 0; slot < kPaneCount; ++slot) {
        const ViewRect& r = rects[slot];
        HWND window = CreateWindowExW(0, kPaneClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, panel,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(slot + 1)), instance, nullptr);
        // The remaining panes are left out; the panel shows its background.
        if (window == nullptr) break;
        SetWindowLongPtrW(window, GWLP_USERDATA, slot + 1);
        setWindowTitle(window, set->view.panes[slot].title);
        set->windows[slot] = window;
        set->view.panes[slot].window = window;
    }
    return set;
}

void DestroyPaneWindows(HWND panel) {
    PaneSet* set = PaneSetOf(panel);
    if (set == nullptr) return;
    for (int slot = 0; slot < kPaneCount; ++slot) {
        if (set->windows[slot] != nullptr) DestroyWindow(set->windows[slot]);
    }
    BuildPens(&set->pens, -1, nullptr, nullptr);
    RemovePropW(panel, kSetProperty);
    delete set;
}

void LayoutPanes(PaneSet* set) {
    for (int slot = 0; slot < kPaneCount; ++slot) set->stale[slot] = set->view.panes[slot].cachedPicture != nullptr;
    RECT client;
    GetClientRect(set->panel, &client);
    const ViewRect whole = {client.left, client.top, client.right, client.bottom};
    ViewRect rects[kPaneCount];
    ComputePaneRects(*set->bind.pattern == 1 ? 1 : 0, whole, rects);
    const bool single = singlePane(set);
    const int active = activeSlot(set);
    HDWP batch = BeginDeferWindowPos(kPaneCount);
    for (int slot = 0; slot < kPaneCount; ++slot) {
        HWND window = set->windows[slot];
        if (window == nullptr || batch == nullptr) continue;
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (single && slot != active) {
            batch = DeferWindowPos(batch, window, nullptr, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE | SWP_HIDEWINDOW);
            continue;
        }
        const ViewRect& r = single ? whole : rects[slot];
        batch = DeferWindowPos(batch, window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               flags | SWP_SHOWWINDOW);
    }
    if (batch != nullptr) EndDeferWindowPos(batch);
    // A pane that only moved keeps its pixels: ask for the new picture.
    for (int slot = 0; slot < kPaneCount; ++slot) {
        HWND window = set->windows[slot];
        if (window == nullptr || !IsWindowVisible(window)) continue;
        InvalidateRect(window, nullptr, FALSE);
        SetTimer(window, kPaneSettleTimer, slot == active ? kSettleActiveMs : kSettleOtherMs, nullptr);
    }
}

int PaneFromWindow(HWND window) {
    if (window == nullptr) return -1;
    // A pane of another instance under the pointer carries that process's
    // pointer in its property: never follow it here.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return -1;
    wchar_t name[32] = {};
    if (GetClassNameW(window, name, 32) == 0 || wcscmp(name, kPaneClassName) != 0) return -1;
    PaneSet* set = setOfPane(window);
    const int slot = slotOf(window);
    return set != nullptr && slot >= 0 && slot < kPaneCount && set->windows[slot] == window ? slot : -1;
}

void ActivatePane(PaneSet* set, int slot) {
    if (slot < 0 || slot >= kPaneCount || slot == *set->bind.active) return;
    SetBand(set, nullptr);
    const int old = *set->bind.active;
    *set->bind.active = slot;
    if (old >= 0 && old < kPaneCount) repaintFrame(set->windows[old]);
    repaintFrame(set->windows[slot]);
}

void InvalidatePanes(PaneSet* set, int slot, bool repaint) {
    // The active pane first: it is the one the user looks at.
    const int first = activeSlot(set);
    for (int k = 0; k < kPaneCount; ++k) {
        const int i = (first + k) % kPaneCount;
        if (slot != -1 && slot != i) continue;
        ViewPane& pane = set->view.panes[i];
        if (pane.cachedPicture != nullptr) DeleteObject(static_cast<HBITMAP>(pane.cachedPicture));
        pane.cachedPicture = nullptr;
        set->stale[i] = false;
        if (repaint && set->windows[i] != nullptr) {
            InvalidateRect(set->windows[i], nullptr, FALSE);
            UpdateWindow(set->windows[i]);
        }
    }
}

void SetSinglePane(PaneSet* set, int slot) {
    SetBand(set, nullptr);
    if (slot < 0 || slot >= kPaneCount) {
        *set->bind.flags &= ~kPaneFlagSinglePane;
        InvalidatePanes(set, -1, false);
    } else {
        ActivatePane(set, slot);
        *set->bind.flags |= kPaneFlagSinglePane;
        InvalidatePanes(set, slot, false);
    }
    PostMessageW(set->panel, WM_SIZE, 0, 0);
}

void SetBand(PaneSet* set, const ViewRect* band) {
    ViewRect& current = set->view.band;
    // The focus rectangle inverts pixels: drawing it again erases it.
    drawFocus(set, current);
    current = band != nullptr ? *band : ViewRect{0, 0, 0, 0};
    drawFocus(set, current);
}

void FitPanes(PaneSet* set, int slot) {
    if (slot < -1 || slot >= kPaneCount) return;
    SetBand(set, nullptr);
    set->view.range = set->bind.drawing->range;
    FitView(&set->view, slot);
    InvalidatePanes(set, slot, true);
}

void ZoomActivePane(PaneSet* set, bool zoomIn) {
    POINT at;
    GetCursorPos(&at);
    HWND under = WindowFromPoint(at);
    const int hit = PaneFromWindow(under);
    int cursor[2] = {0, 0};
    const bool overPane = hit >= 0 && setOfPane(under) == set;
    if (overPane) ActivatePane(set, hit);
    const int slot = activeSlot(set);
    const ViewRect& c = set->view.panes[slot].clientRect;
    int x = (c.left + c.right) / 2, y = (c.top + c.bottom) / 2;
    if (overPane) {
        ScreenToClient(set->windows[slot], &at);
        x = cursor[0] = at.x;
        y = cursor[1] = at.y;
    }
    set->view.zoomValue = *set->bind.zoomValue;
    set->view.zoomRecentre = (*set->bind.flags & kPaneFlagZoomRecentre) != 0;
    // Whatever band there is gets used up by the zoom: erase it first.
    if (set->view.band.right > set->view.band.left) drawFocus(set, set->view.band);
    const ZoomResult result = ZoomView(&set->view, slot, zoomIn, x, y, overPane ? cursor : nullptr);
    if (result.moveCursor) {
        POINT centre = {result.cursorX, result.cursorY};
        ClientToScreen(set->windows[slot], &centre);
        SetCursorPos(centre.x, centre.y);
    }
    if (result.changed) InvalidatePanes(set, slot, true);
}

void PanActivePane(PaneSet* set, int direction) {
    const int slot = activeSlot(set);
    SetBand(set, nullptr);
    if (PanView(&set->view, slot, direction, 0, 0)) InvalidatePanes(set, slot, true);
}

void ShowKindAlone(PaneSet* set, int kind) {
    const int slot = SlotOfKind(currentLayout(set), kind);
    if (slot >= 0) SetSinglePane(set, slot);
}

void SwitchPanePattern(PaneSet* set, int pattern) {
    PaneLayout layout = currentLayout(set);
    if (SwitchPattern(&set->view, &layout, pattern)) {
        storeMatrix(set, layout);
        for (int slot = 0; slot < kPaneCount; ++slot) {
            if (set->windows[slot] != nullptr) setWindowTitle(set->windows[slot], set->view.panes[slot].title);
        }
    }
    SetSinglePane(set, -1);
}

void CollectPaneAngles(const PaneSet* set, float angles[kPaneCount][3]) {
    for (int slot = 0; slot < kPaneCount; ++slot) {
        const ViewPane& pane = set->view.panes[slot];
        angles[slot][0] = pane.angleX;
        angles[slot][1] = pane.angleY;
        angles[slot][2] = pane.angleZ;
    }
}
