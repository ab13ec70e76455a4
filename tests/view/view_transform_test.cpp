#include "view/view_transform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// A view state with every pane set up for its own kind on a client area.
ViewState makeState(ViewRect client) {
    ViewState s = {};
    for (int k = 0; k < kPaneCount; ++k) {
        float angles[3];
        ViewDefaultAngles(k, angles);
        InitPane(&s.panes[k], k, angles);
        s.panes[k].clientRect = client;
    }
    s.range = kDefaultRangeBox;
    s.zoomValue = 1.5f;
    s.zoomRecentre = true;
    return s;
}

// Screen position of a model point in pane k after building its matrix.
void screenOf(ViewPane& p, float x, float y, float z, float* sx, float* sy) {
    BuildViewMatrix(&p, p.clientRect, p.scale);
    ProjectPoint(p.matrix, x, y, z, sx, sy);
    *sy = static_cast<float>(p.clientRect.top + p.clientRect.bottom) - *sy;
}

TEST(ViewTransform, DefaultAnglesShowTheNamedPlanes) {
    ViewState s = makeState({0, 0, 200, 200});
    // Unit steps along each model axis, as screen offsets (right, up).
    const struct {
        int kind;
        float axis[3][2];
    } cases[] = {
        {kViewXY, {{1, 0}, {0, 1}, {0, 0}}},
        {kViewXZ, {{1, 0}, {0, 0}, {0, 1}}},
        {kViewYZ, {{0, 0}, {-1, 0}, {0, 1}}},
        {kViewXYZ, {{0.695f, 0.360f}, {-0.719f, 0.347f}, {0, 0.866f}}},
    };
    for (const auto& c : cases) {
        ViewPane& p = s.panes[c.kind];
        float x0, y0;
        screenOf(p, 0, 0, 0, &x0, &y0);
        for (int a = 0; a < 3; ++a) {
            float v[3] = {0, 0, 0};
            v[a] = 1;
            float x1, y1;
            screenOf(p, v[0], v[1], v[2], &x1, &y1);
            EXPECT_NEAR(x1 - x0, c.axis[a][0], 0.002) << c.kind << " axis " << a;
            EXPECT_NEAR(y0 - y1, c.axis[a][1], 0.002) << c.kind << " axis " << a;
        }
    }
}

// Zoom steps on pane 0 at a client point, in (+1) or out (-1); then the
// pane's scale and pan, and whether the last step changed anything.
TEST(ViewTransform, ZoomStepsScaleAboutThePoint) {
    const struct {
        int width, height;
        float scale, zoomValue;
        bool recentre;
        std::vector<std::array<int, 4>> steps;  // pane, in or out, x, y
        const char* result;
    } cases[] = {
        {400, 300, 2, 1.5f, true, {{0, 1, 200, 150}, {0, 1, 200, 150}}, "4.5 0 0 1"},
        // With an odd height the flipped centre row is one pixel off.
        {400, 301, 2, 1.5f, true, {{0, 1, 200, 150}}, "3 0 0.5 1"},
        {400, 301, 2, 1.5f, true, {{0, 1, 200, 150}, {0, 1, 200, 150}}, "4.5 0 0.83333 1"},
        // The scale stops at 9999; a factor near zero falls back to 1.5.
        {100, 100, 9000, 1.5f, true, {{0, 1, 50, 50}}, "9999 0 0 1"},
        {100, 100, 2, 0.0001f, true, {{0, 1, 50, 50}}, "3 0 0 1"},
        {100, 100, 2, 1.5f, true, {{7, 1, 50, 50}}, "2 0 0 0"},  // no such pane
        // Without re-centring the model point under the pointer stays.
        {400, 300, 2, 1.5f, false, {{0, 1, -1, 10}}, "2 0 0 0"},  // outside the pane
        {400, 300, 2, 1.5f, false, {{0, 1, 230, 150}}, "3 10 0 1"},
        {400, 300, 2, 1.5f, false, {{0, 1, 230, 150}, {0, -1, 230, 150}}, "2 2.5 0 1"},
    };
    for (const auto& c : cases) {
        ViewState s = makeState({0, 0, c.width, c.height});
        s.panes[0].scale = c.scale;
        s.zoomValue = c.zoomValue;
        s.zoomRecentre = c.recentre;
        bool changed = false;
        for (const auto& [pane, in, x, y] : c.steps) {
            changed = ZoomView(&s, pane, in > 0, x, y, nullptr).changed;
        }
        char text[64];
        snprintf(text, sizeof text, "%.5g %.5g %.5g %d", s.panes[0].scale, s.panes[0].panX + 0.0f,
                 s.panes[0].panY + 0.0f, changed);  // + 0 makes -0 print as 0
        EXPECT_STREQ(text, c.result) << c.steps.size() << " steps on " << c.height;
    }
}

TEST(ViewTransform, ZoomBringsThePointToTheCentreAndMovesTheCursorOnlyWhenOnIt) {
    ViewState s = makeState({0, 0, 400, 300});
    ViewPane& p = s.panes[0];
    p.scale = 2;
    float mx, my;
    BuildViewMatrix(&p, p.clientRect, p.scale);
    // Model point under client pixel (300, 100).
    const float wantX = p.panX + (300 - 200) / 2.0f, wantY = p.panY + (150 - 100) / 2.0f;
    const int onPoint[2] = {301, 99}, away[2] = {310, 100};
    ZoomResult r = ZoomView(&s, 0, true, 300, 100, onPoint);
    EXPECT_TRUE(r.moveCursor && r.cursorX == 200 && r.cursorY == 150);
    screenOf(p, wantX, wantY, 0, &mx, &my);
    EXPECT_TRUE(std::fabs(mx - 200) < 1e-3 && std::fabs(my - 150) < 1e-3) << mx << "," << my;
    EXPECT_FALSE(ZoomView(&s, 0, false, 300, 100, away).moveCursor);
}

