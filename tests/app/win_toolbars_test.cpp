// The toolbars in the running shell: states shared with the menu, clicks
// reaching the commands, and the style and band order kept across a restart.
#include "app/win32/commands.h"
#include "app/win32/toolbars.h"
#include "res/resource.h"
#include "tests/app/win_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class WinToolbars : public ShellTest {
protected:
    // Calls check for every button of every toolbar, separators left out.
    void forEachButton(const std::function<void(HWND toolbar, int command)>& check) {
        for (int id : {kToolbarStandard, kToolbarDisplay, kToolbarTrace}) {
            HWND toolbar = ToolbarWindow(fs(), id);
            ASSERT_NE(toolbar, nullptr) << id;
            const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                TBBUTTON b = {};
                SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
                if ((b.fsStyle & BTNS_SEP) == 0) check(toolbar, b.idCommand);
            }
        }
    }
    LRESULT state(int toolbar, int command) {
        return SendMessageW(ToolbarWindow(fs(), toolbar), TB_GETSTATE, command, 0);
    }
    std::vector<int> bandIds(const wchar_t* expectTitle = nullptr) {
        HWND area = GetDlgItem(frame(), IDC_REBAR);
        std::vector<int> ids;
        for (int i = 0; i < static_cast<int>(SendMessageW(area, RB_GETBANDCOUNT, 0, 0)); ++i) {
            wchar_t title[64] = {};
            REBARBANDINFOW band = {};
            band.cbSize = sizeof band;
            band.fMask = RBBIM_ID | RBBIM_TEXT;
            band.lpText = title;
            band.cch = 64;
            SendMessageW(area, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band));
            ids.push_back(static_cast<int>(band.wID));
            if (expectTitle != nullptr) {
                EXPECT_STREQ(title, expectTitle) << band.wID;
            }
        }
        return ids;
    }
};

// A button and its menu item share their enable and check rules, before
// and after a load.
TEST_F(WinToolbars, ButtonStatesFollowTheMenu) {
    ASSERT_EQ(start(""), kStartRunning);
    auto agree = [&](const char* when) {
        RefreshCommandStates(fs());
        forEachButton([&](HWND toolbar, int command) {
            const UINT menu = GetMenuState(GetMenu(frame()), command, MF_BYCOMMAND);
            if (menu == 0xFFFFFFFF) return;  // the direct print has no menu item
            const LRESULT button = SendMessageW(toolbar, TB_GETSTATE, command, 0);
            EXPECT_EQ((button & TBSTATE_ENABLED) != 0, (menu & MF_GRAYED) == 0) << when << command;
            EXPECT_EQ((button & TBSTATE_CHECKED) != 0, (menu & MF_CHECKED) != 0) << when << command;
        });
    };
    agree("empty");
    // A click reaches the dispatcher; the speed buttons then show the new speed.
    HWND trace = ToolbarWindow(fs(), kToolbarTrace);
    RECT r = {};
    SendMessageW(trace, TB_GETRECT, CMD_SPEED_LOW, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(trace, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(trace, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(settings().traceSpeed, 2);
    EXPECT_NE(state(kToolbarTrace, CMD_SPEED_LOW) & TBSTATE_CHECKED, 0);
    ASSERT_EQ(openFile(demo()), 1);
    agree("loaded");
    EXPECT_NE(state(kToolbarStandard, CMD_SAVE_AS) & TBSTATE_ENABLED, 0);
}

// Style 0 shows images only, raised, without band titles; a band moved to
// the front and the style are still there after a restart.
TEST_F(WinToolbars, StyleAndBandOrderSurviveARestart) {
    ASSERT_EQ(start(""), kStartRunning);
    EXPECT_EQ(settings().toolbarStatus, kToolbarTitles | kToolbarFlat);
    for (int id : {CMD_TB_TITLES, CMD_TB_FLAT}) SendMessageW(frame(), WM_COMMAND, id, 0);
    EXPECT_EQ(settings().toolbarStatus, 0);
    HWND area = GetDlgItem(frame(), IDC_REBAR);
    SendMessageW(area, RB_MOVEBAND, 2, 0);
    EXPECT_EQ(bandIds(), (std::vector<int>{kToolbarTrace, kToolbarStandard, kToolbarDisplay}));
    SendMessageW(frame(), WM_CLOSE, 0, 0);
    FinishProgram(*program);

    ASSERT_EQ(start(""), kStartRunning);
    EXPECT_EQ(bandIds(L""), (std::vector<int>{kToolbarTrace, kToolbarStandard, kToolbarDisplay}));
    HWND standard = ToolbarWindow(fs(), kToolbarStandard);
    EXPECT_EQ(GetWindowLongW(standard, GWL_STYLE) & (TBSTYLE_FLAT | TBSTYLE_LIST), 0);
    wchar_t text[32] = {};
    EXPECT_LE(
        SendMessageW(standard, TB_GETBUTTONTEXTW, CMD_FILE_OPEN, reinterpret_cast<LPARAM>(text)),
        0);
    SendMessageW(frame(), WM_COMMAND, CMD_TB_TEXT, 0);  // texts come back with a rebuild
    SendMessageW(ToolbarWindow(fs(), kToolbarStandard), TB_GETBUTTONTEXTW, CMD_FILE_OPEN,
                 reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"開く");
}

}  // namespace
