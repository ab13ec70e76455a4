#include "view/pane_paint.h"

namespace {

// Escape is polled this often during long paints: rarely enough to cost
// nothing, often enough to answer within a fraction of a second.
constexpr int32_t kPollInterval = 5001;

int32_t drawRecords(const RenderTarget& t, const PanePaintInput& in) {
    int mapped = 0;
    const MotionRecord* view = pathStoreView(in.paths, &mapped);
    for (int32_t i = 0; i < in.recordCount; ++i) {
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
    return in.recordCount;
}

}  // namespace

int32_t PaintPaneContent(const RenderTarget& t, const PanePaintInput& in) {
    if (t.displayMask & kShowWorkPlane) DrawWorkPlane(t, in.kind, *in.range);
    int32_t drawn = in.paths != nullptr ? drawRecords(t, in) : 0;
    if (t.displayMask & kShowAxes) DrawAxes(t, in.scale, in.axisColors);
    if (in.tool != nullptr) DrawToolImage(t, in.tool, in.toolPosition);
    return drawn;
}
