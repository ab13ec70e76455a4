// The property sheets in-process under Wine, driven with real messages from
// a timer while each sheet runs its modal loop.
#include "app/win32/commands.h"
#include "definitions/machine_definition.h"
#include "dialogs/win32/sheet.h"
#include "res/resource.h"
#include "tests/app/win_test_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

const wchar_t kProperties[] = L"プロパティ", kMachine[] = L"機械のプロパティ";

// The page of sheet that holds control id.
HWND pageWith(HWND sheet, int id) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgItem(child, id) != nullptr) return child;
    }
    return nullptr;
}

class WinSheets : public ShellTest {
protected:
    // Runs command with action applied to the sheet captioned caption it
    // opens; the action closes the sheet with button.
    void run(int command, const wchar_t* caption, int button, std::function<void(HWND)> action) {
        const auto act = [&](HWND sheet) {
            action(sheet);
            PostMessageW(sheet, WM_COMMAND, button, 0);
        };
        withDialog(caption, act, [&] { SendMessageW(frame(), WM_COMMAND, command, 0); });
    }
};

TEST_F(WinSheets, OptionsOpensThePageShownLast) {
    ASSERT_EQ(start(""), kStartRunning);
    run(CMD_PROP_VIEW, kProperties, IDCANCEL, [](HWND) {});
    int shown = -1;
    run(CMD_OPTIONS, kProperties, IDCANCEL,
        [&](HWND sheet) { shown = TabCtrl_GetCurSel(GetDlgItem(sheet, kSheetTab)); });
    EXPECT_EQ(shown, 2);
}

// A full replacement list disables its Add button; Cancel leaves the
// machine as it was.
TEST_F(WinSheets, ReplacementAddStopsWhenFullAndCancelKeepsTheMachine) {
    ASSERT_EQ(start(""), kStartRunning);
    const MachineDefinition before = program->session.machine;
    bool addEnabledAtFull = true;
    run(CMD_MACHINE_SETTINGS, kMachine, IDCANCEL, [&](HWND sheet) {
        HWND page = pageWith(sheet, IDC_REPLACE_LIST);
        SetDlgItemTextW(page, IDC_REPLACE_ORG, L"A");
        for (int k = 0; k < 40; ++k) clickButton(page, IDC_REPLACE_ADD);
        EXPECT_EQ(listRows(GetDlgItem(page, IDC_REPLACE_LIST)), 32);
        addEnabledAtFull = IsWindowEnabled(GetDlgItem(page, IDC_REPLACE_ADD)) != FALSE;
    });
    EXPECT_FALSE(addEnabledAtFull);
    EXPECT_EQ(memcmp(&program->session.machine, &before, sizeof before), 0);
}

TEST_F(WinSheets, CancelAfterApplyLeavesTheToolTable) {
    ASSERT_EQ(start(""), kStartRunning);
    const ToolTable before = program->session.tools;
    std::wstring applied;
    run(CMD_TOOL_SETTINGS, L"工具のプロパティ", IDCANCEL, [&](HWND sheet) {
        HWND page = pageWith(sheet, IDC_TOOL_LIST);
        selectListRow(GetDlgItem(page, IDC_TOOL_LIST), 7);
        SetDlgItemTextW(page, IDC_TOOL_NAME, L"NEW");
        SetDlgItemTextW(page, IDC_TOOL_DIAMETER, L"12.5");
        clickButton(page, IDC_TOOL_APPLY);
        applied = listCell(GetDlgItem(page, IDC_TOOL_LIST), 7, 2);
    });
    EXPECT_EQ(applied, L"12.500");
    EXPECT_EQ(memcmp(&program->session.tools, &before, sizeof before), 0);
}

TEST_F(WinSheets, MachineOkWritesTheFileAndRedrawsWithTheNewItoF) {
    writeFile(dir + "\\int.nc", "O1\r\nG90G00X1000Y2000\r\nM30\r\n");
    ASSERT_EQ(start("\"" + dir + "\\int.nc\""), kStartRunning);
    // X1000 read with the demo machine's ItoF, then with ten times it.
    const float before = fs()->drawing.range.max[0];
    ASSERT_GT(before, 0.5f);
    run(CMD_MACHINE_SETTINGS, kMachine, IDOK,
        [](HWND sheet) { SetDlgItemTextW(pageWith(sheet, 1106), 1106, L"0.01"); });
    EXPECT_FLOAT_EQ(program->session.machine.itoF, 0.01f);
    EXPECT_NE(readFile(dir + "\\demo.MDL").find("0.010000"), std::string::npos);
    EXPECT_FLOAT_EQ(fs()->drawing.range.max[0], before * 10.0f);
}

// The spinner steps its field; Apply puts the value into effect while the
// sheet stays open, so a Cancel afterwards keeps it; a click on a G-code
// row's image toggles the row.
TEST_F(WinSheets, SpinnerApplyAndGCodeImageClick) {
    ASSERT_EQ(start(""), kStartRunning);
    double applied = 0;
    run(CMD_PROP_VIEW, kProperties, IDCANCEL, [&](HWND sheet) {
        HWND page = pageWith(sheet, 1091);
        SetDlgItemTextW(page, 1091, L"2.5");
        HWND spinner = nullptr;
        for (HWND c = GetWindow(page, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (reinterpret_cast<HWND>(SendMessageW(c, UDM_GETBUDDY, 0, 0)) ==
                GetDlgItem(page, 1091))
                spinner = c;
        }
        ASSERT_NE(spinner, nullptr);
        NMUPDOWN change = {};
        change.hdr = {spinner, static_cast<UINT_PTR>(GetDlgCtrlID(spinner)), UDN_DELTAPOS};
        change.iDelta = 1;
        SendMessageW(page, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
        SendMessageW(sheet, WM_COMMAND, MAKEWPARAM(kSheetApply, BN_CLICKED), 0);
        applied = settings().zoomValue;
    });
    EXPECT_DOUBLE_EQ(applied, 3.5);
    EXPECT_DOUBLE_EQ(settings().zoomValue, 3.5);
    const bool before = MachineGModal(program->session.machine, 1);
    run(CMD_MACHINE_SETTINGS, kMachine, IDOK, [](HWND sheet) {
        clickListRow(GetDlgItem(pageWith(sheet, IDC_GMODAL_LIST), IDC_GMODAL_LIST), 1, LVIR_ICON);
    });
    EXPECT_NE(MachineGModal(program->session.machine, 1), before);
}

bool chooseRed(CHOOSECOLORW* choose) {
    choose->rgbResult = RGB(255, 0, 0);
    return true;
}

TEST_F(WinSheets, ANewBackgroundColourRepaintsThePanes) {
    ASSERT_EQ(start(""), kStartRunning);
    SetColorChooserHook(chooseRed);
    run(CMD_PROP_VIEW, kProperties, IDOK,
        [](HWND sheet) { clickButton(pageWith(sheet, 1077), 1077); });
    SetColorChooserHook(nullptr);
    EXPECT_EQ(settings().colorMap[4], static_cast<uint32_t>(RGB(255, 0, 0)));
    HWND pane = GetWindow(GetDlgItem(frame(), IDC_VIEW_PANEL), GW_CHILD);
    ASSERT_NE(pane, nullptr);
    UpdateWindow(pane);
    HDC dc = GetDC(pane);
    const COLORREF pixel = GetPixel(dc, 3, 3);
    ReleaseDC(pane, dc);
    EXPECT_EQ(pixel, RGB(255, 0, 0));
}

}  // namespace
