// Arrangement of the four panes: the two layout patterns and which view
// kind each slot shows (the layout matrices).
#pragma once

#include "view/view_transform.h"

struct PaneLayout {
    int matrix[2][kPaneCount];  // kinds shown in slots 0..3 of pattern 1 and 2
    int pattern;                // 0 = pattern 1 (2 x 2), 1 = pattern 2 (3 + 1)
};

// The four slot rectangles of a pattern within the view panel's client area.
void ComputePaneRects(int pattern, const ViewRect& client, ViewRect out[kPaneCount]);
// The slot of the current pattern that shows kind, or -1.
int SlotOfKind(const PaneLayout& layout, int kind);
// Switches to pattern; each kind keeps its zoom, pan and rotation although
// it may move to another slot (slots keep their window and rectangle).
// False when pattern is already current or not 0 or 1.
bool SwitchPattern(ViewState* state, PaneLayout* layout, int pattern);
// Stores new kinds for pattern, moving pane state as above when it is the
// current one. An invalid matrix is refused (false) and nothing changes.
bool ApplyMatrix(ViewState* state, PaneLayout* layout, int pattern, const int kinds[kPaneCount]);
