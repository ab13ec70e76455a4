#include "dialogs/win32/sheet.h"

#include "platform/win32/wide.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

namespace {

ColorChooserHook gColorHook = nullptr;

const Field* findField(const SheetPage* page, int id) {
    for (int i = 0; i < page->fieldCount; ++i) {
        if (page->fields[i].id == id) return &page->fields[i];
    }
    return nullptr;
}

const ColorButton* findColor(const SheetPage* page, int id, bool swatch) {
    for (int i = 0; i < page->colorCount; ++i) {
        if ((swatch ? page->colors[i].swatch : page->colors[i].button) == id)
            return &page->colors[i];
    }
    return nullptr;
}

void showField(HWND page, const Field& field) {
    switch (field.kind) {
        case FieldKind::Edit: {
            HWND edit = GetDlgItem(page, field.id);
            if (field.type == FieldType::Text) {
                SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(fieldTextLimit(field)), 0);
            }
            SetControlText(page, field.id, fieldShow(field));
            if (!field.spinner) break;
            HWND spin = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                        WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0,
                                        0, 0, 0, page, nullptr, nullptr, nullptr);
            SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
            SendMessageW(spin, UDM_SETRANGE32, static_cast<WPARAM>(-1), 1);
            break;
        }
        case FieldKind::Check:
            CheckDlgButton(
                page, field.id,
                *static_cast<const int32_t*>(field.value) != 0 ? BST_CHECKED : BST_UNCHECKED);
            break;
        case FieldKind::Radio: {
            const int count = static_cast<int>(field.maximum);
            CheckRadioButton(
                page, field.id, field.id + count - 1,
                field.id + fieldRadioIndex(*static_cast<const int32_t*>(field.value), count));
            break;
        }
    }
}

void normaliseEdit(HWND page, const Field& field) {
    if (field.kind != FieldKind::Edit || field.type == FieldType::Text) return;
    const std::string text = ControlText(page, field.id);
    const std::string shown = fieldNormalise(field, text.c_str());
    if (shown != text) SetControlText(page, field.id, shown);
}

void readField(HWND page, const Field& field) {
    switch (field.kind) {
        case FieldKind::Edit: fieldStore(field, ControlText(page, field.id).c_str()); break;
        case FieldKind::Check:
            *static_cast<int32_t*>(field.value) = IsDlgButtonChecked(page, field.id) == BST_CHECKED;
            break;
        case FieldKind::Radio:
            for (int k = 0; k < static_cast<int>(field.maximum); ++k) {
                if (IsDlgButtonChecked(page, field.id + k) == BST_CHECKED)
                    *static_cast<int32_t*>(field.value) = k;
            }
            break;
    }
}

void spin(SheetPage* page, const NMUPDOWN* change) {
    HWND edit = reinterpret_cast<HWND>(SendMessageW(change->hdr.hwndFrom, UDM_GETBUDDY, 0, 0));
    const Field* field = findField(page, GetDlgCtrlID(edit));
    if (field == nullptr) return;
    const std::string text = ControlText(page->window, field->id);
    SetControlText(page->window, field->id,
                   fieldSpin(*field, text.c_str(), change->iDelta > 0 ? 1 : -1));
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

void pickColor(SheetPage* page, const ColorButton& button) {
    Sheet* sheet = page->sheet;
    if (!ChooseColor(sheet->dialog, &sheet->colors[button.entry], sheet->customColors)) return;
    InvalidateRect(GetDlgItem(page->window, button.swatch), nullptr, TRUE);
}

// A swatch is a static control painted with a solid brush of its colour.
INT_PTR swatchBrush(SheetPage* page, HWND control) {
    const ColorButton* button = findColor(page, GetDlgCtrlID(control), true);
    if (button == nullptr) return FALSE;
    const int slot = static_cast<int>(button - page->colors);
    if (page->swatches[slot] != nullptr) DeleteObject(page->swatches[slot]);
    page->swatches[slot] = CreateSolidBrush(page->sheet->colors[button->entry]);
    return reinterpret_cast<INT_PTR>(page->swatches[slot]);
}

INT_PTR CALLBACK pageProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* page = reinterpret_cast<SheetPage*>(lp);
        SetWindowLongPtrW(window, DWLP_USER, lp);
        page->window = window;
        for (int i = 0; i < page->fieldCount; ++i) showField(window, page->fields[i]);
        if (page->handler != nullptr) page->handler(page, msg, wp, lp);
        return FALSE;
    }
    auto* page = reinterpret_cast<SheetPage*>(GetWindowLongPtrW(window, DWLP_USER));
    if (page == nullptr) return FALSE;
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (HIWORD(wp) == EN_KILLFOCUS) {
                if (const Field* field = findField(page, id)) normaliseEdit(window, *field);
            } else if (HIWORD(wp) == BN_CLICKED && findColor(page, id, false) != nullptr) {
                pickColor(page, *findColor(page, id, false));
                return TRUE;
            }
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (header->code == UDN_DELTAPOS) {
                spin(page, reinterpret_cast<const NMUPDOWN*>(lp));
                SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);  // the spinner keeps its position
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC: {
            const INT_PTR brush = swatchBrush(page, reinterpret_cast<HWND>(lp));
            if (brush != FALSE) return brush;
            break;
        }
        case WM_DESTROY:
            for (HBRUSH& brush : page->swatches) {
                if (brush != nullptr) DeleteObject(brush);
                brush = nullptr;
            }
            break;
        default: break;
    }
    return page->handler != nullptr ? page->handler(page, msg, wp, lp) : FALSE;
}

