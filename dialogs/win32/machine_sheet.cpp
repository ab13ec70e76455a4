#include "dialogs/win32/machine_sheet.h"

#include "dialogs/replace_rows.h"
#include "dialogs/win32/sheet.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/strings.h"

#include <commctrl.h>

#include <cstdio>

namespace {

float gCurrentPage = 0.0f;

constexpr int kOptionBits = 3;  // the check boxes 1123..1125 show options bits 0x1, 0x2, 0x4

struct MachineContext {
    MachineDefinition edit;
    int32_t optionBoxes[kOptionBits];
    ReplaceRows rows;
};

MachineContext* contextOf(SheetPage* page) {
    return static_cast<MachineContext*>(page->sheet->context);
}

HWND listOf(SheetPage* page, int id) {
    return GetDlgItem(page->window, id);
}

void addColumn(HWND list, int index, const wchar_t* title, int width, int format = LVCFMT_LEFT) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

int listWidth(HWND list) {
    RECT r;
    GetClientRect(list, &r);
    return r.right - r.left;
}

void setRowImage(HWND list, int row, bool on) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = on ? 1 : 0;
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int rowImage(HWND list, int row) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void fillGModal(SheetPage* page) {
    HWND list = listOf(page, IDC_GMODAL_LIST);
    HIMAGELIST images =
        ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_CHECK_IMAGES), 12, 0,
                             RGB(0, 255, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    addColumn(list, 0, tlvWiden(tlvString(IDS_GMODAL_COLUMN)).c_str(), listWidth(list) - 16);
    for (int code = 0; code < kMachineGCodes; ++code) {
        wchar_t text[8];
        swprintf(text, 8, L"G%02d", code);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = code;
        item.pszText = text;
        item.iImage = MachineGModal(contextOf(page)->edit, code) ? 1 : 0;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// A click on a row's image toggles the row.
void clickGModal(SheetPage* page, const NMITEMACTIVATE* click) {
    HWND list = click->hdr.hwndFrom;
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    const int row =
        static_cast<int>(SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || (hit.flags & LVHT_ONITEMICON) == 0) return;
    setRowImage(list, row, rowImage(list, row) == 0);
    (void)page;
}

INT_PTR parametersPage(SheetPage* page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: fillGModal(page); return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->idFrom == IDC_GMODAL_LIST && header->code == NM_CLICK) {
                clickGModal(page, reinterpret_cast<const NMITEMACTIVATE*>(lp));
            }
            return FALSE;
        }
        case WM_COMMAND:
            if (wp == IDOK) {
                HWND list = listOf(page, IDC_GMODAL_LIST);
                for (int code = 0; code < kMachineGCodes; ++code) {
                    SetMachineGModal(&contextOf(page)->edit, code, rowImage(list, code) == 1);
                }
            }
            return FALSE;
        default: return FALSE;
    }
}

