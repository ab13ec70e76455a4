// The trace, the status bar and the display filter window in the shell,
// in-process under the desktop: the idle call is run by the test instead of
// the main loop.
#include "app/win32/commands.h"
#include "app/win32/filter_window.h"
#include "app/win32/status_bar.h"
#include "app/win32/trace_runner.h"
#include "engine/block_store.h"
#include "panes/panes.h"
#include "res/resource.h"
#include "res/strings.h"
#include "win_test_support.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace {

class WinTrace : public ShellTest {
protected:
    // High speed, without the single-instance rule.
    WinTrace() : ShellTest(answerNo, "[Current]\r\nEnableMap=12288\r\nTraceSpeed=0\r\n") {}
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_EQ(startDemo(), kStartRunning);
        ASSERT_TRUE(fs()->drawing.loaded);
    }
    void command(int id) { DispatchCommand(fs(), id); }
    // Idle calls until the trace pauses or ends; false when it did neither.
    bool runUntilHeld() {
        for (int i = 0; i < 10000 && traceMode(fs()) == 0; ++i) {
            TraceIdle();
            pump();
        }
        return traceMode(fs()) != 0;
    }
    HWND statusBar() { return GetDlgItem(frame(), IDC_STATUSBAR); }
};

TEST_F(WinTrace, DemoAtHighSpeedRunsToItsEnd) {
    command(CMD_TRACE_RUN);
    ASSERT_EQ(traceMode(fs()), 0);
    EXPECT_TRUE(menuHas(CMD_FILE_OPEN, MF_GRAYED));
    EXPECT_EQ(SendMessageW(statusBar(), SB_ISSIMPLE, 0, 0), FALSE);
    for (int i = 0; i < 5; ++i) TraceIdle();
    EXPECT_EQ(std::string(StatusPartText(0)).rfind("000", 0), 0u) << StatusPartText(0);
    EXPECT_EQ(std::string(StatusPartText(5)).size(), 8u);
    EXPECT_EQ(listRows(registerList()), 11);
    EXPECT_TRUE(runUntilHeld());
    EXPECT_EQ(traceMode(fs()), -1);  // the end posted the stop command
    EXPECT_FALSE(menuHas(CMD_FILE_OPEN, MF_GRAYED));
    EXPECT_EQ(listRows(registerList()), 0);
    EXPECT_EQ(SendMessageW(statusBar(), SB_ISSIMPLE, 0, 0), TRUE);
    EXPECT_STREQ(StatusPartText(-1), tlvString(IDS_READY));
}

TEST_F(WinTrace, SingleStepsAndBreakMarks) {
    const int32_t marked = ncBlockProgramToList(fs()->drawing.blocks, 1000, 10);
    ASSERT_GT(marked, 0);
    SetBreakMark(frame(), 2, marked);
    // The commands reach the trace; its rules are checked without windows.
    command(CMD_TRACE_RUN);
    command(CMD_TRACE_STEP);  // while running: one step, then paused
    TraceIdle();
    EXPECT_EQ(traceMode(fs()), 2);
    EXPECT_EQ(traceStepCount(), 1);
    command(CMD_TRACE_RUN);
    ASSERT_TRUE(runUntilHeld());
    EXPECT_EQ(traceMode(fs()), 2);
    EXPECT_EQ(GetSelectedCodeLine(frame()), marked);
    command(CMD_TRACE_STOP);
    EXPECT_EQ(traceMode(fs()), -1);
}

// A part's text reaches the screen in the part's colour (blue for X); only
// part 0 gives way when the window narrows.
TEST_F(WinTrace, StatusPartsShowTheirColoursAndPartZeroNarrows) {
    SetStatusText(frame(), -2, nullptr);
    UpdateWindow(statusBar());
    SetStatusText(frame(), 1, "%.3lf", 1.5);  // the change alone repaints the part
    RECT part = {};
    SendMessageW(statusBar(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    UpdateWindow(statusBar());
    HDC dc = GetDC(statusBar());
    int blue = 0;
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            blue += GetBValue(c) > 128 && GetRValue(c) < 96 && GetGValue(c) < 96;
        }
    }
    ReleaseDC(statusBar(), dc);
    EXPECT_GT(blue, 10);
    auto widths = [&] {
        int edges[kStatusParts] = {};
        SendMessageW(statusBar(), SB_GETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
        std::string w = std::to_string(edges[0]);
        for (int i = 1; i < kStatusParts; ++i) w += "," + std::to_string(edges[i] - edges[i - 1]);
        return w;
    };
    SetWindowPos(frame(), nullptr, 0, 0, 1000, 600, SWP_NOMOVE | SWP_NOZORDER);
    const std::string wide = widths();
    SetWindowPos(frame(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
    pump();
    const std::string narrow = widths();
    EXPECT_LT(std::stoi(narrow), std::stoi(wide));
    EXPECT_EQ(narrow.substr(narrow.find(',')), wide.substr(wide.find(',')));
}

TEST_F(WinTrace, FilterWindowListsInvertsAndShowsAllAfterReload) {
    command(CMD_DISPLAY_FILTER);
    ASSERT_TRUE(IsWindowVisible(FilterWindow()));
    EXPECT_TRUE(menuHas(CMD_DISPLAY_FILTER, MF_CHECKED));
    HWND tools = GetDlgItem(FilterWindow(), IDC_FILTER_TOOLS);
    EXPECT_EQ(listRows(tools), 2);  // T01, T02
    EXPECT_EQ(listRows(GetDlgItem(FilterWindow(), IDC_FILTER_PROGRAMS)), 2);
    const DisplayFilter before = fs()->drawing.filter;
    clickButton(FilterWindow(), IDC_FILTER_INVERT_TOOLS);
    EXPECT_FALSE(filterToolShown(&fs()->drawing.filter, 1));
    clickButton(FilterWindow(), IDC_FILTER_INVERT_TOOLS);
    EXPECT_EQ(memcmp(&before, &fs()->drawing.filter, sizeof before), 0);
    // A click on T01's mark hides it; a click on its text only selects.
    for (int part : {LVIR_LABEL, LVIR_ICON}) {
        clickListRow(tools, 0, part);
        EXPECT_EQ(filterToolShown(&fs()->drawing.filter, 1), part == LVIR_LABEL);
    }
    command(CMD_RELOAD);
    EXPECT_TRUE(filterToolShown(&fs()->drawing.filter, 1));
    SendMessageW(FilterWindow(), WM_COMMAND, IDCANCEL, 0);  // Escape hides
    EXPECT_FALSE(IsWindowVisible(FilterWindow()));
    EXPECT_FALSE(menuHas(CMD_DISPLAY_FILTER, MF_CHECKED));
}

}  // namespace
