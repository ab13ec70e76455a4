#include "view/pane_paint.h"

#include "pathdata/motion_style.h"
#include "tests/view/recording_canvas.h"

#include <gtest/gtest.h>

namespace {

// A store of n unit moves along X, one per record.
struct Moves {
    explicit Moves(int n, bool map) {
        store = pathStoreCreate();
        for (int i = 0; i < n; ++i) {
            MotionRecord r = {};
            r.kind = kMotionLine;
            r.gCode = 1;
            r.line.axisMask = kAxisX;
            r.line.start[0] = static_cast<float>(i % 100);
            r.line.end[0] = static_cast<float>(i % 100 + 1);
            pathStoreAppend(store, &r);
        }
        if (map) pathStoreMap(store);
    }
    ~Moves() { pathStoreDestroy(store); }
    PathRecordStore* store;
};

// An XY pane of 400 x 400 pixels and the input of its paint.
struct Paint {
    Paint() {
        input.kind = kViewXY;
        input.scale = 1.0f;
        input.range = &range;
        input.axisColors = colors;
    }
    RecordingCanvas canvas;
    TestPane view{&canvas, kViewXY, {0, 0, 400, 400}};
    RenderTarget& target = view.target;
    RangeBox range = kDefaultRangeBox;
    uint32_t colors[3] = {1, 2, 3};
    PanePaintInput input = {};
};

TEST(PanePaint, DrawsPlaneRecordsAndAxesInOrder) {
    for (bool mapped : {false, true}) {
        Moves moves(10, mapped);
        Paint p;
        p.input.paths = moves.store;
        p.input.recordCount = 10;
        EXPECT_EQ(PaintPaneContent(p.target, p.input), 10);
        // 26 grid lines and 12 box edges first, then the moves, then 3 axes.
        ASSERT_EQ(p.canvas.segments.size(), 38u + 10u + 3u);
        EXPECT_EQ(p.canvas.segments[37].pen, kPenWorkPlane);
        EXPECT_EQ(p.canvas.segments[38].pen, kPenCutting);
        EXPECT_EQ(p.canvas.segments[48].pen, kPenAxisX);
        EXPECT_EQ(p.canvas.texts.size(), 3u);
    }
}

TEST(PanePaint, MaskLeavesOutPlaneAndAxesAndTheTraceCountLimitsRecords) {
    Moves moves(10, true);
    Paint p;
    p.target.displayMask = kShowCutting;
    p.input.paths = moves.store;
    p.input.recordCount = 4;  // a trace shows only what it has reached
    EXPECT_EQ(PaintPaneContent(p.target, p.input), 4);
    EXPECT_EQ(p.canvas.segments.size(), 4u);
    EXPECT_TRUE(p.canvas.texts.empty());
}

TEST(PanePaint, StopIsAskedEvery5001Records) {
    Moves moves(12000, true);
    Paint p;
    p.target.displayMask = kShowCutting;
    p.input.paths = moves.store;
    p.input.recordCount = 12000;
    struct Polls {
        int count = 0;
        int stopAt = 2;
    } polls;
    p.input.context = &polls;
    p.input.stopRequested = [](void* c) {
        auto* q = static_cast<Polls*>(c);
        return ++q->count == q->stopAt;
    };
    EXPECT_EQ(PaintPaneContent(p.target, p.input), 5001);
    EXPECT_EQ(polls.count, 2);
    EXPECT_EQ(p.canvas.segments.size(), 5001u);
}

TEST(PanePaint, ToolImageOnlyWhenGiven) {
    Paint p;
    p.target.displayMask = 0;
    ToolShape tool = {6, 30, 0};
    p.input.tool = &tool;
    PaintPaneContent(p.target, p.input);
    EXPECT_EQ(p.canvas.ellipses.size(), 1u);  // without the wireframe bit: a dot
    EXPECT_EQ(p.canvas.xorChanges.size(), 2u);
}

}  // namespace
