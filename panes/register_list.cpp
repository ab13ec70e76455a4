// The register list: two columns, rows written cell by cell; a cell is
// rewritten only when its text changes, so that a fast trace writing every
// row at every step does not make the list flicker.
#include "panes/panel_state.h"

#include "res/resource.h"
#include "res/strings.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr UINT kCodePage932 = 932;
constexpr int kCellMax = 1024;

HWND registerList(HWND frame) {
    PanelState* state = PanelOf(frame, IDC_REGISTER_PANEL);
    return state != nullptr ? state->list : nullptr;
}

void insertColumn(HWND list, int index, int titleId, int width) {
    wchar_t title[64] = {};
    MultiByteToWideChar(kCodePage932, 0, tlvString(titleId), -1, title, 64);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = title;
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

LRESULT RegisterListNotify(HWND panel, PanelState* state, NMHDR* header) {
    if (header->idFrom != IDC_REGISTER_LIST) return 0;
    switch (header->code) {
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        return draw->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    case NM_RCLICK: ShowContextMenu(panel, state, IDR_REGISTERMENU); return 0;
    default: return 0;
    }
}

HWND CreateRegisterList(HWND panel) {
    PanelState* state = PanelStateOf(panel);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(panel, GWLP_HINSTANCE));
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
        0, 0, 0, 0, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REGISTER_LIST)), instance, nullptr);
    if (list == nullptr) return nullptr;
    state->list = list;
    ApplyRegisterListStyle(GetParent(panel));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    insertColumn(list, 0, IDS_COLUMN_ADDRESS, 16);
    insertColumn(list, 1, IDS_COLUMN_VALUES, 150);
    return list;
}

void ApplyRegisterListStyle(HWND frame) {
    PanelState* state = PanelOf(frame, IDC_REGISTER_PANEL);
    if (state == nullptr || state->list == nullptr) return;
    ApplyListFont(state, *state->host->registerStatus);
    SendMessageW(state->list, LVM_SETTEXTCOLOR, 0, state->host->colorMap[11]);
}

void ClearRegisterList(HWND frame) {
    HWND list = registerList(frame);
    if (list != nullptr) SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

int SetRegisterCell(HWND frame, int row, int column, const char* format, ...) {
    HWND list = registerList(frame);
    if (list == nullptr || row < 0 || column < 0) return 1;
    char text[kCellMax] = {};
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    wchar_t wanted[kCellMax] = {};
    MultiByteToWideChar(kCodePage932, 0, text, -1, wanted, kCellMax);

    while (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= row) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<wchar_t*>(L"");
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) return 1;
    }
    wchar_t shown[kCellMax] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = shown;
    item.cchTextMax = kCellMax;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    if (lstrcmpiW(shown, wanted) == 0) return 1;
    item.pszText = wanted;
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return 1;
}
