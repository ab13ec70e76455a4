// The code list: a virtual list view with one row per block of the store
// and a closing "[EOF]" row; cells are produced on demand, so programs of
// any size cost nothing here.
#include "panes/panel_state.h"
#include "platform/win32/wide.h"

#include "res/resource.h"
#include "res/strings.h"

#include <algorithm>

namespace {

constexpr UINT kCodePage932 = 932;

HWND codeList(HWND frame) {
    PanelState* state = PanelOf(frame, IDC_CODE_PANEL);
    return state != nullptr ? state->list : nullptr;
}

// The block of row i; false for a row that cannot be read. The end row is
// a pseudo block.
bool rowBlock(PanelState* state, int32_t row, NcBlockText* block, bool* isEnd) {
    const int32_t count = ncBlockListCount(state->host->blocks);
    *isEnd = row >= count || count < 0;
    if (*isEnd) {
        *block = CodeEndRow();
        return true;
    }
    return ncBlockListGet(state->host->blocks, row, block) == 1;
}

void insertColumn(HWND list, int index, const wchar_t* title, int format, int width) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

// Fitting a column to its contents measures every row, which for a program
// of a million lines takes minutes; beyond this many rows the columns get
// widths from sample texts instead.
constexpr int32_t kMeasuredRowsMax = 5000;

void resetColumnWidths(HWND list, int32_t rows) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, 18);
    if (rows <= kMeasuredRowsMax) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE);
        return;
    }
    // Seven digits of line number, and a typical block of 64 characters;
    // longer lines are reached by scrolling.
    const int margin = 16;
    const int number = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                     reinterpret_cast<LPARAM>(L"0000000")));
    const std::wstring sample(64, L'0');
    const int code = static_cast<int>(
        SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(sample.c_str())));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, number + margin);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, code + margin);
}

LRESULT OnGetDispInfo(PanelState* state, NMLVDISPINFOW* info) {
    NcBlockText block;
    bool isEnd = false;
    LVITEMW& item = info->item;
    if (!rowBlock(state, item.iItem, &block, &isEnd)) return 0;  // left unanswered
    CodeRowCellsOf(block, &state->cells);
    if (isEnd) state->cells.image = kCodeImagePlain;
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = item.iSubItem == 0 ? state->cells.image : -1;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const char* text = item.iSubItem == 1 ? state->cells.line : item.iSubItem == 2 ? state->cells.code : "";
        int n = MultiByteToWideChar(kCodePage932, 0, text, -1, state->wide, 512);
        if (n <= 0) state->wide[0] = L'\0';
        lstrcpynW(item.pszText, state->wide, item.cchTextMax);
    }
    return 0;
}

bool isNoted(const PanelState* state, int32_t row) {
    return std::binary_search(state->notedRows.begin(), state->notedRows.end(), row);
}

// A noted row carries an amber bar at its left edge, beside its image, so
// that a break mark on the same row stays visible.
constexpr COLORREF kNoteMarkColour = RGB(240, 150, 0);
constexpr int kNoteMarkWidth = 3;

void drawNoteMark(HWND list, HDC dc, int32_t row) {
    RECT r = {};
    r.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&r)))
        return;
    const RECT bar = {r.left + 1, r.top + 1, r.left + 1 + kNoteMarkWidth, r.bottom - 1};
    HBRUSH brush = CreateSolidBrush(kNoteMarkColour);
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
}

LRESULT OnCustomDraw(PanelState* state, NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    const int32_t row = static_cast<int32_t>(draw->nmcd.dwItemSpec);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
        drawNoteMark(state->list, draw->nmcd.hdc, row);
        return CDRF_DODEFAULT;
    }
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    NcBlockText block;
    bool isEnd = false;
    if (rowBlock(state, row, &block, &isEnd)) {
        draw->clrText = CodeRowColor(block, isEnd, state->host->colorMap);
    }
    return isNoted(state, row) ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
}

// Clears the selected state of the selected row, keeping its focus; answers
// that row, or -1. A list view that selects a row while another is selected
// first walks every row of a virtual list to deselect it (Wine's does: over
// a second per key on a million rows), so the list moves its selection
// only from an empty one.
int32_t dropSelection(HWND list) {
    const auto row = static_cast<int32_t>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return -1;
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    return row;
}

bool movesSelection(UINT message, WPARAM wp) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return true;
    case WM_KEYDOWN:
        return wp == VK_UP || wp == VK_DOWN || wp == VK_PRIOR || wp == VK_NEXT || wp == VK_HOME || wp == VK_END;
    default: return false;
    }
}

// A key or click that leaves the list without a selection (Up on the first
// row, a click below the last) gives the previous row back its selection.
LRESULT CALLBACK codeListProc(HWND list, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, codeListProc, 0);
    if (!movesSelection(message, wp)) return DefSubclassProc(list, message, wp, lp);
    const int32_t previous = dropSelection(list);
    const LRESULT result = DefSubclassProc(list, message, wp, lp);
    if (previous >= 0 && IsWindow(list) &&
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) < 0) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, previous, reinterpret_cast<LPARAM>(&item));
    }
    return result;
}

}  // namespace

