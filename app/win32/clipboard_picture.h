// The copy command: the active pane as a bitmap and as an enhanced
// metafile, and the NC report as text, on the clipboard.
#pragma once

#include <windows.h>

struct FrameState;

// Copies the active pane; refused (false) without a drawing or during a
// trace. True when the bitmap was placed, which needs a pane that was
// painted at least once; the metafile and the text are placed regardless.
// The rubber band is removed in every case.
bool CopyPicture(FrameState* fs);
