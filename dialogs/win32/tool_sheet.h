// The tool sheet: the tool table as a list of 100 rows, edited row by row
// on a copy and written back on OK.
#pragma once

#include "definitions/tool_table.h"

#include <windows.h>

// Opens the sheet (one page, the tool numbers), owned by owner. On OK
// every row's name, diameter and length go into tools and the result is
// true; Cancel changes nothing, whatever "apply" did to the rows.
bool ShowToolSheet(HWND owner, ToolTable* tools, int page = -1);
