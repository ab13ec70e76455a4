// The machine sheet: the parameters with the initial G-code modal list, and
// the replacement strings, edited on a copy of the machine definition.
#pragma once

#include <windows.h>

// Opens the sheet at page 0 parameters or 1 replacement strings (-1 for
// the page shown last). On OK the session's machine definition takes the
// edited values and the result is true; Cancel changes nothing.
bool showMachineSheet(HWND frame, int page = -1);
