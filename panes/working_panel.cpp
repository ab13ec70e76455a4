// The TLV_Working panel class: a plain container with a sunken edge whose
// content depends on its id.
#include "panes/panel_state.h"
#include "platform/win32/window_class.h"

#include "res/resource.h"

namespace {

ViewPanelHooks gViewHooks = {};
const wchar_t kWorkingClass[] = L"TLV_Working";
constexpr int kListInset = 4;  // the lists keep this margin inside their panel

void OnPanelCreate(HWND panel, PaneHost* host) {
    auto* state = new PanelState{};
    state->host = host;
    state->id = GetDlgCtrlID(panel);
    SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    if (state->id == IDC_REGISTER_PANEL) state->list = CreateRegisterList(panel);
    if (state->id == IDC_CODE_PANEL) state->list = CreateCodeList(panel);
    if (state->id == IDC_VIEW_PANEL && gViewHooks.create != nullptr) gViewHooks.create(panel);
}

void OnPanelDestroy(HWND panel) {
    PanelState* state = PanelStateOf(panel);
    if (state == nullptr) return;
    if (state->id == IDC_VIEW_PANEL && gViewHooks.destroy != nullptr) gViewHooks.destroy(panel);
    if (state->font != nullptr) DeleteObject(state->font);
    SetWindowLongPtrW(panel, GWLP_USERDATA, 0);
    delete state;
}

void OnPanelSize(HWND panel) {
    PanelState* state = PanelStateOf(panel);
    if (state == nullptr) return;
    if (state->id == IDC_VIEW_PANEL) {
        if (gViewHooks.layout != nullptr) gViewHooks.layout(panel);
        return;
    }
    if (state->list == nullptr) return;
    RECT r;
    GetClientRect(panel, &r);
    MoveWindow(state->list, r.left + kListInset, r.top + kListInset,
               r.right - r.left - 2 * kListInset, r.bottom - r.top - 2 * kListInset, TRUE);
}

// Until the views fill it, the view panel shows the view background.
bool OnPanelEraseBackground(HWND panel, HDC dc) {
    PanelState* state = PanelStateOf(panel);
    if (state == nullptr || state->id != IDC_VIEW_PANEL || gViewHooks.create != nullptr) return false;
    RECT r;
    GetClientRect(panel, &r);
    HBRUSH brush = CreateSolidBrush(state->host->colorMap[4]);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    return true;
}

LRESULT OnPanelNotify(HWND panel, NMHDR* header) {
    PanelState* state = PanelStateOf(panel);
    if (state == nullptr) return 0;
    if (state->id == IDC_CODE_PANEL) return CodeListNotify(panel, state, header);
    if (state->id == IDC_REGISTER_PANEL) return RegisterListNotify(panel, state, header);
    return 0;
}

LRESULT CALLBACK WorkingProc(HWND panel, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        OnPanelCreate(panel, static_cast<PaneHost*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        return 0;
    case WM_DESTROY: OnPanelDestroy(panel); return 0;
    case WM_SIZE: OnPanelSize(panel); return 0;
    case WM_ERASEBKGND:
        if (OnPanelEraseBackground(panel, reinterpret_cast<HDC>(wp))) return 1;
        break;
    case WM_NOTIFY: return OnPanelNotify(panel, reinterpret_cast<NMHDR*>(lp));
    // Menu and control commands belong to the main window's dispatcher.
    case WM_COMMAND: PostMessageW(GetParent(panel), msg, wp, lp); return 0;
    default: break;
    }
    return DefWindowProcW(panel, msg, wp, lp);
}

}  // namespace

PanelState* PanelStateOf(HWND panel) {
    return reinterpret_cast<PanelState*>(GetWindowLongPtrW(panel, GWLP_USERDATA));
}

PanelState* PanelOf(HWND frame, int id) {
    HWND panel = GetDlgItem(frame, id);
    return panel != nullptr ? PanelStateOf(panel) : nullptr;
}

void SetViewPanelHooks(const ViewPanelHooks& hooks) { gViewHooks = hooks; }

bool RegisterWorkingClass(HINSTANCE instance) {
    return tlvRegisterClass(tlvWindowClass(instance, kWorkingClass, WorkingProc,
                                           CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, LTGRAY_BRUSH));
}

HWND CreatePanel(HWND parent, int id, const int32_t size[2], PaneHost* host) {
    return CreateWindowExW(WS_EX_CLIENTEDGE, kWorkingClass, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, size[0], size[1], parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), host);
}

void SavePanelSizes(HWND frame, int32_t registerSize[2], int32_t codeSize[2], int32_t viewSize[2]) {
    const struct {
        int id;
        int32_t* size;
    } panels[] = {{IDC_REGISTER_PANEL, registerSize}, {IDC_CODE_PANEL, codeSize}, {IDC_VIEW_PANEL, viewSize}};
    for (const auto& p : panels) {
        RECT r;
        HWND panel = GetDlgItem(frame, p.id);
        if (panel == nullptr || !GetWindowRect(panel, &r)) continue;
        p.size[0] = r.right - r.left;
        p.size[1] = r.bottom - r.top;
    }
}

HFONT createListFont(int32_t statusBits) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    LOGFONTW font = metrics.lfMenuFont;
    ListFont style = ListFontOf(font.lfHeight, statusBits);
    font.lfHeight = style.height;
    font.lfWeight = style.weight;
    font.lfItalic = style.italic ? TRUE : FALSE;
    return CreateFontIndirectW(&font);
}

void ApplyListFont(PanelState* state, int32_t statusBits) {
    HFONT font = createListFont(statusBits);
    if (font == nullptr) return;  // the old font stays
    SendMessageW(state->list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (state->font != nullptr) DeleteObject(state->font);
    state->font = font;
}

void ShowContextMenu(HWND panel, PanelState* state, int menuId) {
    HWND frame = GetParent(panel);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(frame, GWLP_HINSTANCE));
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (state->host->prepareMenu != nullptr) state->host->prepareMenu(frame, popup);
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, frame, nullptr);
    DestroyMenu(menu);
}
