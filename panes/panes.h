// The working-window panels of the main window (register, code and view
// panels, class TLV_Working), the code list and the register list.
#pragma once

#include "engine/block_store.h"
#include "engine/notes.h"

#include <windows.h>

// What the panels need from the main window that owns them.
// The pointers into the settings stay live, so that a changed colour or
// font shows at the next paint or style update.
struct PaneHost {
    const uint32_t* colorMap;       // 16 colours 0x00BBGGRR: background, list texts, code rows
    const int32_t* codeStatus;      // the code list's font bits
    const int32_t* registerStatus;  // the register list's font bits
    NcBlockStore* blocks;
    const NcNotes* notes;  // the last load's notes, marked in the code list
    // Sets the enable and check states of a context menu before it shows.
    void (*prepareMenu)(HWND frame, HMENU menu);
};

// The view panel's content is supplied by the views: these entry points are
// called at its creation, destruction and on every size change. Unset ones
// leave the panel empty in the view background colour.
struct ViewPanelHooks {
    void (*create)(HWND panel);
    void (*destroy)(HWND panel);
    void (*layout)(HWND panel);
};
void SetViewPanelHooks(const ViewPanelHooks& hooks);

// Registers the class TLV_Working.
bool RegisterWorkingClass(HINSTANCE instance);
// Creates panel id (IDC_REGISTER_PANEL, IDC_CODE_PANEL or IDC_VIEW_PANEL) in
// parent at size (width, height).
HWND CreatePanel(HWND parent, int id, const int32_t size[2], PaneHost* host);
// Stores the current outer sizes (width, height) of the three panels of
// frame; a missing panel leaves its size as it was.
void SavePanelSizes(HWND frame, int32_t registerSize[2], int32_t codeSize[2], int32_t viewSize[2]);

// The code list (IDC_CODE_LIST in IDC_CODE_PANEL), addressed through the
// main window.
HWND CreateCodeList(HWND panel);
void ApplyCodeListStyle(HWND frame);
void ClearCodeList(HWND frame);
void SetCodeListCount(HWND frame, int32_t rows);
void SelectCodeLine(HWND frame, int32_t row);
void FocusCodeList(HWND frame);
int32_t GetSelectedCodeLine(HWND frame);
// The row that last became the changed item; 0 after clearing.
int32_t GetCurrentCodeLine(HWND frame);
// op -1 clears every mark, 2 toggles the row's mark, 3 reads it. Headers
// and rows without a block are never changed and read as 1.
int SetBreakMark(HWND frame, int op, int32_t row);

// The register list (IDC_REGISTER_LIST in IDC_REGISTER_PANEL).
HWND CreateRegisterList(HWND panel);
void ApplyRegisterListStyle(HWND frame);
void ClearRegisterList(HWND frame);
// Formats the text (at most 1023 bytes), creates missing rows, and rewrites
// the cell only when its text changes (compared without regard to case).
int SetRegisterCell(HWND frame, int row, int column, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
