// The one road from NC files to a drawing: reset, load every file, translate
// from the main program, collect the path records, then show the result or
// say why it failed.
#pragma once

#include "pathdata/drawing.h"

// Opens files (count names; none asks with the open dialog), replacing the
// loaded programs or, with add, adding to them. Returns 0 when nothing was
// done (a trace runs, the dialog was cancelled), else 1 whether the load
// succeeded or not; drawing->loaded tells which. Failures are shown through
// ui->message.
int OpenNcFiles(Drawing* drawing, DrawingUi* ui, bool add, const char* const* files, int count);

// The range box of a path range: each axis widened by a tenth of its
// length on both sides; an axis that holds no point keeps the default.
RangeBox RangeBoxOf(const float pathMin[3], const float pathMax[3]);
