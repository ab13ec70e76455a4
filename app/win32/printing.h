// Printing the NC report and the tool path panes: the printer and its
// device mode, the print dialog "印刷" with the report font, and the job
// that paints the panes through the same path as the screen.
#pragma once

#include <windows.h>

struct FrameState;

// Prints pane (or all four with -1) and, by the saved options, the report;
// with the dialog first when withDialog. False when nothing was printed:
// no drawing, a trace runs, no printer, the dialog was cancelled, or (with
// the main window hidden) a dialog would have had to wait for a person.
bool PrintDrawing(FrameState* fs, int pane, bool withDialog);

// Where the spooler writes the next jobs instead of the printer's port;
// null for the port. Tests print to a file with it.
void SetPrintOutput(const wchar_t* path);

// The system font dialog for the report font, limited to fixed-pitch
// screen fonts; face (32 bytes, CP932) and points (size, weight, italic)
// change only on OK.
bool ChooseReportFont(HWND owner, char* face, int points[3]);
