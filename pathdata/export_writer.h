// Writers of the DXF drawing and the CSV point list, one motion record at a
// time: phase 0 writes the header, 1 one record's entities, 2 the trailer.
#pragma once

#include "engine/motion_record.h"
#include "pathdata/text_sink.h"

#include <cstdint>

// What the DXF header and layer table need besides the records.
struct DxfStyle {
    float rangeMin[3];      // the views' range box
    float rangeMax[3];
    uint32_t colorMap[4];   // rapid, cutting, cutting Z, compensation (0x00BBGGRR)
    uint32_t displayMask;   // kShow* bits; a hidden layer gets a negative colour
};

enum ExportPhase { kPhaseHeader = 0, kPhaseRecord = 1, kPhaseTrailer = 2 };

// Each returns 1, or 0 as soon as a write fails.
int WriteDxf(TextSink* sink, int phase, const MotionRecord* record, const DxfStyle* style);
int WriteCsv(TextSink* sink, int phase, const MotionRecord* record);

// The DXF colour number of a layer colour (before the sign for hidden layers).
int DxfColorNumber(uint32_t color);
