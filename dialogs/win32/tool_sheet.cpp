#include "dialogs/win32/tool_sheet.h"

#include "definitions/profile_item.h"
#include "dialogs/win32/sheet.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/strings.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

float gCurrentPage = 0.0f;

HWND toolList(SheetPage* page) {
    return GetDlgItem(page->window, IDC_TOOL_LIST);
}

std::string cell(HWND list, int row, int column) {
    wchar_t text[128] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return tlvNarrow(text);
}

void setCell(HWND list, int row, int column, const std::string& text) {
    std::wstring wide = tlvWiden(text.c_str());
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string millimetres(double value) {
    char text[64];
    snprintf(text, sizeof text, "%.3lf", value);
    return text;
}

void addColumn(HWND list, int index, int stringId, int width, int format) {
    std::wstring title = tlvWiden(tlvString(stringId));
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void fillTools(SheetPage* page) {
    const ToolTable& tools = *static_cast<const ToolTable*>(page->sheet->context);
    HWND list = toolList(page);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT r;
    GetClientRect(list, &r);
    const int width = r.right - r.left;
    addColumn(list, 0, 83, width / 10 - 16, LVCFMT_LEFT);
    addColumn(list, 1, 99, width * 5 / 10, LVCFMT_LEFT);
    addColumn(list, 2, 84, width * 2 / 10, LVCFMT_RIGHT);
    addColumn(list, 3, 85, width * 2 / 10, LVCFMT_RIGHT);
    for (int t = 0; t < kToolCount; ++t) {
        char number[8];
        snprintf(number, sizeof number, "%02d", t);
        std::wstring wide = tlvWiden(number);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = t;
        item.pszText = wide.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const ToolEntry& e = tools.entries[t];
        setCell(list, t, 1, std::string(e.toolName, strnlen(e.toolName, kToolNameSize)));
        setCell(list, t, 2, millimetres(e.diameter));
        setCell(list, t, 3, millimetres(e.length));
    }
    SendDlgItemMessageW(page->window, IDC_TOOL_NAME, EM_LIMITTEXT, 32, 0);
    SendDlgItemMessageW(page->window, IDC_TOOL_DIAMETER, EM_LIMITTEXT, 64, 0);
    SendDlgItemMessageW(page->window, IDC_TOOL_LENGTH, EM_LIMITTEXT, 64, 0);
}

int selectedTool(SheetPage* page) {
    return static_cast<int>(
        SendMessageW(toolList(page), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void showSelected(SheetPage* page, int row) {
    HWND list = toolList(page);
    SetControlText(page->window, IDC_TOOL_NAME, cell(list, row, 1));
    SetControlText(page->window, IDC_TOOL_DIAMETER, cell(list, row, 2));
    SetControlText(page->window, IDC_TOOL_LENGTH, cell(list, row, 3));
    char label[8];
    snprintf(label, sizeof label, "T%02d", row);
    SetControlText(page->window, IDC_TOOL_LABEL, label);
}

void applyRow(SheetPage* page) {
    const int row = selectedTool(page);
    if (row < 0) return;
    HWND list = toolList(page);
    char name[kToolNameSize];
    const std::string typed = ControlText(page->window, IDC_TOOL_NAME);
    CopyTextCut(name, sizeof name, typed.c_str(), typed.size());
    setCell(list, row, 1, name);
    setCell(list, row, 2,
            millimetres(fieldNumber(ControlText(page->window, IDC_TOOL_DIAMETER).c_str())));
    setCell(list, row, 3,
            millimetres(fieldNumber(ControlText(page->window, IDC_TOOL_LENGTH).c_str())));
}

// Every row back into the table; the corner radius is not edited here.
void storeTools(SheetPage* page) {
    ToolTable& tools = *static_cast<ToolTable*>(page->sheet->context);
    HWND list = toolList(page);
    for (int t = 0; t < kToolCount; ++t) {
        ToolEntry& e = tools.entries[t];
        const std::string name = cell(list, t, 1);
        CopyTextCut(e.toolName, kToolNameSize, name.c_str(), name.size());
        e.diameter = static_cast<float>(fieldNumber(cell(list, t, 2).c_str()));
        e.length = static_cast<float>(fieldNumber(cell(list, t, 3).c_str()));
    }
}

INT_PTR toolPage(SheetPage* page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: fillTools(page); return TRUE;
        case WM_NOTIFY: {
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
            if (change->hdr.idFrom == IDC_TOOL_LIST && change->hdr.code == LVN_ITEMCHANGED &&
                (change->uNewState & LVIS_SELECTED) != 0 && change->iItem >= 0) {
                showSelected(page, change->iItem);
            }
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == IDC_TOOL_APPLY) applyRow(page);
            if (wp == IDOK) storeTools(page);
            return LOWORD(wp) == IDC_TOOL_APPLY;
        default: return FALSE;
    }
}

}  // namespace

bool ShowToolSheet(HWND owner, ToolTable* tools, int start) {
    if (tools == nullptr) return false;
    ToolTable edit = *tools;
    SheetPage pages[] = {{IDD_PAGE_TOOLS, toolPage, nullptr, 0, nullptr, 0, nullptr, nullptr, {}}};
    Sheet sheet = {IDD_TOOL_SHEET, &gCurrentPage, pages, 1,      nullptr,
                   nullptr,        nullptr,       &edit, nullptr};
    if (RunSheet(owner, &sheet, start) != 1) return false;
    *tools = edit;
    return true;
}
