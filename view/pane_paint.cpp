#include "view/pane_paint.h"

namespace {

// Escape is polled this often during long paints: rarely enough to cost
// nothing, often enough to answer within a fraction of a second.
constexpr int32_t kPollInterval = 5001;

int32_t drawRecords(const RenderTarget& t, const PanePaintInput& in, int32_t first, int32_t end) {
    int mapped = 0;
    const MotionRecord* view = pathStoreView(in.paths, &mapped);
    for (int32_t i = first; i < end; ++i) {
        if (i % kPollInterval == 0 && in.stopRequested != nullptr && in.stopRequested(in.context)) {
            return i;
        }
        if (i < mapped) {
            DrawMotion(t, view[i], nullptr);
            continue;
        }
        MotionRecord r;
        if (pathStoreRead(in.paths, i, &r) == 0) return i;
        DrawMotion(t, r, nullptr);
    }
    return end;
}

}  // namespace

int32_t PaintPaneRecords(const RenderTarget& t, const PanePaintInput& in, int32_t first, int32_t end) {
    if (first <= 0 && (t.displayMask & kShowWorkPlane)) DrawWorkPlane(t, in.kind, *in.range);
    const int32_t count = in.paths != nullptr ? in.recordCount : 0;
    if (end > count) end = count;
    if (first < 0) first = 0;
    return first < end ? drawRecords(t, in, first, end) : end;
}

void PaintPaneOverlay(const RenderTarget& t, const PanePaintInput& in) {
    if (t.displayMask & kShowAxes) DrawAxes(t, in.scale, in.axisColors);
    if (in.tool != nullptr) DrawToolImage(t, in.tool, in.toolPosition);
}

int32_t PaintPaneContent(const RenderTarget& t, const PanePaintInput& in) {
    const int32_t drawn = PaintPaneRecords(t, in, 0, in.recordCount);
    PaintPaneOverlay(t, in);
    return drawn;
}
