// The main window's arrangement and bookkeeping: the layout of its bars and
// panels, its caption, its placement and panel sizes kept in the settings,
// the changed-file check, and the other running instances.
#pragma once

#include "app/win32/frame_state.h"

#include <windows.h>

void LayoutFrame(FrameState* fs);
// The splitter gap: twice the border plus one, per direction.
SIZE SplitterGap();
void UpdateFrameTitle(FrameState* fs, bool fullPath);
void SaveFramePlacement(FrameState* fs);
// The panel sizes into the settings, the register panel's as the person
// set it rather than as a small window shows it.
void SaveFramePanels(FrameState* fs);
// The smallest frame the layout still makes sense in, at the screen's DPI.
SIZE FrameMinimumSize();
// Asks about each loaded file that changed on disk; Yes reloads.
void CheckChangedFiles(FrameState* fs);

// The top-level TLV_FrameClass windows, at most capacity of them.
int FindInstances(HWND* out, int capacity);
