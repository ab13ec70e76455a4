#include "view/path_render.h"

#include "pathdata/motion_style.h"
#include "tests/motion_records.h"
#include "tests/view/recording_canvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// An XY pane of 1000 x 1000 pixels showing model units as pixels with the
// origin at the centre.
struct Pane {
    RecordingCanvas canvas;
    TestPane view{&canvas, kViewXY, {0, 0, 1000, 1000}};
    RenderTarget& target = view.target;
};

MotionRecord straight(int g, uint8_t flags, uint16_t axes, float x1, float y1, float z1) {
    return lineRecord(g, flags | kModePlaneXY, axes, {0, 0, 0}, {x1, y1, z1});
}

// An arc of radius 100 about the origin, starting on +X.
MotionRecord arc(int g, float sweepFrom, float sweepTo, float z0, float z1) {
    const double a = (g == 2 ? sweepFrom : sweepTo) * 0.017453292519943295;
    const float end[3] = {static_cast<float>(100 * std::cos(a)),
                          static_cast<float>(100 * std::sin(a)), z1};
    return arcRecord(g, kModePlaneXY, {0, 0, 0}, 100, {100, 0, z0}, {end[0], end[1], end[2]},
                     sweepFrom, sweepTo);
}

TEST(PathRender, ArcSegmentCounts) {
    const float cases[][2] = {{90, 14}, {360, 54}, {10, 4}, {0, 4}, {400, 54}, {26.6f, 4}, {30, 5}};
    for (const auto& c : cases) EXPECT_EQ(ArcSegmentCount(c[0]), c[1]) << c[0];
}

TEST(PathRender, ClockwiseHelicalArcRunsFromEndToStart) {
    Pane p;
    // G02 from (100,0) clockwise a quarter turn to (0,-100), Z 0 -> 8: the
    // sweep 270..360 is drawn counter-clockwise from the end point.
    MotionRecord r = arc(2, 270, 360, 0, 8);
    float end[3] = {-1, -1, -1};
    ASSERT_EQ(DrawMotion(p.target, r, end), 1);
    ASSERT_EQ(p.canvas.countPen(kPenCutting), 14);  // every segment in the cutting pen,
    EXPECT_EQ(p.canvas.segments.size(), 14u);
    EXPECT_EQ(p.canvas.paths, 1);  // stroked as one path
    const RecordedSegment& first = p.canvas.segments.front();
    const RecordedSegment& last = p.canvas.segments.back();
    EXPECT_NEAR(first.x0, 500, 1);  // (0, -100) -> screen (500, 600)
    EXPECT_NEAR(first.y0, 600, 1);
    EXPECT_NEAR(last.x1, 600, 1);   // (100, 0) -> screen (600, 500)
    EXPECT_NEAR(last.y1, 500, 1);
    EXPECT_FLOAT_EQ(end[2], 8);  // the end point is the programmed end
    EXPECT_NEAR(end[1], -100, 1e-3);

    // The normal coordinate rises from the end point's value to the start's:
    // seen from the side (XZ), the first point is at Z 8 and the last at 0.
    RecordingCanvas canvas;
    TestPane side(&canvas, kViewXZ, {0, 0, 1000, 1000}, 4.0f);
    DrawMotion(side.target, r, nullptr);
    EXPECT_EQ(canvas.segments.front().y0, 500 - 32);
    EXPECT_EQ(canvas.segments.back().y1, 500);
}

TEST(PathRender, StraightMoveStylesFollowTheMask) {
    const struct {
        MotionRecord r;
        int pen;
    } cases[] = {
        {straight(1, 0, kAxisZ, 0, 0, -10), kPenCuttingZ},
        {straight(1, 0, kAxisX | kAxisZ, 5, 0, -10), kPenCutting},
        {straight(0, kModeG41, kAxisX, 5, 0, 0), kPenRapid},
        {straight(1, kModeG42, kAxisX, 5, 0, 0), kPenCompensation},
        {straight(29, 0, kAxisZ, 0, 0, 5), kPenRapid},
    };
    for (const auto& c : cases) {
        Pane p;
        float end[3] = {0, 0, 0};
        ASSERT_EQ(DrawMotion(p.target, c.r, end), 1);
        ASSERT_EQ(p.canvas.segments.size(), 1u);
        EXPECT_EQ(p.canvas.segments[0].pen, c.pen);
        const float wantZ = c.r.line.end[2];
        EXPECT_EQ(end[2], wantZ);
        // With that style masked off nothing is drawn and end stays put.
        Pane masked;
        masked.target.displayMask = kDefaultDisplayMask & ~styleShowBit(c.pen);
        float kept[3] = {7, 7, 7};
        EXPECT_EQ(DrawMotion(masked.target, c.r, kept), 0);
        EXPECT_TRUE(masked.canvas.segments.empty());
        EXPECT_EQ(kept[0], 7);
    }
}

