#include "app/win32/toolbars.h"

#include "app/win32/frame_layout.h"
#include "dialogs/win32/common_dialogs.h"
#include "res/resource.h"

#include <commctrl.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

ToolbarCommands gCommands = {};
constexpr int kSlotCount = 3;
constexpr int kSeparator = 0;

// Buttons of each kind in order; the image, text and tooltip of a button are
// its command's.
constexpr int kStandardButtons[] = {CMD_FILE_OPEN, CMD_SAVE_AS,     CMD_PRINT_DIRECT, kSeparator,
                                    CMD_COPY,      CMD_EDIT_SOURCE, kSeparator,       CMD_HELP};
constexpr int kDisplayButtons[] = {CMD_FIT_ALL,       CMD_ZOOM_IN,       CMD_ZOOM_OUT,
                                   kSeparator,        CMD_VIEW_XY,       CMD_VIEW_XZ,
                                   CMD_VIEW_YZ,       CMD_VIEW_XYZ,      kSeparator,
                                   CMD_VIEW_PATTERN1, CMD_VIEW_PATTERN2, CMD_DISPLAY_FILTER};
constexpr int kTraceButtons[] = {
    CMD_TRACE_RUN,      CMD_TRACE_STEP, CMD_TRACE_STOP, kSeparator,       CMD_MARK_TOGGLE,
    CMD_MARK_CLEAR_ALL, kSeparator,     CMD_SPEED_HIGH, CMD_SPEED_NORMAL, CMD_SPEED_LOW};

struct ToolbarKind {
    int id;
    int title;  // string id of the band title
    const int* buttons;
    int count;
};

constexpr ToolbarKind kKinds[] = {
    {kToolbarStandard, IDS_BAND_STANDARD, kStandardButtons, static_cast<int>(std::size(kStandardButtons))},
    {kToolbarDisplay, IDS_BAND_DISPLAY, kDisplayButtons, static_cast<int>(std::size(kDisplayButtons))},
    {kToolbarTrace, IDS_BAND_TRACE, kTraceButtons, static_cast<int>(std::size(kTraceButtons))},
};

const ToolbarKind& kindOf(int id) {
    return id == kToolbarStandard ? kKinds[0] : id == kToolbarDisplay ? kKinds[1] : kKinds[2];
}

HINSTANCE instanceOf(HWND window) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

HWND bandArea(HWND frame) {
    return frame != nullptr ? GetDlgItem(frame, IDC_REBAR) : nullptr;
}

