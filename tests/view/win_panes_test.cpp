// The pane windows inside the running shell under the desktop: the demo's
// pixels in the cached picture, zoom, invalidation, resizing, clicks and the
// angles saved per kind at the end.
#include "app/win32/commands.h"
#include "app/win32/view_panel.h"
#include "res/resource.h"
#include "tests/app/win_test_support.h"
#include "view/win32/pane_windows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int gStopCalls = 0;
bool countStops(void*) {
    ++gStopCalls;
    return false;
}
bool stopAtOnce(void*) { return true; }

class WinPanes : public ShellTest {
protected:
    // Zoom re-centring on, a zoom step of 2 so that the setting is seen to
    // be read, and no single-instance rule.
    WinPanes()
        : ShellTest(answerNo, "[Current]\r\nEnableMap=28672\r\n[View]\r\nZoomValue=2.0\r\n") {}
    void run(const std::string& args = "") {
        ASSERT_EQ(start(args), kStartRunning);
        ASSERT_NE(set(), nullptr);
    }
    void runDemo() { run(demo()); }
    HWND panel() { return GetDlgItem(frame(), IDC_VIEW_PANEL); }
    PaneSet* set() { return PaneSetOf(panel()); }
    void command(int id) {
        DispatchCommand(fs(), id);
        pump();
    }
    // Whether a pixel of colour (0x00BBGGRR) lies within 2 pixels of the
    // projection of model point (x, y, z) in slot's cached picture.
    bool colourNear(int slot, float x, float y, float z, uint32_t colorRef) {
        const ViewPane& pane = set()->view.panes[slot];
        float px = 0, py = 0;
        ProjectPoint(pane.matrix, x, y, z, &px, &py);
        const int cx = static_cast<int>(px);
        const int cy = static_cast<int>(
            static_cast<float>(pane.clientRect.top + pane.clientRect.bottom) - py);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(pane.cachedPicture));
        bool found = false;
        for (int Y = cy - 2; Y <= cy + 2; ++Y) {
            for (int X = cx - 2; X <= cx + 2; ++X) found = found || GetPixel(dc, X, Y) == colorRef;
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        return found;
    }
};

TEST_F(WinPanes, ZoomCommandScalesTheActivePaneByZoomValue) {
    runDemo();
    PaneSet* s = set();
    pointerOffThePanes();
    const int active = settings().viewActive;
    const float before = s->view.panes[active].scale;
    command(CMD_ZOOM_OUT);  // the zoom's own rules are checked natively
    EXPECT_FLOAT_EQ(s->view.panes[active].scale, before * 0.5f);
    // Over another pane the zoom works there, about the pointer, and makes
    // it active; the pointer on the zoom point follows it to the centre.
    const int other = (active + 1) % kPaneCount;
    RECT r;
    GetWindowRect(s->windows[other], &r);
    const float otherBefore = s->view.panes[other].scale;
    moveCursor(r.left + (r.right - r.left) / 3, r.top + (r.bottom - r.top) / 3);
    command(CMD_ZOOM_IN);
    EXPECT_EQ(settings().viewActive, other);
    EXPECT_FLOAT_EQ(s->view.panes[other].scale, otherBefore * 2.0f);
    EXPECT_FLOAT_EQ(s->view.panes[active].scale, before * 0.5f);
    POINT at;
    GetCursorPos(&at);
    ScreenToClient(s->windows[other], &at);
    const ViewRect& c = s->view.panes[other].clientRect;
    EXPECT_NEAR(at.x, (c.left + c.right) / 2, 1);
    EXPECT_NEAR(at.y, (c.top + c.bottom) / 2, 1);
    pointerOffThePanes();
}