TEST(ViewTransform, BandZoomUsesTheLongerSideAndClearsTheBand) {
    for (bool zoomIn : {true, false}) {
        ViewState s = makeState({0, 0, 600, 400});
        s.panes[0].scale = 1;
        s.band = {100, 100, 300, 200};  // 200 x 100: the width decides
        ZoomView(&s, 0, zoomIn, 0, 0, nullptr);
        EXPECT_FLOAT_EQ(s.panes[0].scale, zoomIn ? 3.0f : 1 / 3.0f);
        EXPECT_EQ(s.band.right, 0);
        // The band centre (200, 150) became the pane centre.
        EXPECT_FLOAT_EQ(s.panes[0].panX, -100.0f);
        EXPECT_FLOAT_EQ(s.panes[0].panY, 50.0f);
    }
}

TEST(ViewTransform, PanStepsAreOneSixteenthTruncated) {
    ViewState s = makeState({0, 0, 50, 100});
    s.panes[0].scale = 2;
    const struct {
        int direction, dx, dy;
        float panX, panY;
        bool moved;
    } cases[] = {
        {0, 0, 0, 0, 3, true},   {1, 0, 0, 0, -3, true},  {2, 0, 0, -1.5f, 0, true},
        {3, 0, 0, 1.5f, 0, true}, {9, 4, 10, 2, -5, true}, {9, 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        s.panes[0].panX = s.panes[0].panY = 0;
        s.band = {1, 1, 5, 5};
        EXPECT_EQ(PanView(&s, 0, c.direction, c.dx, c.dy), c.moved) << c.direction;
        EXPECT_FLOAT_EQ(s.panes[0].panX, c.panX) << c.direction;
        EXPECT_FLOAT_EQ(s.panes[0].panY, c.panY) << c.direction;
        EXPECT_EQ(s.band.right, 0);
    }
}

TEST(ViewTransform, AnglesAreNormalised) {
    const float cases[][2] = {{-5, 355}, {365, 5}, {360, 0}, {0, 0}, {719, 359},
                               // an exact negative turn lands on 360, the same angle
                               {-360, 360},
                               // from a damaged settings file: no turn count fits
                               {1e30f, 0}, {NAN, 0}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(NormaliseAngle(c[0]), c[1]) << c[0];
    ViewState s = makeState({0, 0, 100, 100});
    RotateView(&s, 3, -130, 0, 200);
    EXPECT_EQ(std::vector<float>({s.panes[3].angleX, s.panes[3].angleY, s.panes[3].angleZ}),
              std::vector<float>({350, 180, 66}));
    s.panes[3].clientRect = {0, 0, 400, 300};
    ResetRotation(&s, 3, kViewXYZ);  // back to the defaults, and fitted
    EXPECT_TRUE(s.panes[3].angleX == 120 && s.panes[3].angleZ == 226);
    EXPECT_NE(s.panes[3].scale, 1.0f);
}

TEST(ViewTransform, FitScalesTheSmallerQuotientAndCentres) {
    ViewState s = makeState({0, 0, 400, 300});
    s.range = {{10, 20, 0}, {110, 70, 0}};  // 100 x 50, flat in Z
    FitView(&s, kViewXY);
    EXPECT_NEAR(s.panes[kViewXY].scale, 4, 1e-4);
    EXPECT_NEAR(s.panes[kViewXY].panX, 60, 1e-3);
    EXPECT_NEAR(s.panes[kViewXY].panY, 45, 1e-3);
    EXPECT_EQ(s.panes[kViewXZ].scale, 1.0f);  // other panes untouched
    // XZ sees a flat box: the finite quotient decides.
    FitView(&s, -1);
    EXPECT_NEAR(s.panes[kViewXZ].scale, 4, 1e-4);
    EXPECT_TRUE(std::isfinite(s.panes[kViewXZ].scale));
    // Building the matrix clamps a scale beyond the limit, but does not store it.
    ViewPane& p = s.panes[kViewXY];
    p.scale = 1e6f;
    BuildViewMatrix(&p, p.clientRect, p.scale);
    EXPECT_NEAR(p.matrix[0], 9999, 0.01);
    EXPECT_EQ(p.scale, 1e6f);
}

TEST(ViewTransform, ClipSegment) {
    // Segment, then what is left of it on a pane of 100 x 50, "" for nothing.
    const std::pair<std::array<float, 4>, const char*> cases[] = {
        {{50, 25, 250, 25}, "50,25 100,25"},
        {{-30, 10, -5, 40}, ""},
        {{-50, -25, 150, 75}, "0,0 100,50"},  // crosses the whole pane
        {{10, 10, 20, 20}, "10,10 20,20"},
        {{-10, 40, 20, 80}, ""},  // passes below the lower left corner
        {{-4.5f, 46, 4, 58}, ""},  // ... once gave no numbers at all
    };
    for (auto [ends, left] : cases) {
        char text[64] = "";
        if (ClipSegment({0, 0, 100, 50}, &ends[0], &ends[2])) {
            snprintf(text, sizeof text, "%g,%g %g,%g", ends[0], ends[1], ends[2], ends[3]);
        }
        EXPECT_STREQ(text, left);
    }
}

}  // namespace
