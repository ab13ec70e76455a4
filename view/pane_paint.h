// What a full paint of one pane draws, in order, on any canvas: the work
// plane, the motion records, the axes and, during a trace, the tool.
#pragma once

#include "pathdata/path_store.h"
#include "view/path_render.h"

#include <cstdint>

struct PanePaintInput {
    int kind;             // the view kind the pane shows
    float scale;          // the scale the matrix was built with
    const RangeBox* range;
    PathRecordStore* paths;  // null: no drawing data
    int32_t recordCount;           // how many records to draw
    const uint32_t* axisColors;    // label colours of X, Y, Z
    // Asked before every 5001st record (the first included); answering
    // true stops the record loop there. Null never stops.
    bool (*stopRequested)(void* context);
    void* context;
    const ToolShape* tool;  // drawn at toolPosition when not null
    float toolPosition[3];
};

// Draws one pane's content. Returns the number of records drawn through
// (recordCount unless stopped).
int32_t PaintPaneContent(const RenderTarget& target, const PanePaintInput& input);

// The same in parts, so that a picture can be painted in pieces of
// records: the work plane (with the piece that starts at 0) and records
// [first, end), returning where the records stopped (end unless stopped);
// then the axes and the tool over them.
int32_t PaintPaneRecords(const RenderTarget& target, const PanePaintInput& input, int32_t first, int32_t end);
void PaintPaneOverlay(const RenderTarget& target, const PanePaintInput& input);
