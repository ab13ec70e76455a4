// Drawing of motion records, the work plane, the axes and the tool image
// into a pane through its matrix.
#pragma once

#include "engine/motion_record.h"
#include "view/canvas.h"
#include "pathdata/display_filter.h"
#include "view/view_transform.h"

#include <cstdint>

// Display mask bits (the views' "Status" setting); the four motion styles
// use kShowRapid..kShowCompensation.
constexpr uint32_t kShowAxes = 0x01;
constexpr uint32_t kShowWorkPlane = 0x02;
constexpr uint32_t kShowToolImage = 0x04;
constexpr uint32_t kShowTitle = 0x100;
constexpr uint32_t kDefaultDisplayMask = 0x1F3;

// Where and how one pane is drawn.
struct RenderTarget {
    Canvas* canvas;
    ViewRect rect;            // target rectangle; y is flipped within it
    const float* matrix;      // the pane's matrix built for rect
    uint32_t displayMask;
    const DisplayFilter* filter;  // null shows everything
};

// The tool drawn during a trace.
struct ToolShape {
    float diameter, length, cornerRadius;
};

// Draws one record with its automatic style. Returns 1 when something was
// drawn or the record was a preset, 0 when it was filtered, masked or of
// another type; endPoint (may be null) receives the record's final
// position only when 1 is returned.
int DrawMotion(const RenderTarget& target, const MotionRecord& record, float endPoint[3]);

// Draws the tool (a wireframe, or a 9-pixel dot without kShowToolImage)
// at the programmed tip position, in XOR so a second call erases it.
void DrawToolImage(const RenderTarget& target, const ToolShape* tool, const float position[3]);

// The coordinate axes, 50 pixels long at scale, labelled in their colours.
void DrawAxes(const RenderTarget& target, float scale, const uint32_t labelColors[3]);
// The range box wireframe and the 13 x 13 grid on the kind's base face.
void DrawWorkPlane(const RenderTarget& target, int kind, const RangeBox& range);

// Number of segments an arc of sweep degrees is drawn with (4 to 54).
int ArcSegmentCount(float sweep);
