#include "app/win32/frame.h"

#include "app/hand_over.h"
#include "app/win32/commands.h"
#include "app/win32/gui_ui.h"
#include "app/win32/input_filter.h"
#include "app/win32/notes_window.h"
#include "app/win32/status_bar.h"
#include "app/win32/toolbars.h"
#include "app/win32/trace_runner.h"
#include "app/win32/view_panel.h"
#include "engine/block_store.h"
#include "pathdata/pipeline.h"
#include "platform/sjis.h"
#include "platform/win32/window_class.h"
#include "res/resource.h"
#include "res/strings.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

const wchar_t kViewClassName[] = L"TLV_ViewClass";

namespace {

HWND panel(HWND frame, int id) {
    return GetDlgItem(frame, id);
}

RECT windowRectIn(HWND frame, HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int childHeight(const FrameState* fs, int id, uint32_t bit) {
    HWND child = GetDlgItem(fs->frame, id);
    if (child == nullptr || (fs->session->settings.enableMap & bit) == 0) return 0;
    RECT r;
    GetWindowRect(child, &r);
    return r.bottom - r.top;
}

// The area the splitter works in: the client less the bars, inset by g.
RECT splitterArea(const FrameState* fs) {
    RECT area;
    GetClientRect(fs->frame, &area);
    area.top += childHeight(fs, IDC_REBAR, EM_TOOLBAR);
    area.bottom -= childHeight(fs, IDC_STATUSBAR, EM_STATUSBAR);
    const SIZE g = SplitterGap();
    InflateRect(&area, -g.cx, -g.cy);
    return area;
}

int splitterAt(const FrameState* fs, POINT p) {
    const RECT area = splitterArea(fs);
    const RECT reg = windowRectIn(fs->frame, panel(fs->frame, IDC_REGISTER_PANEL));
    const SIZE g = SplitterGap();
    int over = kSplitNone;
    if (p.x >= reg.right && p.x < reg.right + g.cx && p.y >= area.top && p.y < area.bottom)
        over |= kSplitVertical;
    if (p.y >= reg.bottom && p.y < reg.bottom + g.cy && p.x >= area.left &&
        p.x < reg.right + g.cx) {
        over |= kSplitHorizontal;
    }
    return over;
}

POINT clampedPoint(const FrameState* fs, LPARAM lp) {
    const RECT area = splitterArea(fs);
    POINT p = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    p.x = p.x < area.left ? area.left : (p.x > area.right ? area.right : p.x);
    p.y = p.y < area.top ? area.top : (p.y > area.bottom ? area.bottom : p.y);
    return p;
}

void setSplitterCursor(HWND frame, int over) {
    static const int kCursors[] = {0, IDC_SIZE_WE, IDC_SIZE_NS, IDC_SIZE_ALL};
    if (over == kSplitNone) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));
    HCURSOR cursor = LoadCursorW(instance, MAKEINTRESOURCEW(kCursors[over]));
    if (cursor != nullptr) SetCursor(cursor);
}

void OnMouseMove(FrameState* fs, LPARAM lp) {
    HWND frame = fs->frame;
    const POINT p = clampedPoint(fs, lp);
    if (GetCapture() != frame) {
        fs->splitter = splitterAt(fs, p);
        fs->lastPoint = p;
        setSplitterCursor(frame, fs->splitter);
        return;
    }
    setSplitterCursor(frame, fs->splitter);
    // The drag starts from the size shown, which a small window may have
    // cut short of the one wanted.
    const RECT r = windowRectIn(frame, panel(frame, IDC_REGISTER_PANEL));
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    if ((fs->splitter & kSplitVertical) != 0) width += p.x - fs->lastPoint.x;
    if ((fs->splitter & kSplitHorizontal) != 0) height += p.y - fs->lastPoint.y;
    fs->lastPoint = p;
    if ((fs->splitter & kSplitVertical) != 0) fs->registerWanted.cx = width > 0 ? width : 0;
    if ((fs->splitter & kSplitHorizontal) != 0) fs->registerWanted.cy = height > 0 ? height : 0;
    LayoutFrame(fs);
}

void OnLeftButton(const FrameState* fs, bool down) {
    HWND frame = fs->frame;
    if (down) {
        if (fs->splitter != kSplitNone && GetCapture() == nullptr) SetCapture(frame);
    } else if (GetCapture() == frame) {
        ReleaseCapture();
    }
}

