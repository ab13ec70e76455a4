// The notes window: a small modeless window listing the notes of the last
// load (line, program, message); a double-click or Enter on a row shows
// that line in the code list. It belongs to the main window and closes
// with it.
#pragma once

#include <windows.h>

struct FrameState;

// The main window's notes window, or null while it was never opened.
HWND NotesWindow(HWND frame);
// Creates the window on first use, fills it and shows it; nothing while the
// main window is hidden (a batch run).
void ShowNotesWindow(FrameState* fs);
// Refills the window, when it exists, from the drawing's notes: called
// after every load, so a load without notes leaves it empty.
void RefreshNotesWindow(FrameState* fs);
