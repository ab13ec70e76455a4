#include "app/win32/filter_window.h"

#include "app/win32/frame_state.h"
#include "app/win32/view_panel.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/strings.h"

#include <commctrl.h>

#include <cstdio>

namespace {

HWND gWindow = nullptr;

// The two lists side by side: programs (O numbers) and tools (T numbers).
struct ListKind {
    int list, all, invert, title;
    const char* format;
    bool programs;
    int first, last;  // the numbers the filter can hide
};
constexpr ListKind kLists[2] = {
    {IDC_FILTER_PROGRAMS, IDC_FILTER_ALL_PROGRAMS, IDC_FILTER_INVERT_PROGRAMS, IDS_FILTER_PROGRAMS,
     "O%04d", true, 1, 9999},
    {IDC_FILTER_TOOLS, IDC_FILTER_ALL_TOOLS, IDC_FILTER_INVERT_TOOLS, IDS_FILTER_TOOLS, "T%02d",
     false, 0, 99},
};

DisplayFilter* filterOf(HWND dialog) {
    FrameState* fs = FrameStateOf(GetWindow(dialog, GW_OWNER));
    return fs != nullptr ? &fs->drawing.filter : nullptr;
}

bool present(const DisplayFilter& f, const ListKind& kind, int n) {
    const uint32_t* set = kind.programs ? f.programPresent : f.toolPresent;
    return (set[n / 32] >> (n % 32) & 1u) != 0;
}

bool shown(const DisplayFilter& f, const ListKind& kind, int n) {
    return kind.programs ? filterProgramShown(&f, n) : filterToolShown(&f, n);
}

void setupList(HWND dialog, const ListKind& kind, HIMAGELIST images) {
    HWND list = GetDlgItem(dialog, kind.list);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    RECT client;
    GetClientRect(list, &client);
    std::wstring title = tlvWiden(tlvString(kind.title));
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = client.right - 16;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void fillList(HWND dialog, const ListKind& kind, const DisplayFilter& f) {
    HWND list = GetDlgItem(dialog, kind.list);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    int count = 0;
    for (int n = kind.first; n <= kind.last; ++n) {
        if (!present(f, kind, n)) continue;
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = count++;
        item.pszText = LPSTR_TEXTCALLBACKW;
        item.iImage = I_IMAGECALLBACK;
        item.lParam = n;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (HWND control : {list, GetDlgItem(dialog, kind.all), GetDlgItem(dialog, kind.invert)}) {
        EnableWindow(control, count > 0);
    }
    if (count == 0) return;
    LVITEMW first = {};
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
}

const ListKind* kindOf(int id) {
    for (const ListKind& kind : kLists) {
        if (kind.list == id || kind.all == id || kind.invert == id) return &kind;
    }
    return nullptr;
}

void onDisplayInfo(HWND dialog, NMLVDISPINFOW* info) {
    const ListKind* kind = kindOf(static_cast<int>(info->hdr.idFrom));
    const DisplayFilter* f = filterOf(dialog);
    if (kind == nullptr || f == nullptr) return;
    const int n = static_cast<int>(info->item.lParam);
    if ((info->item.mask & LVIF_TEXT) != 0 && info->item.cchTextMax > 0) {
        char text[256];
        snprintf(text, sizeof text, kind->format, n);
        lstrcpynW(info->item.pszText, tlvWiden(text).c_str(), info->item.cchTextMax);
    }
    if ((info->item.mask & LVIF_IMAGE) != 0) info->item.iImage = shown(*f, *kind, n) ? 1 : 0;
}

void repaintAll(HWND dialog, const ListKind& kind) {
    HWND list = GetDlgItem(dialog, kind.list);
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    SendMessageW(list, LVM_REDRAWITEMS, 0, count > 0 ? count - 1 : 0);
    UpdateWindow(list);
    InvalidateViewPanes(GetWindow(dialog, GW_OWNER), -1);
}

// Only a click on an item's mark toggles it; a click on its text selects.
void onClick(HWND dialog, const NMITEMACTIVATE* click) {
    const ListKind* kind = kindOf(static_cast<int>(click->hdr.idFrom));
    DisplayFilter* f = filterOf(dialog);
    if (kind == nullptr || f == nullptr) return;
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    const int row = static_cast<int>(
        SendMessageW(click->hdr.hwndFrom, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || (hit.flags & LVHT_ONITEMICON) == 0) return;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(click->hdr.hwndFrom, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    const int n = static_cast<int>(item.lParam);
    if (kind->programs) {
        filterSetProgramShown(f, n, !filterProgramShown(f, n));
    } else {
        filterSetToolShown(f, n, !filterToolShown(f, n));
    }
    SendMessageW(click->hdr.hwndFrom, LVM_REDRAWITEMS, row, row);
    InvalidateViewPanes(GetWindow(dialog, GW_OWNER), -1);
}

void onButton(HWND dialog, int id) {
    const ListKind* kind = kindOf(id);
    DisplayFilter* f = filterOf(dialog);
    if (kind == nullptr || f == nullptr || id == kind->list) return;
    if (id == kind->all) {
        filterShowAll(f, kind->programs);
    } else {
        filterInvert(f, kind->programs);
    }
    repaintAll(dialog, *kind);
}

// Closing only hides; the empty command makes the main window refresh its
// menu and toolbar states.
void hide(HWND dialog) {
    ShowWindow(dialog, SW_HIDE);
    SendMessageW(GetWindow(dialog, GW_OWNER), WM_COMMAND, 0, 0);
}

INT_PTR CALLBACK FilterProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            HIMAGELIST images =
                ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_CHECK_IMAGES),
                                     12, 0, RGB(0, 255, 0), IMAGE_BITMAP, 0);
            for (const ListKind& kind : kLists) setupList(dialog, kind, images);
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->code == LVN_GETDISPINFOW) {
                onDisplayInfo(dialog, reinterpret_cast<NMLVDISPINFOW*>(lp));
            } else if (header->code == NM_CLICK) {
                onClick(dialog, reinterpret_cast<const NMITEMACTIVATE*>(lp));
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                hide(dialog);
            } else if (HIWORD(wp) == BN_CLICKED) {
                onButton(dialog, LOWORD(wp));
            }
            return TRUE;
        case WM_CLOSE: hide(dialog); return TRUE;
        case WM_DESTROY: {
            // The two lists share one image list; it goes with the window.
            HWND list = GetDlgItem(dialog, IDC_FILTER_PROGRAMS);
            ImageList_Destroy(
                reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
            if (gWindow == dialog) gWindow = nullptr;
            return FALSE;
        }
        default: return FALSE;
    }
}

}  // namespace

HWND CreateFilterWindow(FrameState* fs) {
    gWindow = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DISPLAY_FILTER),
                                 fs->frame, FilterProc, 0);
    RefreshFilterLists(fs);
    return gWindow;
}

HWND FilterWindow() {
    return gWindow;
}

// Created the first time it is asked for: an owned window that exists
// keeps Wine from making its owner topmost.
void ToggleFilterWindow(FrameState* fs) {
    if (gWindow == nullptr) CreateFilterWindow(fs);
    if (gWindow == nullptr) return;
    ShowWindow(gWindow, IsWindowVisible(gWindow) ? SW_HIDE : SW_SHOW);
}

void RefreshFilterLists(FrameState* fs) {
    if (gWindow == nullptr) return;
    for (const ListKind& kind : kLists) fillList(gWindow, kind, fs->drawing.filter);
}
