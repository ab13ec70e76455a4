#include "app/win32/input_filter.h"

#include "app/input.h"
#include "app/win32/commands.h"
#include "app/win32/frame_state.h"
#include "panes/panes.h"
#include "res/resource.h"
#include "view/win32/pane_windows.h"

#include <windowsx.h>

namespace {

static_assert(kKeyTab == VK_TAB && kKeyEnter == VK_RETURN && kKeyEscape == VK_ESCAPE &&
              kKeySpace == VK_SPACE && kKeyPageUp == VK_PRIOR && kKeyPageDown == VK_NEXT &&
              kKeyHome == VK_HOME && kKeyLeft == VK_LEFT && kKeyUp == VK_UP &&
              kKeyRight == VK_RIGHT && kKeyDown == VK_DOWN && kKeyF1 == VK_F1);

// What the process keeps besides the portable drag state.
struct InputState {
    DragState drag;
    HWND dragWindow;      // got the button-down: holds the capture and the timer
    HACCEL accelerators;  // built from the key table on first use
    int legacyWheel;      // 0 not looked up, -1 none, else the driver's message
};
InputState gInput;

PaneSet* panesOf(HWND frame) {
    return frame != nullptr ? PaneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL)) : nullptr;
}
// The pane set a pane window belongs to.
PaneSet* setOfPane(HWND pane) {
    return pane != nullptr ? PaneSetOf(GetParent(pane)) : nullptr;
}

int activeSlot(const PaneSet* set) {
    const int active = *set->bind.active;
    return active >= 0 && active < kPaneCount ? active : 0;
}

bool held(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

uint32_t keyModifiers() {
    return (held(VK_SHIFT) ? kInputShift : 0) | (held(VK_CONTROL) ? kInputCtrl : 0);
}

// The MK_* bits of a mouse message.
uint32_t mouseKeys(WPARAM wp) {
    return ((wp & MK_SHIFT) != 0 ? kInputShift : 0) | ((wp & MK_CONTROL) != 0 ? kInputCtrl : 0) |
           ((wp & MK_LBUTTON) != 0 ? kInputLeft : 0) | ((wp & MK_MBUTTON) != 0 ? kInputMiddle : 0) |
           ((wp & MK_RBUTTON) != 0 ? kInputRight : 0);
}

void rotatePane(PaneSet* set, int slot, float x, float y, float z) {
    RotateView(&set->view, slot, x, y, z);
    InvalidatePanes(set, slot, true);
}

void resetPane(PaneSet* set, int slot) {
    const int kind = set->bind.matrix[*set->bind.pattern == 1 ? 1 : 0][slot];
    SetBand(set, nullptr);
    set->view.range = set->bind.drawing->range;
    ResetRotation(&set->view, slot, kind);
    InvalidatePanes(set, slot, true);
}

// The next or previous pane becomes active; shown alone when only one is
// shown, since an active pane nobody can see would take the view keys.
void cyclePane(PaneSet* set, int step) {
    const int slot = (activeSlot(set) + step + kPaneCount) % kPaneCount;
    if ((*set->bind.flags & kPaneFlagSinglePane) != 0) {
        SetSinglePane(set, slot);
    } else {
        ActivatePane(set, slot);
    }
}

HCURSOR dragCursor(int id) {
    static HCURSOR loaded[128];
    if (id == kCursorArrow || id <= 0 || id >= 128) return LoadCursorW(nullptr, IDC_ARROW);
    if (loaded[id] == nullptr)
        loaded[id] = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    return loaded[id] != nullptr ? loaded[id] : LoadCursorW(nullptr, IDC_ARROW);
}

// Carries out what the drag state machine answered for a message that
// window received.
void apply(const InputActions& a, HWND window) {
    if (a.capture) {
        gInput.dragWindow = window;
        SetCapture(window);
    }
    HWND pane = gInput.dragWindow;
    if (a.release) ReleaseCapture();
    if (a.startTimer) SetTimer(pane, kDragTimerId, kDragTimerMs, nullptr);
    if (a.stopTimer) KillTimer(pane, kDragTimerId);
    if (PaneSet* set = setOfPane(pane)) {
        if (a.activate) ActivatePane(set, a.pane);
        if (a.bandChanged) SetBand(set, a.band.right > a.band.left ? &a.band : nullptr);
        if ((a.panDx != 0 || a.panDy != 0) && PanView(&set->view, a.pane, -1, a.panDx, a.panDy)) {
            InvalidatePanes(set, a.pane, true);
        }
        if (a.turnX != 0 || a.turnY != 0) rotatePane(set, a.pane, a.turnX, a.turnY, 0);
        if (a.fit) FitPanes(set, a.pane);
    }
    if (a.command != 0 && pane != nullptr)
        PostMessageW(GetAncestor(pane, GA_ROOT), WM_COMMAND, a.command, 0);
    if (a.cursor != kCursorUnchanged) SetCursor(dragCursor(a.cursor));
    if (gInput.drag.pane < 0) gInput.dragWindow = nullptr;
}

InputEvent mouseEvent(InputEventKind kind, const MSG& msg, int pane) {
    InputEvent e = {
        kind, 0, mouseKeys(msg.wParam), pane, GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam),
        0};
    e.button = msg.message == WM_MBUTTONDOWN || msg.message == WM_MBUTTONUP ? 1 : 0;
    return e;
}

