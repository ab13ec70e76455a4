// Keys and mouse gestures in the running shell: real messages posted to the
// demo's panes go through the program's own message loop and reach the view
// as the input tables say.
#include "app/input.h"
#include "app/win32/shell.h"
#include "panes/panes.h"
#include "res/resource.h"
#include "tests/app/win_test_support.h"
#include "view/win32/pane_windows.h"

#include <gtest/gtest.h>

namespace {

class WinInput : public ShellTest {
protected:
    // A zoom step of 2; zooming does not re-centre, so the pan stays put.
    WinInput()
        : ShellTest(answerNo, "[Current]\r\nEnableMap=12288\r\n[View]\r\nZoomValue=2.0\r\n") {}
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(startDemo(), kStartRunning);
        set = PaneSetOf(GetDlgItem(frame(), IDC_VIEW_PANEL));
        ASSERT_NE(set, nullptr);
        xy = slotOf(kViewXY);
        ActivatePane(set, xy);
        pointerOffThePanes();  // the zoom works on the pane under the pointer
    }
    void loop() { runLoop(frame()); }
    void post(UINT msg, WPARAM wp, int x, int y, HWND to = nullptr) {
        PostMessageW(to != nullptr ? to : set->windows[xy], msg, wp, MAKELPARAM(x, y));
    }
    // A button press on the XY pane; the repeat timer it started is taken
    // over by the test, which posts the ticks itself.
    void press(UINT msg, WPARAM wp, int x, int y) {
        post(msg, wp, x, y);
        loop();
        EXPECT_EQ(GetCapture(), set->windows[xy]);
        if (msg == WM_MBUTTONDOWN) {
            EXPECT_TRUE(KillTimer(set->windows[xy], kDragTimerId));
        }
    }
    ViewPane& pane() { return set->view.panes[xy]; }

    PaneSet* set = nullptr;
    int xy = 0;
};

TEST_F(WinInput, MiddleDragPansByStepsAndAMiddleClickFits) {
    const float scale = pane().scale, panX = pane().panX, panY = pane().panY;
    press(WM_MBUTTONDOWN, MK_MBUTTON, 100, 100);
    post(WM_MOUSEMOVE, MK_MBUTTON, 120, 100);  // two steps right
    post(WM_TIMER, kDragTimerId, 0, 0);
    post(WM_TIMER, kDragTimerId, 0, 0);
    post(WM_MBUTTONUP, 0, 120, 100);
    loop();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FLOAT_EQ(pane().panX, panX + 2 * 6 / scale);
    EXPECT_FLOAT_EQ(pane().panY, panY);
    press(WM_MBUTTONDOWN, MK_MBUTTON, 50, 50);
    post(WM_MBUTTONUP, 0, 50, 50);
    loop();
    EXPECT_FLOAT_EQ(pane().panX, panX);
}

TEST_F(WinInput, LeftDragDrawsTheBandAndShiftReleaseZoomsToIt) {
    const float scale = pane().scale;
    const int width = pane().clientRect.right;
    press(WM_LBUTTONDOWN, MK_LBUTTON, 150, 120);
    post(WM_MOUSEMOVE, MK_LBUTTON, 50, 170);
    loop();
    EXPECT_EQ(set->view.band.right, 150);  // the band's rules are checked natively
    post(WM_LBUTTONUP, MK_SHIFT, 50, 170);
    loop();
    EXPECT_FLOAT_EQ(pane().scale, scale * static_cast<float>(width) / 100.0f);
    EXPECT_EQ(set->view.band.right, 0);
}

// The wheel reaches the pane under the pointer with its keys; what each
// combination does is checked natively.
TEST_F(WinInput, WheelOverAPaneFollowsTheTable) {
    RECT r;
    GetWindowRect(set->windows[xy], &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    const float scale = pane().scale, panY = pane().panY;
    post(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, WHEEL_DELTA), x, y, frame());
    loop();
    EXPECT_FLOAT_EQ(pane().scale, scale);
    EXPECT_NEAR(pane().panY, panY + static_cast<float>(pane().clientRect.bottom / 16) / scale,
                1.01f / scale);
}

TEST_F(WinInput, KeysReachTheActivePaneAndAcceleratorsWorkFromChildren) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    post(WM_KEYDOWN, VK_LEFT, 0, 0, frame());
    loop();
    EXPECT_FLOAT_EQ(pane().angleY, 175);
    post(WM_KEYDOWN, VK_TAB, 0, 0, frame());  // Shift+Tab: the previous pane
    loop();
    EXPECT_EQ(settings().viewActive, (xy + 3) % 4);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    post(WM_KEYDOWN, VK_TAB, 0, 0, frame());
    post(WM_KEYDOWN, 'R', 0, 0, frame());
    loop();
    EXPECT_EQ(settings().viewActive, xy);
    EXPECT_FLOAT_EQ(pane().angleY, 180);
    // F9 in the code list toggles the mark of the selected line.
    int row = 0;
    while (row < 20 && SetBreakMark(frame(), 3, row) != 0) ++row;
    SelectCodeLine(frame(), row);
    post(WM_KEYDOWN, VK_F9, 0, 0, codeList());
    loop();
    EXPECT_NE(SetBreakMark(frame(), 3, row), 0);
}

}  // namespace
