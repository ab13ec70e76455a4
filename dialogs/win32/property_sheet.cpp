#include "dialogs/win32/property_sheet.h"

#include "dialogs/win32/common_dialogs.h"
#include "dialogs/win32/sheet.h"
#include "panes/panes.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/strings.h"
#include "view/win32/pane_windows.h"

#include <commctrl.h>

#include <cstring>

namespace {

// The colour chooser's custom colours live as long as the program; they
// start as the colour map when the sheet first opens.
uint32_t gCustomColors[kColorCount];
bool gCustomLoaded = false;
float gCurrentPage = 0.0f;

constexpr int kMatrixButtons = 8;  // from IDC_VIEW_MATRIX_FIRST: 4 of pattern 1, 4 of pattern 2

struct PropertyContext {
    HWND frame;
    AppSettings* settings;
    PropertyWork work;
};

PropertyContext* contextOf(SheetPage* page) {
    return static_cast<PropertyContext*>(page->sheet->context);
}

void showMatrix(SheetPage* page) {
    const PropertyWork& work = contextOf(page)->work;
    for (int k = 0; k < kMatrixButtons; ++k) {
        SetDlgItemTextA(page->window, IDC_VIEW_MATRIX_FIRST + k,
                        ViewKindTitle(work.matrix[k / 4][k % 4]));
    }
}

// The defaults of both matrices and of every plane's angles.
void resetViews(SheetPage* page) {
    PropertyWork& work = contextOf(page)->work;
    memcpy(work.matrix[0], kDefaultMatrix1, sizeof work.matrix[0]);
    memcpy(work.matrix[1], kDefaultMatrix2, sizeof work.matrix[1]);
    for (int kind = 0; kind < kPaneCount; ++kind) ViewDefaultAngles(kind, work.angles[kind]);
    showMatrix(page);
    EnableWindow(GetDlgItem(page->window, IDC_VIEW_RESET), FALSE);
}

INT_PTR viewPage(SheetPage* page, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) {
        showMatrix(page);
        return TRUE;
    }
    if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
    const int id = LOWORD(wp);
    if (id >= IDC_VIEW_MATRIX_FIRST && id < IDC_VIEW_MATRIX_FIRST + kMatrixButtons) {
        const int k = id - IDC_VIEW_MATRIX_FIRST;
        int32_t& kind = contextOf(page)->work.matrix[k / 4][k % 4];
        kind = (kind + 1) % kPaneCount;
        showMatrix(page);
        EnableWindow(GetDlgItem(page->window, IDC_VIEW_RESET), TRUE);
        return TRUE;
    }
    if (id == IDC_VIEW_RESET) resetViews(page);
    return id == IDC_VIEW_RESET;
}

// The open dialog for a program, started from the field's text; the choice
// replaces it.
void browseProgram(HWND page, int field) {
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, tlvWiden(ControlText(page, field).c_str()).c_str(), MAX_PATH);
    const std::wstring title = tlvWiden(tlvString(IDS_CHOOSE_APPLICATION));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetAncestor(page, GA_ROOT);
    const std::wstring filter = tlvFilterOf(tlvWiden(tlvString(IDS_FILTER_APPLICATION)));
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (tlvFileDialog(&ofn, false)) SetDlgItemTextW(page, field, path);
}

INT_PTR optionsPage(SheetPage* page, UINT msg, WPARAM wp, LPARAM) {
    AppSettings* settings = contextOf(page)->settings;
    if (msg == WM_INITDIALOG) {
        EnableWindow(GetDlgItem(page->window, IDC_OPT_CLEAR_HISTORY), HistoryCount(*settings) > 0);
        return TRUE;
    }
    if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
    switch (LOWORD(wp)) {
        case IDC_OPT_CLEAR_HISTORY:
            // At once, not on OK: the one change Cancel does not undo.
            ClearHistory(settings);
            EnableWindow(GetDlgItem(page->window, IDC_OPT_CLEAR_HISTORY), FALSE);
            return TRUE;
        case IDC_OPT_EDITOR_BROWSE: browseProgram(page->window, IDC_OPT_EDITOR_NAME); return TRUE;
        case IDC_OPT_SEND_BROWSE: browseProgram(page->window, IDC_OPT_SEND_NAME); return TRUE;
        default: return FALSE;
    }
}