bool onButtonDown(const MSG& msg) {
    const InputActions a =
        inputHandle(&gInput.drag, mouseEvent(kEventButtonDown, msg, PaneFromWindow(msg.hwnd)));
    apply(a, msg.hwnd);
    return a.consumed;
}

// Moves, button-ups and right clicks during a drag, with the pointer in the
// dragged pane's coordinates whichever window the message went to.
bool onDragMessage(InputEventKind kind, const MSG& msg) {
    if (gInput.drag.pane < 0) return false;
    InputEvent e = mouseEvent(kind, msg, gInput.drag.pane);
    POINT p = {e.x, e.y};
    MapWindowPoints(msg.hwnd, gInput.dragWindow, &p, 1);
    e.x = p.x;
    e.y = p.y;
    const InputActions a = inputHandle(&gInput.drag, e);
    apply(a, msg.hwnd);
    return a.consumed;
}

bool onTimer(const MSG& msg) {
    if (msg.wParam != kDragTimerId || gInput.drag.pane < 0 || msg.hwnd != gInput.dragWindow)
        return false;
    const InputActions a =
        inputHandle(&gInput.drag, InputEvent{kEventTimer, 0, 0, gInput.drag.pane, 0, 0, 0});
    apply(a, msg.hwnd);
    return a.consumed;
}

// The wheel counts where the pointer was when it turned; the command goes
// to the main window of the pane under it.
bool onWheel(const MSG& msg) {
    const POINT at = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    HWND under = WindowFromPoint(at);
    InputEvent e = {
        kEventWheel, 0, mouseKeys(GET_KEYSTATE_WPARAM(msg.wParam)), PaneFromWindow(under),
        0,           0, GET_WHEEL_DELTA_WPARAM(msg.wParam)};
    const InputActions a = inputHandle(&gInput.drag, e);
    if (a.command != 0) PostMessageW(GetAncestor(under, GA_ROOT), WM_COMMAND, a.command, 0);
    return a.consumed;
}

