// The display filter window "表示フィルタ": a modeless dialog with a check
// list of the loaded programs and one of the tools used, each with "全て"
// (show all) and "反転" (invert). A click on an item's mark shows or hides
// that program's or tool's moves in the panes, the exports and the trace.
#pragma once

#include <windows.h>

struct FrameState;

// Creates the window hidden, owned by frame, with its lists filled; the
// first toggle does so.
HWND CreateFilterWindow(FrameState* fs);
// The window, or null before it was created.
HWND FilterWindow();
// Shows the window when hidden, hides it when shown.
void ToggleFilterWindow(FrameState* fs);
// Fills both lists again from the drawing's filter sets.
void RefreshFilterLists(FrameState* fs);
