#include "view/pane_layout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(PaneLayout, RectanglesOfBothPatterns) {
    ViewRect r[4];
    ComputePaneRects(0, {0, 0, 501, 301}, r);
    const ViewRect two[4] = {
        {0, 0, 250, 150}, {250, 0, 501, 150}, {0, 150, 250, 301}, {250, 150, 501, 301}};
    EXPECT_EQ(memcmp(r, two, sizeof r), 0);
    ComputePaneRects(1, {10, 20, 310, 320}, r);
    const ViewRect three[4] = {
        {10, 20, 110, 120}, {10, 120, 110, 220}, {10, 220, 110, 320}, {110, 20, 310, 320}};
    EXPECT_EQ(memcmp(r, three, sizeof r), 0);
}

class Layout : public ::testing::Test {
protected:
    void SetUp() override {
        memcpy(layout.matrix[0], kDefaultMatrix1, sizeof layout.matrix[0]);
        memcpy(layout.matrix[1], kDefaultMatrix2, sizeof layout.matrix[1]);
        layout.pattern = 0;
        for (int i = 0; i < kPaneCount; ++i) {
            float angles[3];
            ViewDefaultAngles(layout.matrix[0][i], angles);
            InitPane(&state.panes[i], layout.matrix[0][i], angles);
            state.panes[i].window = &windows[i];
            state.panes[i].clientRect = {0, 0, 10 * (i + 1), 10};
            state.panes[i].scale = static_cast<float>(layout.matrix[0][i] + 1);  // marks the kind
        }
    }
    float kindScale(int slot) const { return state.panes[slot].scale; }

    ViewState state = {};
    PaneLayout layout = {};
    int windows[4] = {};
};

TEST_F(Layout, SwitchingPatternsKeepsEachKindsView) {
    RotateView(&state, SlotOfKind(layout, kViewXYZ), 15, 0, 0);
    ASSERT_TRUE(SwitchPattern(&state, &layout, 1));
    EXPECT_FALSE(SwitchPattern(&state, &layout, 1));
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(kindScale(slot), layout.matrix[1][slot] + 1) << slot;
        EXPECT_EQ(state.panes[slot].window, &windows[slot]);  // slots keep windows
        EXPECT_EQ(state.panes[slot].clientRect.right, 10 * (slot + 1));
    }
    EXPECT_STREQ(state.panes[3].title, "XYZ");
    EXPECT_FLOAT_EQ(state.panes[3].angleX, 135);
    ASSERT_TRUE(SwitchPattern(&state, &layout, 0));
    EXPECT_FLOAT_EQ(state.panes[SlotOfKind(layout, kViewXYZ)].angleX, 135);
    EXPECT_EQ(SlotOfKind(layout, kViewYZ), 0);
}

TEST_F(Layout, ApplyMatrixRefusesDuplicatesAndMovesStateWhenCurrent) {
    const int twice[4] = {0, 0, 1, 3};
    EXPECT_FALSE(ApplyMatrix(&state, &layout, 0, twice));
    EXPECT_EQ(layout.matrix[0][0], 2);
    const int swapped[4] = {3, 2, 0, 1};
    ASSERT_TRUE(ApplyMatrix(&state, &layout, 0, swapped));
    EXPECT_EQ(kindScale(0), kViewXYZ + 1);
    EXPECT_EQ(kindScale(1), kViewYZ + 1);
    const int other[4] = {0, 1, 2, 3};
    ASSERT_TRUE(ApplyMatrix(&state, &layout, 1, other));  // not current: stored only
    EXPECT_EQ(kindScale(0), kViewXYZ + 1);
    EXPECT_EQ(layout.matrix[1][0], 0);
}

}  // namespace