// The old wheel driver of Windows 95, 98 and Me sent a message of its own.
// Every system this program runs on is of the NT family, Wine included, so
// the look-up finds no driver and nothing is ever converted; the check is
// kept so that the rule holds wherever the driver could exist.
bool onLegacyWheel(const MSG& msg) {
    if (gInput.legacyWheel == 0) {
        OSVERSIONINFOW version = {};
        version.dwOSVersionInfoSize = sizeof version;
        const bool nt = !GetVersionExW(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        const HWND driver = nt ? nullptr : FindWindowW(L"MouseZ", L"Magellan MSWHEEL");
        const UINT id = driver != nullptr ? RegisterWindowMessageW(L"MSWHEEL_ROLLMSG") : 0;
        gInput.legacyWheel = id != 0 ? static_cast<int>(id) : -1;
        return false;
    }
    if (gInput.legacyWheel < 0 || msg.message != static_cast<UINT>(gInput.legacyWheel))
        return false;
    const WORD keys =
        static_cast<WORD>((held(VK_CONTROL) ? MK_CONTROL : 0) | (held(VK_SHIFT) ? MK_SHIFT : 0));
    PostMessageW(msg.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(msg.wParam)),
                 msg.lParam);
    return true;
}

// The Ctrl letters and function keys of the key table work wherever the
// focus is in the main window; commands missing from the command table
// are left out.
HACCEL accelerators() {
    if (gInput.accelerators != nullptr) return gInput.accelerators;
    InputAccelerator rows[32];
    const int n = inputAccelerators(rows, 32);
    ACCEL table[32];
    int count = 0;
    for (int i = 0; i < n && i < 32; ++i) {
        if (FindCommand(rows[i].command) == nullptr) continue;
        const BYTE ctrl = (rows[i].modifiers & kInputCtrl) != 0 ? FCONTROL : 0;
        const BYTE shift = (rows[i].modifiers & kInputShift) != 0 ? FSHIFT : 0;
        table[count++] = {static_cast<BYTE>(FVIRTKEY | ctrl | shift),
                          static_cast<WORD>(rows[i].key), static_cast<WORD>(rows[i].command)};
    }
    gInput.accelerators = CreateAcceleratorTableW(table, count);
    return gInput.accelerators;
}

bool onAccelerator(HWND frame, MSG* msg) {
    if (frame == nullptr || !IsWindow(frame) || (msg->hwnd != frame && !IsChild(frame, msg->hwnd)))
        return false;
    HACCEL table = accelerators();
    return table != nullptr && TranslateAcceleratorW(frame, table, msg) != 0;
}

}  // namespace

int HandleFrameKey(HWND frame, WPARAM key) {
    const KeyAction a = inputKeyAction(static_cast<int>(key), keyModifiers());
    PaneSet* set = panesOf(frame);
    switch (a.kind) {
        case kKeyPost: PostMessageW(frame, WM_COMMAND, a.command, 0); break;
        case kKeyNextPane:
        case kKeyPreviousPane:
            if (set != nullptr) cyclePane(set, a.kind == kKeyNextPane ? 1 : -1);
            break;
        case kKeyRotate:
            if (set != nullptr)
                rotatePane(set, activeSlot(set), a.rotate[0], a.rotate[1], a.rotate[2]);
            break;
        case kKeyResetRotation:
            if (set != nullptr) resetPane(set, activeSlot(set));
            break;
        case kKeyToggleMark: SetBreakMark(frame, 2, GetSelectedCodeLine(frame)); break;
        default: break;
    }
    return 0;
}

bool FilterInputMessage(HWND frame, MSG* msg) {
    // A pane destroyed during a drag takes its capture and timer along.
    if (gInput.drag.pane >= 0 && !IsWindow(gInput.dragWindow)) {
        gInput.drag = DragState{};
        gInput.dragWindow = nullptr;
    }
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return onAccelerator(frame, msg);
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN: return onButtonDown(*msg);
        case WM_LBUTTONUP:
        case WM_MBUTTONUP: return onDragMessage(kEventButtonUp, *msg);
        case WM_RBUTTONDOWN: return onDragMessage(kEventRightDown, *msg);
        case WM_MOUSEMOVE: return onDragMessage(kEventMove, *msg);
        case WM_TIMER: return onTimer(*msg);
        case WM_MOUSEWHEEL: return onWheel(*msg);
        default: return onLegacyWheel(*msg);
    }
}
