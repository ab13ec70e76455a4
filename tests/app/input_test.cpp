#include "app/input.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

InputEvent ev(InputEventKind kind, int x = 0, int y = 0, uint32_t keys = 0, int button = 0) {
    return {kind, button, keys, 0, x, y, 0};
}

// Runs events through the drag state of pane 0.
struct Gesture {
    DragState drag;
    InputActions last = {};
    InputActions& operator()(const InputEvent& e) { return last = inputHandle(&drag, e); }
};

TEST(Input, MiddleClickFitsMiddleDragPansWithTruncatedStepsAndShiftDragRotates) {
    Gesture g;
    EXPECT_TRUE(g(ev(kEventButtonDown, 100, 100, 0, 1)).startTimer);
    EXPECT_EQ(g.last.cursor, IDC_DRAG_NEUTRAL);
    g(ev(kEventTimer));
    EXPECT_TRUE(g(ev(kEventButtonUp, 100, 100)).fit);
    EXPECT_EQ(g.last.cursor, kCursorArrow);
    // 15 pixels left and 17 up is one step left (-15 / 8 = -1, toward
    // zero) and two up: the pan is 3 pixels per step.
    g(ev(kEventButtonDown, 100, 100, 0, 1));
    EXPECT_TRUE(g(ev(kEventMove, 85, 83, kInputMiddle)).consumed);
    g(ev(kEventTimer));
    EXPECT_EQ(std::vector<int>({g.last.panDx, g.last.panDy, g.last.cursor}),
              std::vector<int>({-3, -6, IDC_DRAG_NORTHWEST}));
    EXPECT_FALSE(g(ev(kEventButtonUp, 85, 83)).fit);
    EXPECT_EQ(g.drag.pane, -1);
    // With Shift the drag rotates, and the release keeps the angles.
    g(ev(kEventButtonDown, 50, 50, kInputShift, 1));
    g(ev(kEventMove, 74, 34, kInputMiddle));  // 3 steps right, 2 up
    g(ev(kEventTimer));
    EXPECT_FLOAT_EQ(g.last.turnX, 2);
    EXPECT_FLOAT_EQ(g.last.turnY, 3);
    g(ev(kEventButtonUp, 74, 34, kInputShift));
    EXPECT_TRUE(!g.last.fit && g.last.turnX == 0 && g.last.turnY == 0 && g.last.panDx == 0);
}

TEST(Input, LeftDragShowsANormalisedBandOnlyPastOneStepAndZoomsOnRelease) {
    struct Case {
        int x, y;
        uint32_t keys;
        ViewRect band;
        int command;
    };
    const Case cases[] = {
        {107, 93, kInputShift, {0, 0, 0, 0}, CMD_ZOOM_IN},  // under 8 px: no band
        {60, 130, kInputShift, {60, 100, 100, 130}, CMD_ZOOM_IN},
        {140, 20, kInputCtrl, {100, 20, 140, 100}, CMD_ZOOM_OUT},
        {140, 20, kInputShift | kInputCtrl, {100, 20, 140, 100}, CMD_ZOOM_IN},
        {140, 20, 0, {100, 20, 140, 100}, 0},  // the band stays shown
    };
    for (const Case& c : cases) {
        Gesture g;
        const InputActions& down = g(ev(kEventButtonDown, 100, 100));
        EXPECT_TRUE(down.capture && down.activate && down.bandChanged && !down.startTimer);
        const ViewRect b = g(ev(kEventMove, c.x, c.y, kInputLeft)).band;
        EXPECT_EQ(memcmp(&b, &c.band, sizeof b), 0) << c.x << "," << c.y;
        const InputActions& up = g(ev(kEventButtonUp, c.x, c.y, c.keys));
        EXPECT_EQ(up.command, c.command) << c.x;
        EXPECT_TRUE(up.release && !up.bandChanged);
    }
}

