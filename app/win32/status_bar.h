// The status bar (IDC_STATUSBAR) of the main window: one borderless message, or
// during a trace seven owner-drawn parts whose texts are kept here, so that
// a part is redrawn only when its text changes.
#pragma once

#include <windows.h>

constexpr int kStatusParts = 7;
constexpr int kStatusPartTextSize = 256;  // 255 bytes and the NUL

// Creates the bar without divider, shown when shown is set.
HWND CreateStatusBar(HWND frame, bool shown);
// Formats the text (CP932; no format gives an empty text). Part -2 switches
// to the seven parts, -1 to one borderless message showing the text; parts
// 0 to 6 keep the text (cut to 255 bytes) and redraw it when it changed.
// Returns 0 for another part, 2 when a part was redrawn, else 1.
int SetStatusText(HWND frame, int part, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Parts 0, 1, 2, 3, 5 and 6 become empty.
void ClearStatusParts(HWND frame);
// The kept text of part 0 to 6 (empty for another part); -1 gives the
// message last shown alone.
const char* StatusPartText(int part);
// Part widths from the average character width: part 0 takes what the
// others leave of the client width (less 16 pixels unless maximised).
void LayoutStatusBar(HWND frame);
// Draws a part on the bar's draw-item request; false when item is not one.
bool DrawStatusPart(const DRAWITEMSTRUCT* item);
