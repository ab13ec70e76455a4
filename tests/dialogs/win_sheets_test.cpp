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
#include <functional>

namespace {

// What the timer does once the sheet is up.
std::function<void(HWND sheet)> gAction;

void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND sheet = GetForegroundWindow();
    if (sheet == nullptr || GetDlgItem(sheet, kSheetTab) == nullptr) return;
    KillTimer(nullptr, id);
    gAction(sheet);
}

// The page of sheet that holds control id.
HWND pageWith(HWND sheet, int id) {
    for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgItem(child, id) != nullptr) return child;
    }
    return nullptr;
}

void click(HWND page, int id) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void selectRow(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

class WinSheets : public ShellTest {
protected:
    WinSheets() : ShellTest(answerNo, "[Current]\r\nEnableMap=12288\r\n") {}
    // Runs command with action applied to the sheet it opens.
    void run(int command, std::function<void(HWND)> action) {
        gAction = std::move(action);
        SetTimer(nullptr, 0, 50, onTimer);
        SendMessageW(frame(), WM_COMMAND, command, 0);
        pump();
    }
};

TEST_F(WinSheets, OptionsOpensThePageShownLast) {
    ASSERT_EQ(start(""), kStartRunning);
    run(CMD_PROP_VIEW, [](HWND sheet) { PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0); });
    int shown = -1;
    run(CMD_OPTIONS, [&](HWND sheet) {
        shown = TabCtrl_GetCurSel(GetDlgItem(sheet, kSheetTab));
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(shown, 2);
}

TEST_F(WinSheets, ReplacementAddNeedsASearchTextAndStopsAt32) {
    ASSERT_EQ(start(""), kStartRunning);
    const MachineDefinition before = program->session.machine;
    int emptyAdded = -1;
    bool addEnabledAtFull = true;
    run(CMD_MACHINE_SETTINGS, [&](HWND sheet) {
        HWND page = pageWith(sheet, IDC_REPLACE_LIST);
        HWND list = GetDlgItem(page, IDC_REPLACE_LIST);
        const LRESULT rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        SetDlgItemTextW(page, IDC_REPLACE_ORG, L"");
        SetDlgItemTextW(page, IDC_REPLACE_DST, L"x");
        click(page, IDC_REPLACE_ADD);
        emptyAdded = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) - rows);
        SetDlgItemTextW(page, IDC_REPLACE_ORG, L"A");
        for (int k = 0; k < 40; ++k) click(page, IDC_REPLACE_ADD);
        addEnabledAtFull = IsWindowEnabled(GetDlgItem(page, IDC_REPLACE_ADD)) != FALSE;
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 32);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(emptyAdded, 0);
    EXPECT_FALSE(addEnabledAtFull);
    EXPECT_EQ(memcmp(&program->session.machine, &before, sizeof before), 0);
}

TEST_F(WinSheets, CancelAfterApplyLeavesTheToolTable) {
    ASSERT_EQ(start(""), kStartRunning);
    const ToolTable before = program->session.tools;
    std::wstring applied;
    run(CMD_TOOL_SETTINGS, [&](HWND sheet) {
        HWND page = pageWith(sheet, IDC_TOOL_LIST);
        selectRow(GetDlgItem(page, IDC_TOOL_LIST), 7);
        SetDlgItemTextW(page, IDC_TOOL_NAME, L"NEW");
        SetDlgItemTextW(page, IDC_TOOL_DIAMETER, L"12.5");
        click(page, IDC_TOOL_APPLY);
        wchar_t text[64] = {};
        LVITEMW item = {};
        item.iSubItem = 2;
        item.pszText = text;
        item.cchTextMax = 64;
        SendDlgItemMessageW(page, IDC_TOOL_LIST, LVM_GETITEMTEXTW, 7,
                            reinterpret_cast<LPARAM>(&item));
        applied = text;
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
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
    run(CMD_MACHINE_SETTINGS, [](HWND sheet) {
        SetDlgItemTextW(pageWith(sheet, 1106), 1106, L"0.01");
        PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    pump();
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
    run(CMD_PROP_VIEW, [&](HWND sheet) {
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
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_DOUBLE_EQ(applied, 3.5);
    EXPECT_DOUBLE_EQ(settings().zoomValue, 3.5);
    const bool before = MachineGModal(program->session.machine, 1);
    run(CMD_MACHINE_SETTINGS, [](HWND sheet) {
        HWND list = GetDlgItem(pageWith(sheet, IDC_GMODAL_LIST), IDC_GMODAL_LIST);
        RECT icon = {};
        icon.left = LVIR_ICON;
        SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon));
        NMITEMACTIVATE click = {};
        click.hdr = {list, IDC_GMODAL_LIST, NM_CLICK};
        click.ptAction = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
        SendMessageW(GetParent(list), WM_NOTIFY, IDC_GMODAL_LIST, reinterpret_cast<LPARAM>(&click));
        PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    pump();
    EXPECT_NE(MachineGModal(program->session.machine, 1), before);
}

bool chooseRed(CHOOSECOLORW* choose) {
    choose->rgbResult = RGB(255, 0, 0);
    return true;
}

TEST_F(WinSheets, ANewBackgroundColourRepaintsThePanes) {
    ASSERT_EQ(start(""), kStartRunning);
    SetColorChooserHook(chooseRed);
    run(CMD_PROP_VIEW, [](HWND sheet) {
        click(pageWith(sheet, 1077), 1077);
        PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    });
    SetColorChooserHook(nullptr);
    pump();
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