// The three panels at their saved sizes, each given the settings it shows.
bool createPanels(HWND frame, FrameState* fs) {
    AppSettings& s = fs->session->settings;
    fs->paneHost = {s.colorMap,         &s.codeStatus,     &s.registerStatus,
                    fs->drawing.blocks, fs->drawing.notes, PrepareContextMenu};
    const struct {
        int id;
        const int32_t* size;
    } panels[] = {{IDC_REGISTER_PANEL, s.registerSize},
                  {IDC_CODE_PANEL, s.codeSize},
                  {IDC_VIEW_PANEL, s.viewSize}};
    for (const auto& panel : panels) {
        if (CreatePanel(frame, panel.id, panel.size, &fs->paneHost) == nullptr) return false;
    }
    return true;
}

bool OnCreate(HWND frame, CREATESTRUCTW* create) {
    auto* fs = new FrameState{};
    fs->frame = frame;
    fs->session = static_cast<Session*>(create->lpCreateParams);
    AddFrameState(fs);
    fs->ui = std::make_unique<GuiUi>(fs, RefreshCommandStates);
    const AppSettings& settings = fs->session->settings;
    fs->registerWanted = {settings.registerSize[0], settings.registerSize[1]};
    // The stores come first: the code list reads the block store.
    fs->drawingReady = drawingCreate(&fs->drawing, &fs->session->machine, &fs->session->tools);
    if (!fs->drawingReady) return false;
    CreateStatusBar(frame, (settings.enableMap & EM_STATUSBAR) != 0);
    CreateToolbars(fs);
    ShowWindow(GetDlgItem(frame, IDC_REBAR),
               (settings.enableMap & EM_TOOLBAR) != 0 ? SW_SHOW : SW_HIDE);
    return createPanels(frame, fs);
}

void OnDestroy(FrameState* fs) {
    // The panels go first: they read the block store while destroyed.
    for (int id : {IDC_REGISTER_PANEL, IDC_CODE_PANEL, IDC_VIEW_PANEL}) {
        if (HWND p = GetDlgItem(fs->frame, id)) DestroyWindow(p);
    }
    if (fs->drawingReady) drawingDestroy(&fs->drawing);
    RemoveFrameState(fs);
    delete fs;
}

void OnClose(FrameState* fs) {
    if (fs->drawing.tracing) ToggleTrace(fs);
    SaveToolbarLayout(fs);
    SaveFramePanels(fs);
    SaveFramePlacement(fs);
    DestroyWindow(fs->frame);
}

void OnActivateApp(FrameState* fs, bool active) {
    UpdateFrameTitle(fs, active);
    if (!active) return;
    if (IsIconic(fs->frame)) ShowWindow(fs->frame, SW_RESTORE);
    CheckChangedFiles(fs);
}

static_assert(COPYDATA_OPEN_FILE == kHandOverTag && kCopyDataSize == kHandOverSize);

void OnCopyData(FrameState* fs, const COPYDATASTRUCT* data) {
    if (data == nullptr) return;
    char name[kHandOverSize];
    if (!DecodeHandOver(data->dwData, data->lpData, data->cbData, name)) return;
    const char* names[] = {name};
    OpenFiles(fs, false, names, 1);
}

void OnDropFiles(FrameState* fs, HDROP drop) {
    if (fs->drawing.tracing) {
        DragFinish(drop);
        return;
    }
    SetForegroundWindow(fs->frame);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> names;
    for (UINT i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH + 1] = {};
        DragQueryFileW(drop, i, name, MAX_PATH + 1);
        std::string narrow = tlvNarrow(name);
        if (!narrow.empty() && narrow.size() < kPlatPathMax) names.push_back(narrow);
    }
    DragFinish(drop);
    std::vector<const char*> list;
    for (const std::string& n : names) list.push_back(n.c_str());
    const bool add =
        (GetKeyState(VK_SHIFT) & 0x8000) != 0 || (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (!list.empty()) OpenFiles(fs, add, list.data(), static_cast<int>(list.size()));
    RefreshCommandStates(fs);
}