TEST(PathRender, CycleDrawsEveryHoleAndEndsAtTheLastBottom) {
    MotionRecord r = {};
    r.kind = kMotionCycle;
    r.gCode = 81;
    r.cycle.start[2] = 50;
    r.cycle.rPoint[2] = 2;
    r.cycle.bottom[2] = -10;
    r.cycle.toolRadius = 3;
    r.cycle.repeatCount = 3;
    r.cycle.stepX = 10;
    Pane p;
    float end[3] = {0, 0, 0};
    ASSERT_EQ(DrawMotion(p.target, r, end), 1);
    EXPECT_EQ(end[0], 20);
    EXPECT_EQ(end[2], -10);
    // Per hole: two rapid lines, one feed line, and the outline: two
    // circles of 54 segments plus 11 ribs (zero-length in this view).
    EXPECT_EQ(p.canvas.countPen(kPenRapid), 6);
    EXPECT_EQ(p.canvas.countPen(kPenCuttingZ), 3);
    EXPECT_EQ(p.canvas.countPen(kPenCutting), 3 * (2 * 54 + 11));
    Pane none;
    none.target.displayMask = kShowAxes;
    EXPECT_EQ(DrawMotion(none.target, r, end), 0);
}

TEST(PathRender, FilterHidesProgramsAndTools) {
    DisplayFilter filter;
    filterClear(&filter);
    filterAddProgram(&filter, 100);
    filterAddTool(&filter, 5);
    MotionRecord r = straight(1, 0, kAxisX, 10, 0, 0);
    const struct {
        int program, tool;
        bool drawn;
    } cases[] = {{100, 5, true}, {10000, 0, true}, {100, 6, false}, {200, 0, false}, {0, 0, true}};
    for (const auto& c : cases) {
        Pane p;
        p.target.filter = &filter;
        r.programNumber = static_cast<int16_t>(c.program);
        r.toolNumber = static_cast<int16_t>(c.tool);
        EXPECT_EQ(DrawMotion(p.target, r, nullptr), c.drawn ? 1 : 0) << c.program << " " << c.tool;
    }
    filterSetToolShown(&filter, 5, false);
    EXPECT_FALSE(IsRecordShown(&filter, 100, 5));
    filterInvert(&filter, false);
    filterInvert(&filter, false);
    EXPECT_FALSE(IsRecordShown(&filter, 100, 5));  // inverting twice restores
    filterShowAll(&filter, false);
    EXPECT_TRUE(IsRecordShown(&filter, 100, 5));
    EXPECT_FALSE(IsRecordShown(&filter, 100, 6));  // never present, never shown
}

// Straight moves are clipped to the pane (the clipping table has the
// cases); an arc wholly outside strokes no path at all.
TEST(PathRender, OffscreenSegmentsAreClippedOrDropped) {
    Pane p;
    DrawMotion(p.target, straight(1, 0, kAxisX, 5000, 0, 0), nullptr);
    ASSERT_EQ(p.canvas.segments.size(), 1u);
    EXPECT_EQ(p.canvas.segments[0].x1, 1000);
    p.canvas.segments.clear();
    MotionRecord far = arc(3, 0, 90, 0, 0);
    far.arc.centre[0] = 5000;
    far.arc.start[0] = 5100;
    DrawMotion(p.target, far, nullptr);
    EXPECT_TRUE(p.canvas.segments.empty());
    EXPECT_EQ(p.canvas.paths, 0);
}

TEST(PathRender, ToolImageWireframeAndDot) {
    Pane p;
    p.target.displayMask |= kShowToolImage;
    ToolShape mill = {10, 50, 2};
    const float at[3] = {0, 0, 0};
    DrawToolImage(p.target, &mill, at);
    // Five corner rings and three sections: 8 frustums with 11 ribs each,
    // bottom circles on all 8, a top circle only on the holder.
    EXPECT_EQ(p.canvas.countPen(kPenTool), 8 * 11 + 9 * 54);
    EXPECT_EQ(p.canvas.xorChanges, (std::vector<bool>{true, false}));

    Pane dot;
    DrawToolImage(dot.target, &mill, at);
    ASSERT_EQ(dot.canvas.ellipses.size(), 1u);
    EXPECT_EQ(dot.canvas.ellipses[0].x0, 496);
    EXPECT_EQ(dot.canvas.ellipses[0].y1, 505);
    const float outside[3] = {900, 0, 0};
    Pane none;
    DrawToolImage(none.target, nullptr, outside);
    EXPECT_TRUE(none.canvas.ellipses.empty());
}

TEST(PathRender, AxesAndWorkPlane) {
    Pane p;
    const uint32_t colors[3] = {0xFF, 0xFF00, 0xFF0000};
    DrawAxes(p.target, 1.0f, colors);
    ASSERT_EQ(p.canvas.segments.size(), 3u);
    EXPECT_EQ(p.canvas.segments[0].x1, 550);  // 50 pixels along +X
    EXPECT_EQ(p.canvas.segments[1].y1, 450);  // 50 pixels up for +Y
    ASSERT_EQ(p.canvas.texts.size(), 3u);
    EXPECT_EQ(p.canvas.texts[0], "X@551,501#255");
    RecordingCanvas grid;
    RenderTarget t = p.target;
    t.canvas = &grid;
    DrawWorkPlane(t, kViewXY, RangeBox{{0, 0, 0}, {120, 60, 30}});
    // 13 + 13 grid lines and 12 box edges; the verticals collapse in XY
    // but are still drawn.
    EXPECT_EQ(grid.segments.size(), 26u + 12u);
    EXPECT_EQ(grid.countPen(kPenWorkPlane), 38);
    EXPECT_EQ(grid.segments[2].y0, 500 - 5);  // second line along X at y = 5
}

}  // namespace
