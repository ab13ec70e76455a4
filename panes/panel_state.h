// State shared by the panel window procedure and the two lists.
#pragma once

#include "panes/code_rows.h"
#include "panes/panes.h"

#include <commctrl.h>

#include <string>
#include <vector>

struct PanelState {
    PaneHost* host;
    int id;
    HWND list;      // the register or code list; null for the view panel
    HFONT font;     // the list's font, owned here
    int32_t currentRow;     // code list: the row that last changed
    CodeRowCells cells;     // code list: the cell texts being answered
    wchar_t wide[512];      // ... and the one handed to the control
    std::vector<int32_t> notedRows;  // code list: rows with a note, ascending
};

PanelState* PanelStateOf(HWND panel);
// The state of panel id of the main window, or null.
PanelState* PanelOf(HWND frame, int id);

LRESULT CodeListNotify(HWND panel, PanelState* state, NMHDR* header);
LRESULT RegisterListNotify(HWND panel, PanelState* state, NMHDR* header);

// The lists' font from the menu font and the "Status" bits; replaces (and
// frees) the previous one, or keeps it when a new one cannot be made.
void ApplyListFont(PanelState* state, int32_t statusBits);
// Loads menu menuId, prepares it and tracks it at the pointer for the frame.
void ShowContextMenu(HWND panel, PanelState* state, int menuId);