// Only the splitter gaps show the frame's own client area; the children
// paint themselves. The gaps are painted like any dialog face, or they
// would keep whatever was on the screen before.
bool OnEraseBackground(HWND frame, HDC dc) {
    RECT client;
    GetClientRect(frame, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    return true;
}

void OnPaint(HWND frame) {
    PAINTSTRUCT paint;
    BeginPaint(frame, &paint);  // erases the gaps when asked to
    EndPaint(frame, &paint);
}

void OnSize(FrameState* fs) {
    LayoutFrame(fs);
    // The status bar's size grip moves with its corner; repaint the whole
    // bar so that no copy of the grip stays behind where it was.
    if (HWND status = GetDlgItem(fs->frame, IDC_STATUSBAR)) InvalidateRect(status, nullptr, TRUE);
}

void OnGetMinMaxInfo(MINMAXINFO* info) {
    const SIZE minimum = FrameMinimumSize();
    info->ptMinTrackSize = {minimum.cx, minimum.cy};
}

// The messages of a frame that has its state; before WM_CREATE gave it one
// and after WM_DESTROY took it, the frame gets the default handling.
LRESULT handleFrameMessage(FrameState* fs, UINT msg, WPARAM wp, LPARAM lp) {
    HWND frame = fs->frame;
    switch (msg) {
        case WM_CLOSE: OnClose(fs); return 0;
        case WM_SIZE: OnSize(fs); return 0;
        case WM_ERASEBKGND: return OnEraseBackground(frame, reinterpret_cast<HDC>(wp)) ? 1 : 0;
        case WM_PAINT: OnPaint(frame); return 0;
        case WM_ACTIVATEAPP: OnActivateApp(fs, wp != FALSE); break;
        case WM_COPYDATA: OnCopyData(fs, reinterpret_cast<const COPYDATASTRUCT*>(lp)); return 0;
        case WM_KEYDOWN: return HandleFrameKey(frame, wp);
        case WM_COMMAND: DispatchCommand(fs, LOWORD(wp)); return 0;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnToolbarNotify(fs, reinterpret_cast<const NMHDR*>(lp), &result)) return result;
            break;
        }
        case WM_DRAWITEM:
            if (DrawStatusPart(reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return TRUE;
            break;
        case WM_INITMENU:
            if (reinterpret_cast<HMENU>(wp) == GetMenu(frame))
                UpdateCommandStates(fs, GetMenu(frame), true);
            return 0;
        case WM_MOUSEMOVE: OnMouseMove(fs, lp); return 0;
        case WM_LBUTTONDOWN: OnLeftButton(fs, true); return 0;
        case WM_LBUTTONUP: OnLeftButton(fs, false); return 0;
        case WM_DROPFILES: OnDropFiles(fs, reinterpret_cast<HDROP>(wp)); return 0;
        default: break;
    }
    return DefWindowProcW(frame, msg, wp, lp);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: return OnCreate(frame, reinterpret_cast<CREATESTRUCTW*>(lp)) ? 0 : -1;
        case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp)); return 0;
        default: break;
    }
    FrameState* fs = FrameStateOf(frame);
    if (msg == WM_DESTROY) {
        if (fs != nullptr) OnDestroy(fs);
        PostQuitMessage(0);
        return 0;
    }
    if (fs != nullptr) return handleFrameMessage(fs, msg, wp, lp);
    return DefWindowProcW(frame, msg, wp, lp);
}

}  // namespace

bool RegisterClasses(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, 0x4FF};
    InitCommonControlsEx(&icc);
    RegisterWorkingClass(instance);
    RegisterViewPanes(instance);
    SetToolbarCommands(ToolbarCommandsFromTable());
    WNDCLASSEXW wc = tlvWindowClass(instance, kFrameClassName, FrameProc, 0, LTGRAY_BRUSH);
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TALIVER));
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    return tlvRegisterClass(wc);
}

HWND CreateMainWindow(HINSTANCE instance, Session* session) {
    const AppSettings& s = session->settings;
    std::wstring caption = tlvWiden(tlvString(IDS_PRODUCT));
    auto coordinate = [](int32_t v) { return v == kDefaultPlacement ? CW_USEDEFAULT : v; };
    return CreateWindowExW(WS_EX_ACCEPTFILES, kFrameClassName, caption.c_str(),
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, coordinate(s.framePos[0]),
                           coordinate(s.framePos[1]), coordinate(s.frameSize[0]),
                           coordinate(s.frameSize[1]), nullptr, nullptr, instance, session);
}