void showPage(Sheet* sheet, int index) {
    if (index < 0 || index >= sheet->pageCount) index = 0;
    for (int i = 0; i < sheet->pageCount; ++i) ShowWindow(sheet->pages[i].window, SW_HIDE);
    TabCtrl_SetCurSel(GetDlgItem(sheet->dialog, kSheetTab), index);
    ShowWindow(sheet->pages[index].window, SW_SHOW);
    SetFocus(sheet->pages[index].window);
    *sheet->current = static_cast<float>(index);
}

// A page as a child of the sheet: no caption or frame, inside the tab's
// display area, its caption the tab text.
void createPage(Sheet* sheet, SheetPage* page, int index, const RECT& area) {
    page->sheet = sheet;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(page->dialogId),
                                     sheet->dialog, pageProc, reinterpret_cast<LPARAM>(page));
    if (window == nullptr) return;
    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    SendDlgItemMessageW(sheet->dialog, kSheetTab, TCM_INSERTITEMW, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&item));
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    style &=
        ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_POPUP | DS_MODALFRAME | WS_SYSMENU);
    SetWindowLongPtrW(window, GWL_STYLE, style | WS_CHILD);
    for (int id : {IDOK, IDCANCEL}) {
        if (HWND button = GetDlgItem(window, id)) ShowWindow(button, SW_HIDE);
    }
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_FRAMECHANGED | SWP_HIDEWINDOW);
}

void initSheet(HWND dialog, Sheet* sheet, int startPage) {
    sheet->dialog = dialog;
    HWND tab = GetDlgItem(dialog, kSheetTab);
    RECT area;
    GetWindowRect(tab, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    // The tabs are inserted first so that the display area below them is known.
    for (int i = 0; i < sheet->pageCount; ++i) createPage(sheet, &sheet->pages[i], i, area);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    for (int i = 0; i < sheet->pageCount; ++i) {
        SetWindowPos(sheet->pages[i].window, HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
    }
    showPage(sheet, startPage >= 0 ? startPage : static_cast<int>(*sheet->current));
}

void endSheet(Sheet* sheet, int result) {
    if (result == 1) WriteSheetFields(sheet);
    for (int i = 0; i < sheet->pageCount; ++i) {
        SheetPage& page = sheet->pages[i];
        if (page.handler != nullptr)
            page.handler(&page, WM_COMMAND, result == 1 ? IDOK : IDCANCEL, 0);
    }
    EndDialog(sheet->dialog, result);
}

INT_PTR CALLBACK sheetProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        initSheet(dialog, reinterpret_cast<Sheet*>(lp),
                  static_cast<int>(*reinterpret_cast<Sheet*>(lp)->current));
        return FALSE;
    }
    auto* sheet = reinterpret_cast<Sheet*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (sheet == nullptr) return FALSE;
    if (msg == WM_COMMAND) {
        switch (LOWORD(wp)) {
            case IDOK: endSheet(sheet, 1); return TRUE;
            case IDCANCEL: endSheet(sheet, 0); return TRUE;
            case kSheetApply:
                WriteSheetFields(sheet);
                if (sheet->apply != nullptr) sheet->apply(sheet);
                return TRUE;
            default: break;
        }
    } else if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == TCN_SELCHANGE) {
        showPage(sheet, TabCtrl_GetCurSel(GetDlgItem(dialog, kSheetTab)));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int RunSheet(HWND owner, Sheet* sheet, int startPage) {
    if (startPage >= 0) *sheet->current = static_cast<float>(startPage);
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(sheet->dialogId), owner,
                        sheetProc, reinterpret_cast<LPARAM>(sheet));
    return result == 1 ? 1 : 0;
}

void WriteSheetFields(Sheet* sheet) {
    for (int i = 0; i < sheet->pageCount; ++i) {
        const SheetPage& page = sheet->pages[i];
        for (int k = 0; k < page.fieldCount; ++k) {
            normaliseEdit(page.window, page.fields[k]);
            readField(page.window, page.fields[k]);
        }
    }
}

void SetColorChooserHook(ColorChooserHook hook) {
    gColorHook = hook;
}

bool ChooseColor(HWND owner, uint32_t* color, uint32_t customColors[16]) {
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = customColors[i];
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = *color;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    const bool chosen =
        gColorHook != nullptr ? gColorHook(&choose) : ChooseColorW(&choose) != FALSE;
    // The custom colours are kept even when the choice is cancelled, as the
    // chooser's own dialog keeps them.
    for (int i = 0; i < 16; ++i) customColors[i] = custom[i];
    if (chosen) *color = choose.rgbResult;
    return chosen;
}

std::string ControlText(HWND window, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(window, id, text, 1024);
    return tlvNarrow(text);
}

void SetControlText(HWND window, int id, const std::string& text) {
    SetDlgItemTextW(window, id, tlvWiden(text.c_str()).c_str());
}
