// The NC report shown in a dialog, in the printer's font.
#pragma once

#include "app/session.h"
#include "pathdata/drawing.h"

#include <windows.h>

// The report of drawing in dialog IDD_REPORT owned by owner; nothing while
// a trace runs or without data.
void ShowReportDialog(HWND owner, const Session& session, const Drawing& drawing);