void applyFromSheet(Sheet* sheet) {
    PropertyContext* context = static_cast<PropertyContext*>(sheet->context);
    ApplyPropertyValues(context->frame, context->settings, context->work);
}

constexpr Field edit(int id, FieldType type, void* value, float minimum, float maximum,
                     const char* format = nullptr, bool spinner = false) {
    return {id, FieldKind::Edit, type, spinner, value, minimum, maximum, format};
}
constexpr Field check(int id, int32_t* value) {
    return {id, FieldKind::Check, FieldType::Integer, false, value, 0, 0, nullptr};
}
constexpr Field radio(int id, int32_t* value, int count) {
    return {
        id,     FieldKind::Radio, FieldType::Integer, false, value, 0, static_cast<float>(count),
        nullptr};
}
constexpr Field text(int id, char* value) {
    return edit(id, FieldType::Text, value, 0, kSettingsTextSize);
}

// Pane angles and the matrix of a pattern that moves pane state with it.
bool applyMatrix(PaneSet* set, AppSettings* s, int pattern, const int32_t kinds[kPaneCount]) {
    if (set == nullptr) {
        memcpy(s->viewMatrix[pattern], kinds, sizeof s->viewMatrix[pattern]);
        return true;
    }
    PaneLayout layout = {};
    memcpy(layout.matrix, s->viewMatrix, sizeof layout.matrix);
    layout.pattern = s->viewSeparate == 1 ? 1 : 0;
    if (!ApplyMatrix(&set->view, &layout, pattern, kinds)) return false;
    memcpy(s->viewMatrix, layout.matrix, sizeof s->viewMatrix);
    for (int slot = 0; slot < kPaneCount; ++slot) {
        if (set->windows[slot] != nullptr)
            SetWindowTextA(set->windows[slot], set->view.panes[slot].title);
    }
    return true;
}

// Each pane of the current pattern takes the working angles of its plane.
void applyAngles(PaneSet* set, const AppSettings& s, const PropertyWork& work) {
    if (set == nullptr) return;
    const int pattern = s.viewSeparate == 1 ? 1 : 0;
    for (int slot = 0; slot < kPaneCount; ++slot) {
        ViewPane& pane = set->view.panes[slot];
        const float* angles = work.angles[s.viewMatrix[pattern][slot] & 3];
        if (pane.angleX == angles[0] && pane.angleY == angles[1] && pane.angleZ == angles[2])
            continue;
        pane.angleX = angles[0];
        pane.angleY = angles[1];
        pane.angleZ = angles[2];
        FitView(&set->view, slot);
    }
}

void redrawFrame(HWND frame, PaneSet* set, const AppSettings& s) {
    ShowWindow(GetDlgItem(frame, IDC_REBAR), (s.enableMap & EM_TOOLBAR) != 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(frame, IDC_STATUSBAR),
               (s.enableMap & EM_STATUSBAR) != 0 ? SW_SHOW : SW_HIDE);
    RECT client;
    GetClientRect(frame, &client);
    PostMessageW(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    if (set == nullptr) return;
    LayoutPanes(set);
    InvalidatePanes(set, -1, true);
}

}  // namespace

