// The property sheet of the register list, the code list, the views and
// the options, and ApplyPropertyValues that puts its values into effect.
#pragma once

#include "dialogs/property_values.h"

#include <windows.h>

// Opens the sheet on settings, owned by the main window frame, at page 0
// register, 1 code, 2 view, 3 options, or -1 for the page shown last.
// Applies the values on OK; returns 1 for OK, else 0.
int ShowPropertySheet(HWND frame, AppSettings* settings, int page);
// Puts work into settings and on frame's children: list styles, pens, the
// pane matrices and angles, the bars and panes redrawn as far as needed.
void ApplyPropertyValues(HWND frame, AppSettings* settings, const PropertyWork& work);
