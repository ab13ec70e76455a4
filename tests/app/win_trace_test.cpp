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

int noBox(HWND, const wchar_t*, const wchar_t*, UINT) {
    return IDOK;
}

bool noDialog(OPENFILENAMEW*, bool) {
    return false;
}

class WinTrace : public ShellTest {
protected:
    // High speed, without the single-instance rule.
    WinTrace() : ShellTest(noBox, "[Current]\r\nEnableMap=12288\r\nTraceSpeed=0\r\n") {}
    void SetUp() override {
        tlvSetFileDialogHook(noDialog);  // nobody answers a dialog here
        ShellTest::SetUp();
        ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
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
    int registerRows() {
        HWND list = GetDlgItem(GetDlgItem(frame(), IDC_REGISTER_PANEL), IDC_REGISTER_LIST);
        return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    }
    HWND filterButton(int id) { return GetDlgItem(FilterWindow(), id); }
    void click(int id) {
        SendMessageW(FilterWindow(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(filterButton(id)));
    }
};

TEST_F(WinTrace, DemoAtHighSpeedRunsToItsEnd) {
    command(CMD_TRACE_RUN);
    ASSERT_EQ(traceMode(fs()), 0);
    EXPECT_TRUE(menuHas(CMD_FILE_OPEN, MF_GRAYED));
    EXPECT_EQ(SendMessageW(statusBar(), SB_ISSIMPLE, 0, 0), FALSE);
    for (int i = 0; i < 5; ++i) TraceIdle();
    EXPECT_EQ(std::string(StatusPartText(0)).rfind("000", 0), 0u) << StatusPartText(0);
    EXPECT_EQ(std::string(StatusPartText(5)).size(), 8u);
    EXPECT_EQ(registerRows(), 11);
    EXPECT_TRUE(runUntilHeld());
    EXPECT_EQ(traceMode(fs()), -1);  // the end posted the stop command
    EXPECT_FALSE(menuHas(CMD_FILE_OPEN, MF_GRAYED));
    EXPECT_EQ(registerRows(), 0);
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

TEST_F(WinTrace, StatusPartsRedrawOnlyOnChangeAndPartZeroNarrows) {
    SetStatusText(frame(), -2, nullptr);
    EXPECT_EQ(SetStatusText(frame(), 1, "%.3lf", 1.5), 2);
    EXPECT_EQ(SetStatusText(frame(), 1, "%s", "1.500"), 1);
    EXPECT_STREQ(StatusPartText(1), "1.500");
    EXPECT_EQ(SetStatusText(frame(), 7, "x"), 0);
    // The text reaches the screen in the part's colour (blue for X).
    RECT part = {};
    SendMessageW(statusBar(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    RedrawWindow(statusBar(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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
    HWND tools = filterButton(IDC_FILTER_TOOLS);
    EXPECT_EQ(SendMessageW(tools, LVM_GETITEMCOUNT, 0, 0), 2);  // T01, T02
    EXPECT_EQ(SendMessageW(filterButton(IDC_FILTER_PROGRAMS), LVM_GETITEMCOUNT, 0, 0), 2);
    const DisplayFilter before = fs()->drawing.filter;
    click(IDC_FILTER_INVERT_TOOLS);
    EXPECT_FALSE(filterToolShown(&fs()->drawing.filter, 1));
    click(IDC_FILTER_INVERT_TOOLS);
    EXPECT_EQ(memcmp(&before, &fs()->drawing.filter, sizeof before), 0);
    // A click on T01's mark hides it; a click on its text only selects.
    RECT mark = {LVIR_ICON, 0, 0, 0}, label = {LVIR_LABEL, 0, 0, 0};
    SendMessageW(tools, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label));
    SendMessageW(tools, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&mark));
    for (const RECT* r : {&label, &mark}) {
        NMITEMACTIVATE click = {};
        click.hdr = {tools, IDC_FILTER_TOOLS, static_cast<UINT>(NM_CLICK)};
        click.iItem = 0;
        click.ptAction = {(r->left + r->right) / 2, (r->top + r->bottom) / 2};
        SendMessageW(FilterWindow(), WM_NOTIFY, IDC_FILTER_TOOLS, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(filterToolShown(&fs()->drawing.filter, 1), r == &label);
    }
    command(CMD_RELOAD);
    EXPECT_TRUE(filterToolShown(&fs()->drawing.filter, 1));
    SendMessageW(FilterWindow(), WM_COMMAND, IDCANCEL, 0);  // Escape hides
    EXPECT_FALSE(IsWindowVisible(FilterWindow()));
    EXPECT_FALSE(menuHas(CMD_DISPLAY_FILTER, MF_CHECKED));
}

}  // namespace