// An expose only copies the cached picture; an invalidation discards it,
// and with repaint the pane is drawn again from the records at once. A
// paint stopped by Escape keeps no partial picture; the next is complete.
TEST_F(WinPanes, CachedPictureIsReusedDiscardedAndNeverPartial) {
    runDemo();
    PaneSet* s = set();
    for (HWND w : s->windows) UpdateWindow(w);
    for (const ViewPane& p : s->view.panes) EXPECT_NE(p.cachedPicture, nullptr);
    s->stopRequested = countStops;
    gStopCalls = 0;
    InvalidateRect(s->windows[0], nullptr, FALSE);
    UpdateWindow(s->windows[0]);
    EXPECT_EQ(gStopCalls, 0);  // no record loop ran
    InvalidatePanes(s, -1, false);
    for (const ViewPane& p : s->view.panes) EXPECT_EQ(p.cachedPicture, nullptr);
    InvalidateViewPanes(frame(), 2);
    EXPECT_EQ(gStopCalls, 1);
    EXPECT_NE(s->view.panes[2].cachedPicture, nullptr);
    EXPECT_EQ(s->lastPaintRecords, pathStoreCount(fs()->drawing.paths));

    const int xy = slotOf(0);
    s->stopRequested = stopAtOnce;
    InvalidateViewPanes(frame(), xy);
    EXPECT_EQ(s->lastPaintRecords, 0);
    EXPECT_EQ(s->view.panes[xy].cachedPicture, nullptr);
    s->stopRequested = nullptr;
    InvalidateRect(s->windows[xy], nullptr, FALSE);
    UpdateWindow(s->windows[xy]);
    ASSERT_NE(s->view.panes[xy].cachedPicture, nullptr);
    EXPECT_EQ(s->lastPaintRecords, pathStoreCount(fs()->drawing.paths));
    // The demo's pocket circle (radius 10 about (35, 25)) and its contour
    // under cutter compensation lie where the projection puts them, with
    // nothing beside them; which pen draws what is checked natively.
    const AppSettings& a = settings();
    EXPECT_TRUE(colourNear(xy, 25, 25, -2, a.colorMap[1]));
    EXPECT_TRUE(colourNear(xy, 0, 20, -5, a.colorMap[3]));
    EXPECT_TRUE(colourNear(xy, 60, 23, 0, a.colorMap[4]));
}

// While the layout moves (a splitter drag), a pane shows its old picture
// stretched; once it is still the pane is painted at its new size.
TEST_F(WinPanes, ResizedPaneKeepsItsPictureUntilTheLayoutIsStill) {
    runDemo();
    PaneSet* s = set();
    const int xy = slotOf(0);
    UpdateWindow(s->windows[xy]);
    const void* before = s->view.panes[xy].cachedPicture;
    ASSERT_NE(before, nullptr);
    RECT r;
    GetWindowRect(panel(), &r);
    SetWindowPos(panel(), nullptr, 0, 0, r.right - r.left - 60, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    LayoutPanes(s);
    UpdateWindow(s->windows[xy]);
    EXPECT_EQ(s->view.panes[xy].cachedPicture, before);
    EXPECT_TRUE(s->stale[xy]);
    SendMessageW(s->windows[xy], WM_TIMER, kPaneSettleTimer, 0);
    BITMAP info = {};
    ASSERT_NE(s->view.panes[xy].cachedPicture, nullptr);
    GetObjectW(static_cast<HBITMAP>(s->view.panes[xy].cachedPicture), sizeof info, &info);
    RECT client;
    GetClientRect(s->windows[xy], &client);
    EXPECT_FALSE(s->stale[xy]);
    EXPECT_EQ(info.bmWidth, client.right);
    EXPECT_EQ(info.bmHeight, client.bottom);
}

TEST_F(WinPanes, ClicksActivateAndPostTheirCommands) {
    runDemo();
    PaneSet* s = set();
    // The middle click's fit is seen through the main loop in the input tests.
    const struct {
        UINT message;
        int slot;
        bool singleAfter;
    } cases[] = {
        {WM_LBUTTONDOWN, 3, false},
        {WM_LBUTTONDBLCLK, 1, true},   // shows the pane alone
        {WM_LBUTTONDBLCLK, 1, false},  // and back
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        s->view.panes[c.slot].scale *= 3;
        const float zoomed = s->view.panes[c.slot].scale;
        SendMessageW(s->windows[c.slot], c.message, 0, MAKELPARAM(5, 5));
        pump();
        EXPECT_EQ(settings().viewActive, c.slot);
        EXPECT_EQ((settings().enableMap & EM_SINGLE_PANE) != 0, c.singleAfter);
        EXPECT_FLOAT_EQ(s->view.panes[c.slot].scale, zoomed);  // a click keeps the zoom
    }
}

TEST_F(WinPanes, AnglesAreSavedPerKindAtTheEnd) {
    run();
    const int xyz = slotOf(3);
    RotateView(&set()->view, xyz, 0, 0, 20);
    const float expected = set()->view.panes[xyz].angleZ;
    command(CMD_VIEW_PATTERN2);  // the kind moves to another slot first
    SendMessageW(frame(), WM_CLOSE, 0, 0);
    pump();
    EXPECT_FALSE(IsWindow(frame()));
    EXPECT_FLOAT_EQ(settings().viewRotate[3][2], expected);
    EXPECT_FLOAT_EQ(settings().viewRotate[0][2], 180.0f);
    EXPECT_EQ(settings().viewSeparate, 1);
}

}  // namespace