// The button images with a mask made from the button-face background, so
// that a disabled button shows its image embossed rather than a grey tile.
// One list serves every toolbar for the life of the process.
HIMAGELIST buttonImages(HINSTANCE instance) {
    static HIMAGELIST images = nullptr;
    if (images == nullptr) {
        images = ImageList_LoadImageW(instance, MAKEINTRESOURCEW(IDB_TOOLBAR), 16, 0,
                                      RGB(192, 192, 192), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    }
    return images;
}

TBBUTTON buttonOf(HWND toolbar, int command, bool texts) {
    TBBUTTON b = {};
    if (command == kSeparator) {
        b.fsStyle = BTNS_SEP;
        return b;
    }
    const ToolButton* button =
        gCommands.buttonOf != nullptr ? gCommands.buttonOf(command) : nullptr;
    b.idCommand = command;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iBitmap = button != nullptr ? button->image : I_IMAGENONE;
    b.iString = -1;
    if (texts && button != nullptr && button->text != 0) {
        // The string list takes double-NUL-terminated texts.
        std::wstring text = tlvLoadString(instanceOf(toolbar), button->text);
        text.push_back(L'\0');
        b.iString = SendMessageW(toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return b;
}

// A toolbar of kind, a child of the band area that reports to the main
// window, sized to one row of its buttons.
HWND createToolbar(FrameState* fs, const ToolbarKind& kind, int style, SIZE* size) {
    HWND frame = fs->frame;
    DWORD ws =
        WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    if ((style & kToolbarFlat) != 0) ws |= TBSTYLE_FLAT;
    if ((style & kToolbarList) != 0) ws |= TBSTYLE_LIST;
    HINSTANCE instance = instanceOf(frame);
    HWND toolbar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", ws, 0, 0, 0, 0, bandArea(frame),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kind.id)), instance, nullptr);
    if (toolbar == nullptr) return nullptr;
    fs->toolbars[kind.id - kToolbarStandard] = toolbar;
    SendMessageW(toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(frame), 0);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(24, 22));
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(buttonImages(instance)));
    std::vector<TBBUTTON> buttons;
    for (int i = 0; i < kind.count; ++i) {
        buttons.push_back(buttonOf(toolbar, kind.buttons[i], (style & kToolbarTexts) != 0));
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    RECT r = {};
    SendMessageW(toolbar, TB_SETROWS, MAKEWPARAM(1, FALSE), reinterpret_cast<LPARAM>(&r));
    *size = {r.right - r.left, r.bottom - r.top};
    if (size->cx <= 0 || size->cy <= 0)
        SendMessageW(toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(size));
    return toolbar;
}

// The title text stays alive in the caller while the band area copies it.
void describeBand(REBARBANDINFOW* band, HWND toolbar, SIZE size, std::wstring* title) {
    band->fMask |= RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE;
    band->lpText = title->data();
    band->hwndChild = toolbar;
    band->cxMinChild = static_cast<UINT>(size.cx);
    band->cyMinChild = static_cast<UINT>(size.cy);
}

std::wstring titleOf(HWND frame, const ToolbarKind& kind, int style) {
    return (style & kToolbarTitles) != 0 ? tlvLoadString(instanceOf(frame), kind.title) : L"";
}

// A settings file may name a toolbar twice or not at all; the bands then
// start from the standard order so that no toolbar is lost.
void repairSlots(int32_t (&slots)[kSlotCount][3]) {
    bool seen[kSlotCount] = {};
    for (const auto& slot : slots) {
        const int k = slot[0] - kToolbarStandard;
        if (k < 0 || k >= kSlotCount || seen[k]) {
            for (int i = 0; i < kSlotCount; ++i) {
                slots[i][0] = kToolbarStandard + i;
                slots[i][1] = 0;
                slots[i][2] = 0;
            }
            return;
        }
        seen[k] = true;
    }
}

void insertBand(FrameState* fs, const int32_t (&slot)[3], int style) {
    HWND frame = fs->frame;
    const ToolbarKind& kind = kindOf(slot[0]);
    SIZE size = {};
    HWND toolbar = createToolbar(fs, kind, style, &size);
    if (toolbar == nullptr) return;
    std::wstring title = titleOf(frame, kind, style);
    REBARBANDINFOW band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_SIZE | RBBIM_ID;
    // A hidden band could never be shown again: nothing offers to.
    band.fStyle = (static_cast<UINT>(slot[2]) & ~RBBS_HIDDEN) | RBBS_CHILDEDGE;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.cx = static_cast<UINT>(slot[1] > 0 ? slot[1] : 0);
    band.wID = static_cast<UINT>(kind.id);
    describeBand(&band, toolbar, size, &title);
    SendMessageW(bandArea(frame), RB_INSERTBANDW, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&band));
}

void showToolbarMenu(FrameState* fs) {
    HWND frame = fs->frame;
    HMENU menu = LoadMenuW(instanceOf(frame), MAKEINTRESOURCEW(IDR_TOOLBARMENU));
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, 0);
    if (gCommands.prepareMenu != nullptr) gCommands.prepareMenu(fs, popup);
    POINT p = {};
    GetCursorPos(&p);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, frame, nullptr);
    DestroyMenu(menu);
}

bool fromBandArea(const NMHDR* header) {
    const UINT_PTR id = header->idFrom;
    return id == IDC_REBAR || (id >= kToolbarStandard && id <= kToolbarTrace);
}

// Tooltips ask by the button's command; the text is copied into a buffer
// that outlives the notification.
bool fillTooltip(HWND frame, NMTTDISPINFOW* info) {
    const int command = static_cast<int>(info->hdr.idFrom);
    const ToolButton* button =
        gCommands.buttonOf != nullptr ? gCommands.buttonOf(command) : nullptr;
    if (button == nullptr || button->tooltip == 0) return false;
    static wchar_t text[128];
    lstrcpynW(text, tlvLoadString(instanceOf(frame), button->tooltip).c_str(), 128);
    info->lpszText = text;
    info->hinst = nullptr;
    return true;
}

}  // namespace

void SetToolbarCommands(const ToolbarCommands& commands) {
    gCommands = commands;
}

HWND ToolbarWindow(const FrameState* fs, int id) {
    const int k = id - kToolbarStandard;
    return k >= 0 && k < kSlotCount ? fs->toolbars[k] : nullptr;
}