void setCell(HWND list, int row, int column, const char* text) {
    std::wstring wide = tlvWiden(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int selectedRow(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void selectRow(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// The list view as the rows say, and the buttons' enabling.
void showRows(SheetPage* page, int select) {
    const ReplaceRows& rows = contextOf(page)->rows;
    HWND list = listOf(page, IDC_REPLACE_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (int row = 0; row < rows.count; ++row) {
        LVITEMW item = {};
        item.iItem = row;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        setCell(list, row, 0, rows.org[row]);
        setCell(list, row, 1, rows.dst[row]);
    }
    if (select >= 0) selectRow(list, select);
    EnableWindow(GetDlgItem(page->window, IDC_REPLACE_ADD), rows.count < kMachineReplacePairs);
    EnableWindow(GetDlgItem(page->window, IDC_REPLACE_DELETE), rows.count > 0);
    EnableWindow(GetDlgItem(page->window, IDC_REPLACE_APPLY), rows.count > 0);
    if (rows.count == 0) {
        SetDlgItemTextW(page->window, IDC_REPLACE_ORG, L"");
        SetDlgItemTextW(page->window, IDC_REPLACE_DST, L"");
    }
}

void initReplace(SheetPage* page) {
    HWND list = listOf(page, IDC_REPLACE_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const int half = listWidth(list) / 2;
    addColumn(list, 0, tlvWiden(tlvString(IDS_REPLACE_BEFORE)).c_str(), half);
    addColumn(list, 1, tlvWiden(tlvString(IDS_REPLACE_AFTER)).c_str(), half);
    for (int id : {IDC_REPLACE_ORG, IDC_REPLACE_DST})
        SendDlgItemMessageW(page->window, id, EM_LIMITTEXT, 64, 0);
    showRows(page, -1);
}

INT_PTR replacePage(SheetPage* page, UINT msg, WPARAM wp, LPARAM lp) {
    ReplaceRows& rows = contextOf(page)->rows;
    if (msg == WM_INITDIALOG) {
        initReplace(page);
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
        if (change->hdr.idFrom == IDC_REPLACE_LIST && change->hdr.code == LVN_ITEMCHANGED &&
            (change->uNewState & LVIS_SELECTED) != 0 && change->iItem < rows.count) {
            SetControlText(page->window, IDC_REPLACE_ORG, rows.org[change->iItem]);
            SetControlText(page->window, IDC_REPLACE_DST, rows.dst[change->iItem]);
        }
        return FALSE;
    }
    if (msg != WM_COMMAND) return FALSE;
    const std::string org = ControlText(page->window, IDC_REPLACE_ORG);
    const std::string dst = ControlText(page->window, IDC_REPLACE_DST);
    const int selected = selectedRow(listOf(page, IDC_REPLACE_LIST));
    switch (LOWORD(wp)) {
        case IDOK: StoreReplaceRows(rows, &contextOf(page)->edit); return FALSE;
        case IDC_REPLACE_ADD: {
            const int row = AddReplaceRow(&rows, org.c_str(), dst.c_str());
            if (row >= 0) showRows(page, row);
            return TRUE;
        }
        case IDC_REPLACE_DELETE: showRows(page, DeleteReplaceRow(&rows, selected)); return TRUE;
        case IDC_REPLACE_APPLY:
            if (ApplyReplaceRow(&rows, selected, org.c_str(), dst.c_str()))
                showRows(page, selected);
            return TRUE;
        default: return FALSE;
    }
}

constexpr Field real(int id, float* value, float maximum, const char* format = nullptr) {
    return {id, FieldKind::Edit, FieldType::Real, true, value, 0, maximum, format};
}

}  // namespace

bool ShowMachineSheet(HWND owner, MachineDefinition* machine, int start) {
    if (machine == nullptr) return false;
    MachineContext context = {};
    MachineDefinition& m = context.edit;
    m = *machine;
    for (int bit = 0; bit < kOptionBits; ++bit) context.optionBoxes[bit] = (m.options >> bit) & 1;
    LoadReplaceRows(m, &context.rows);
    const Field fields[] = {
        real(1100, &m.scaleXYZ[0], 99),
        real(1101, &m.scaleXYZ[1], 99),
        real(1102, &m.scaleXYZ[2], 99),
        real(1103, &m.scaleIJK[0], 99),
        real(1104, &m.scaleIJK[1], 99),
        real(1105, &m.scaleIJK[2], 99),
        real(1106, &m.itoF, 99),
        {1123, FieldKind::Check, FieldType::Integer, false, &context.optionBoxes[0], 0, 0, nullptr},
        {1124, FieldKind::Check, FieldType::Integer, false, &context.optionBoxes[1], 0, 0, nullptr},
        {1125, FieldKind::Check, FieldType::Integer, false, &context.optionBoxes[2], 0, 0, nullptr},
        real(1107, &m.feedG00, 99999, "%.0lf"),
        real(1108, &m.timeTC, 99999, "%.0lf")};
    SheetPage pages[] = {
        {IDD_PAGE_MACHINE, parametersPage, fields, 12, nullptr, 0, nullptr, nullptr, {}},
        {IDD_PAGE_REPLACE, replacePage, nullptr, 0, nullptr, 0, nullptr, nullptr, {}},
    };
    Sheet sheet = {IDD_MACHINE_SHEET, &gCurrentPage, pages,    2,      nullptr,
                   nullptr,           nullptr,       &context, nullptr};
    if (RunSheet(owner, &sheet, start) != 1) return false;
    for (int bit = 0; bit < kOptionBits; ++bit) {
        m.options =
            context.optionBoxes[bit] != 0 ? m.options | (1 << bit) : m.options & ~(1 << bit);
    }
    *machine = m;
    return true;
}
