// The tool sheet: the tool table as a list of 100 rows, edited row by row
// on a copy and written back on OK.
#pragma once

#include <windows.h>

// Opens the sheet (one page, the tool numbers). On OK every row's name,
// diameter and length go into the session's tool table and the result is
// true; Cancel changes nothing, whatever "apply" did to the rows.
bool showToolSheet(HWND frame, int page = -1);