void ApplyPropertyValues(HWND frame, AppSettings* settings, const PropertyWork& work) {
    if (settings == nullptr) return;
    AppSettings& s = *settings;
    PaneSet* set = PaneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL));
    const PropertyChanges changes = ApplyPropertyWork(work, &s, gCustomColors);
    gCustomLoaded = true;
    bool matrixApplied = false;
    for (int p = 0; p < 2; ++p) {
        if (changes.matrix[p])
            matrixApplied = applyMatrix(set, &s, p, work.matrix[p]) || matrixApplied;
    }
    applyAngles(set, s, work);
    if (changes.anglesOrColors) {
        if (set != nullptr) BuildPens(&set->pens, kPensColour, s.colorMap, s.widthMap);
        ApplyRegisterListStyle(frame);
        ApplyCodeListStyle(frame);
    } else {
        if (changes.registerStyle) ApplyRegisterListStyle(frame);
        if (changes.codeStyle) ApplyCodeListStyle(frame);
    }
    if (changes.anglesOrColors || changes.viewStatus || matrixApplied) redrawFrame(frame, set, s);
}

int ShowPropertySheet(HWND frame, AppSettings* settings, int start) {
    if (settings == nullptr) return 0;
    AppSettings& s = *settings;
    if (!gCustomLoaded) memcpy(gCustomColors, s.colorMap, sizeof gCustomColors);
    gCustomLoaded = true;
    // The working angles are the panes' own: they change only by the reset.
    float angles[kPaneCount][3];
    if (PaneSet* set = PaneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL))) {
        CollectPaneAngles(set, angles);
        StorePaneRotations(&s, angles);
    }
    PropertyContext context = {frame, &s, {}};
    PropertyWork& w = context.work;
    LoadPropertyWork(s, gCustomColors, &w);

    const Field registerFields[] = {radio(1030, &w.registerFont, 3), check(1033, &w.registerBold),
                                    check(1034, &w.registerItalic)};
    const ColorButton registerColors[] = {{1035, 1036, 11}};
    const Field codeFields[] = {radio(1040, &w.codeFont, 3), check(1043, &w.codeBold),
                                check(1044, &w.codeItalic)};
    const ColorButton codeColors[] = {
        {1045, 1046, 10}, {1048, 1047, 12}, {1050, 1049, 13}, {1052, 1051, 14}};
    Field viewFields[kDisplayMaskBoxes + 1];
    for (int i = 0; i < kDisplayMaskBoxes; ++i) viewFields[i] = check(1060 + i, &w.displayMask[i]);
    viewFields[kDisplayMaskBoxes] = edit(1091, FieldType::Real, &s.zoomValue, 1, 99, "%.3lf", true);
    const ColorButton viewColors[] = {{1069, 1068, 0}, {1071, 1070, 1}, {1073, 1072, 2},
                                      {1075, 1074, 3}, {1077, 1076, 4}, {1079, 1078, 8},
                                      {1081, 1080, 9}};
    const Field optionFields[] = {text(IDC_OPT_EDITOR_NAME, s.editorName),
                                  text(1093, s.editorArg),
                                  text(IDC_OPT_SEND_NAME, s.sendName),
                                  text(1100, s.sendArg),
                                  edit(1095, FieldType::Integer, &s.traceWait[0], 0, 9999),
                                  edit(1096, FieldType::Integer, &s.traceWait[1], 0, 9999),
                                  edit(1097, FieldType::Integer, &s.traceWait[2], 0, 9999),
                                  text(1094, s.openFilter),
                                  check(1129, &w.singleInstance)};
    SheetPage pages[] = {
        {IDD_PAGE_REGISTER, nullptr, registerFields, 3, registerColors, 1, nullptr, nullptr, {}},
        {IDD_PAGE_CODE, nullptr, codeFields, 3, codeColors, 4, nullptr, nullptr, {}},
        {IDD_PAGE_VIEW,
         viewPage,
         viewFields,
         kDisplayMaskBoxes + 1,
         viewColors,
         7,
         nullptr,
         nullptr,
         {}},
        {IDD_PAGE_OPTIONS, optionsPage, optionFields, 9, nullptr, 0, nullptr, nullptr, {}},
    };
    Sheet sheet = {IDD_PROPERTY_SHEET, &gCurrentPage,  pages,    4,      w.colors,
                   w.customColors,     applyFromSheet, &context, nullptr};
    if (RunSheet(frame, &sheet, start) != 1) return 0;
    ApplyPropertyValues(frame, &s, w);
    return 1;
}