void CreateToolbars(FrameState* fs) {
    HWND frame = fs->frame;
    HWND area = CreateWindowExW(0, REBARCLASSNAMEW, L"",
                                WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                    RBS_BANDBORDERS | CCS_NODIVIDER,
                                0, 0, 0, 0, frame, reinterpret_cast<HMENU>(IDC_REBAR),
                                instanceOf(frame), nullptr);
    if (area == nullptr) return;
    AppSettings& s = fs->session->settings;
    repairSlots(s.toolbarBands);
    for (const auto& slot : s.toolbarBands) insertBand(fs, slot, s.toolbarStatus);
}

void SaveToolbarLayout(FrameState* fs) {
    HWND area = bandArea(fs->frame);
    if (area == nullptr) return;
    if (SendMessageW(area, RB_GETBANDCOUNT, 0, 0) != kSlotCount) return;
    int32_t slots[kSlotCount][3];
    for (int i = 0; i < kSlotCount; ++i) {
        REBARBANDINFOW band = {};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE;
        if (!SendMessageW(area, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band))) return;
        slots[i][0] = static_cast<int32_t>(band.wID);
        slots[i][1] = static_cast<int32_t>(band.cx);
        slots[i][2] = static_cast<int32_t>(band.fStyle);
    }
    memcpy(fs->session->settings.toolbarBands, slots, sizeof slots);
}

// Each band keeps its place and width and gets a new toolbar of the kind
// its own id names, so bands the person moved keep their toolbars.
void RebuildToolbars(FrameState* fs) {
    HWND frame = fs->frame;
    HWND area = bandArea(frame);
    if (area == nullptr) return;
    const int style = fs->session->settings.toolbarStatus;
    const int count = static_cast<int>(SendMessageW(area, RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        REBARBANDINFOW band = {};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_ID | RBBIM_CHILD;
        if (!SendMessageW(area, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band))) continue;
        HWND old = band.hwndChild;
        const ToolbarKind& kind = kindOf(static_cast<int>(band.wID));
        SIZE size = {};
        HWND toolbar = createToolbar(fs, kind, style, &size);
        if (toolbar == nullptr) continue;
        std::wstring title = titleOf(frame, kind, style);
        band.fMask = 0;
        describeBand(&band, toolbar, size, &title);
        SendMessageW(area, RB_SETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
        if (old != nullptr) DestroyWindow(old);
    }
    if (gCommands.refreshStates != nullptr) gCommands.refreshStates(fs);
}

void CheckToolButton(const FrameState* fs, int command, bool pressed) {
    for (HWND toolbar : fs->toolbars) {
        if (toolbar != nullptr) {
            SendMessageW(toolbar, TB_CHECKBUTTON, command, MAKELPARAM(pressed ? TRUE : FALSE, 0));
        }
    }
}

// Only a changed state is sent, so the buttons do not flicker when the
// states are refreshed after every command.
void SetToolButtonState(const FrameState* fs, int command, bool enabled, bool checked) {
    for (HWND toolbar : fs->toolbars) {
        if (toolbar == nullptr || SendMessageW(toolbar, TB_COMMANDTOINDEX, command, 0) < 0)
            continue;
        const LRESULT old = SendMessageW(toolbar, TB_GETSTATE, command, 0);
        if (old < 0) continue;
        LRESULT state = old & ~(TBSTATE_ENABLED | TBSTATE_CHECKED);
        if (enabled) state |= TBSTATE_ENABLED;
        if (checked) state |= TBSTATE_CHECKED;
        if (state != old) SendMessageW(toolbar, TB_SETSTATE, command, MAKELPARAM(state, 0));
    }
}

bool OnToolbarNotify(FrameState* fs, const NMHDR* header, LRESULT* result) {
    HWND frame = fs->frame;
    if (header == nullptr) return false;
    *result = 0;
    switch (header->code) {
        case RBN_HEIGHTCHANGE:
            if (header->idFrom != IDC_REBAR) return false;
            LayoutFrame(fs);
            return true;
        case TTN_GETDISPINFOW:
            return fillTooltip(frame, reinterpret_cast<NMTTDISPINFOW*>(const_cast<NMHDR*>(header)));
        case NM_RCLICK:
            if (!fromBandArea(header)) return false;
            showToolbarMenu(fs);
            *result = 1;
            return true;
        default: return false;
    }
}