TEST(Input, LostButtonUpAndRightClickEndTheDrag) {
    for (InputEventKind end : {kEventMove, kEventRightDown}) {
        for (int button : {0, 1}) {
            Gesture g;
            g(ev(kEventButtonDown, 10, 10, 0, button));
            const InputActions& a = g(ev(end, 40, 40));
            EXPECT_TRUE(a.release);
            EXPECT_EQ(a.consumed, end == kEventMove);  // a right click still shows its menu
            EXPECT_EQ(a.bandChanged, button == 0);
            EXPECT_EQ(a.stopTimer, button == 1);
            EXPECT_EQ(g.drag.pane, -1);
            EXPECT_FALSE(g(ev(kEventTimer)).consumed);
        }
    }
    // A second button during a drag is not taken.
    Gesture g;
    g(ev(kEventButtonDown, 10, 10));
    EXPECT_FALSE(g(ev(kEventButtonDown, 10, 10, 0, 1)).consumed);
    EXPECT_EQ(g.drag.mode, kDragBand);
}

TEST(Input, WheelTable) {
    // Off the panes (pane -1) the wheel is not ours; during a drag it is eaten.
    const struct {
        int delta;
        uint32_t keys;
        int pane, command;
        bool dragging = false, consumed = true;
    } cases[] = {{120, 0, 0, CMD_ZOOM_IN},
                 {-120, 0, 0, CMD_ZOOM_OUT},
                 {120, kInputShift, 0, CMD_PAN_UP},
                 {-240, kInputShift, 0, CMD_PAN_DOWN},
                 {120, kInputCtrl, 0, CMD_PAN_LEFT},
                 {-120, kInputCtrl, 0, CMD_PAN_RIGHT},
                 {120, kInputCtrl | kInputShift, 0, 0},
                 {120, kInputMiddle, 0, 0},
                 {-120, kInputMiddle | kInputShift, 0, 0},
                 {120, 0, -1, 0, false, false},
                 {120, 0, 0, 0, true}};
    for (const auto& c : cases) {
        Gesture g;
        if (c.dragging) g(ev(kEventButtonDown, 10, 10));
        InputEvent e = ev(kEventWheel, 0, 0, c.keys);
        e.wheel = c.delta;
        e.pane = c.pane;
        EXPECT_EQ(g(e).consumed, c.consumed);
        EXPECT_EQ(g.last.command, c.command) << c.delta << " " << c.keys;
    }
}

// Applies a key's rotation or reset to pane 0 of a view showing kind.
ViewPane pressKeys(int kind, int key, uint32_t modifiers, int times) {
    ViewState view = {};
    float angles[3];
    ViewDefaultAngles(kind, angles);
    InitPane(&view.panes[0], kind, angles);
    view.panes[0].clientRect = {0, 0, 400, 300};
    for (int i = 0; i < times; ++i) {
        const KeyAction a = inputKeyAction(key, modifiers);
        if (a.kind == kKeyRotate) RotateView(&view, 0, a.rotate[0], a.rotate[1], a.rotate[2]);
        if (a.kind == kKeyResetRotation) ResetRotation(&view, 0, kind);
    }
    return view.panes[0];
}

TEST(Input, KeyTableRotatesAndResetsTheActivePane) {
    ViewPane p = pressKeys(kViewXY, kKeyLeft, kInputShift, 1);
    EXPECT_FLOAT_EQ(p.angleY, 175);
    p = pressKeys(kViewXY, 'Z', 0, 72);  // a whole turn, through 360 = 0
    EXPECT_FLOAT_EQ(p.angleZ, 180);
    p = pressKeys(kViewXYZ, 'R', 0, 1);
    EXPECT_EQ(std::vector<float>({p.angleX, p.angleY, p.angleZ}),
              std::vector<float>({120, 180, 226}));
    p = pressKeys(kViewXY, 'X', kInputShift, 3);
    EXPECT_FLOAT_EQ(p.angleX, 165);
}

}  // namespace