LRESULT CodeListNotify(HWND panel, PanelState* state, NMHDR* header) {
    if (header->idFrom != IDC_CODE_LIST) return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: return OnGetDispInfo(state, reinterpret_cast<NMLVDISPINFOW*>(header));
    case LVN_ITEMCHANGED:
        state->currentRow = reinterpret_cast<NMLISTVIEW*>(header)->iItem;
        return 0;
    case NM_CUSTOMDRAW: return OnCustomDraw(state, reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case NM_RCLICK: ShowContextMenu(panel, state, IDR_CODEMENU); return 0;
    case NM_DBLCLK: PostMessageW(GetParent(panel), WM_COMMAND, CMD_EDIT_SOURCE, 0); return 0;
    default: return 0;
    }
}

HWND CreateCodeList(HWND panel) {
    PanelState* state = PanelStateOf(panel);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(panel, GWLP_HINSTANCE));
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
            LVS_NOSORTHEADER | LVS_OWNERDATA,
        0, 0, 0, 0, panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CODE_LIST)), instance, nullptr);
    if (list == nullptr) return nullptr;
    state->list = list;
    state->currentRow = 0;
    SetWindowSubclass(list, codeListProc, 0, 0);
    ApplyCodeListStyle(GetParent(panel));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    HIMAGELIST images = ImageList_LoadImageW(instance, MAKEINTRESOURCEW(IDB_CODE_IMAGES), 16, 0,
                                             RGB(0, 255, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (images != nullptr) SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    insertColumn(list, 0, L"", LVCFMT_LEFT, 18);
    insertColumn(list, 1, tlvWiden(tlvString(IDS_COLUMN_LINE)).c_str(), LVCFMT_RIGHT, 48);
    insertColumn(list, 2, tlvWiden(tlvString(IDS_COLUMN_CODE)).c_str(), LVCFMT_LEFT, 64);
    return list;
}

void ApplyCodeListStyle(HWND frame) {
    PanelState* state = PanelOf(frame, IDC_CODE_PANEL);
    if (state == nullptr || state->list == nullptr) return;
    ApplyListFont(state, *state->host->codeStatus);
    SendMessageW(state->list, LVM_SETTEXTCOLOR, 0, state->host->colorMap[kColorCodeText]);
    resetColumnWidths(state->list, static_cast<int32_t>(SendMessageW(state->list, LVM_GETITEMCOUNT, 0, 0)));
}

void ClearCodeList(HWND frame) {
    PanelState* state = PanelOf(frame, IDC_CODE_PANEL);
    if (state == nullptr || state->list == nullptr) return;
    SendMessageW(state->list, LVM_DELETEALLITEMS, 0, 0);
    state->currentRow = 0;
    state->notedRows.clear();
}

// Called once after every successful load, when the notes are complete.
void SetCodeListCount(HWND frame, int32_t rows) {
    PanelState* state = PanelOf(frame, IDC_CODE_PANEL);
    if (state == nullptr || state->list == nullptr) return;
    HWND list = state->list;
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    state->notedRows = NotedCodeRows(state->host->blocks, state->host->notes);
    SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL);
    resetColumnWidths(list, rows);
}

void SelectCodeLine(HWND frame, int32_t row) {
    HWND list = codeList(frame);
    if (list == nullptr) return;
    dropSelection(list);
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_ENSUREVISIBLE, row, TRUE);
}

void FocusCodeList(HWND frame) {
    HWND list = codeList(frame);
    if (list != nullptr) SetFocus(list);
}

int32_t GetSelectedCodeLine(HWND frame) {
    HWND list = codeList(frame);
    if (list == nullptr) return -1;
    return static_cast<int32_t>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int32_t GetCurrentCodeLine(HWND frame) {
    PanelState* state = PanelOf(frame, IDC_CODE_PANEL);
    return state != nullptr ? state->currentRow : 0;
}

int SetBreakMark(HWND frame, int op, int32_t row) {
    PanelState* state = PanelOf(frame, IDC_CODE_PANEL);
    if (state == nullptr || state->list == nullptr) return op == 3 ? 1 : 0;
    NcBlockStore* blocks = state->host->blocks;
    NcBlockText block;
    if (op == -1) {
        const int32_t rows = static_cast<int32_t>(SendMessageW(state->list, LVM_GETITEMCOUNT, 0, 0));
        for (int32_t i = 0; i < rows; ++i) {
            if (ncBlockListGet(blocks, i, &block) != 1 || block.kind == KindFileHeader) continue;
            if ((block.breakMark & kNcBreakMark) == 0) continue;
            block.breakMark &= static_cast<uint8_t>(~kNcBreakMark);
            ncBlockListSet(blocks, i, &block);
            SendMessageW(state->list, LVM_UPDATE, i, 0);
        }
        return 1;
    }
    // The end row has no block, so the read below fails for it as well.
    const bool readable = row >= 0 && row < ncBlockListCount(blocks) && ncBlockListGet(blocks, row, &block) == 1 &&
                          block.kind != KindFileHeader;
    if (op == 3) return readable ? (block.breakMark & kNcBreakMark) : 1;
    if (op == 2 && readable) {
        block.breakMark ^= kNcBreakMark;
        ncBlockListSet(blocks, row, &block);
        SendMessageW(state->list, LVM_UPDATE, row, 0);
    }
    return 1;
}
