// The tabbed property sheet: a modal dialog whose tab control holds pages
// made from child dialogs. Each page binds its controls through a field
// table, so that opening, the focus-loss clamp, the spinners, OK and Cancel
// are one code path for every page; pages with lists add a handler.
#pragma once

#include "dialogs/field_rules.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <string>

constexpr int kSheetTab = 1089;    // the tab control of every sheet
constexpr int kSheetApply = 1090;  // the Apply button, where a sheet has one
constexpr int kPageColorMax = 8;

// A colour button and the static control that shows its colour.
struct ColorButton {
    int button;
    int swatch;
    int entry;  // index into the sheet's working colours
};

struct Sheet;
struct SheetPage;

// A page's own messages: after the fields are shown it gets WM_INITDIALOG;
// on OK and Cancel of the sheet a WM_COMMAND with IDOK or IDCANCEL; and
// every command and notification the framework leaves alone.
using PageHandler = INT_PTR (*)(SheetPage* page, UINT msg, WPARAM wp, LPARAM lp);

struct SheetPage {
    int dialogId;
    PageHandler handler;  // null for a page of fields only
    const Field* fields;
    int fieldCount;
    const ColorButton* colors;
    int colorCount;
    // Filled while the sheet is open.
    Sheet* sheet;
    HWND window;
    HBRUSH swatches[kPageColorMax];
};

struct Sheet {
    int dialogId;
    float* current;  // page shown, kept between openings
    SheetPage* pages;
    int pageCount;
    uint32_t* colors;             // working colours of the colour buttons
    uint32_t* customColors;       // 16 for the colour chooser
    void (*apply)(Sheet* sheet);  // the Apply button, after the fields are written back
    void* context;
    HWND dialog;
};

// Runs the sheet at startPage (-1: the page shown last). 1 for OK, 0 else.
int RunSheet(HWND owner, Sheet* sheet, int startPage);
// Every field of every page clamped and read back into its bound value.
void WriteSheetFields(Sheet* sheet);

// The system colour chooser, started at *color with the custom colours;
// true and *color changed when the person confirmed. Tests answer through
// the hook instead.
using ColorChooserHook = bool (*)(CHOOSECOLORW* choose);
void SetColorChooserHook(ColorChooserHook hook);
bool ChooseColor(HWND owner, uint32_t* color, uint32_t customColors[16]);

// Control text as CP932 and back.
std::string ControlText(HWND window, int id);
void SetControlText(HWND window, int id, const std::string& text);
