// The Windows shell in-process under the desktop: start-up from command
// lines, the demo loaded through the open path, the lists, menus, layout,
// changed-file question, failed loads, the hand-over between two processes
// and batch runs. Message boxes are answered by a hook, never by a person.
#include "app/win32/commands.h"
#include "app/win32/frame.h"
#include "app/win32/progress_dialogs.h"
#include "app/win32/shell.h"
#include "pathdata/export.h"
#include "pathdata/pipeline.h"
#include "res/resource.h"
#include "res/strings.h"
#include "tests/app/win_test_support.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Answers and records every message box.
struct Box {
    std::wstring text, caption;
    UINT type;
};
std::vector<Box> gBoxes;
int gAnswer = IDNO;
int recordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
    gBoxes.push_back({text, caption, type});
    return gAnswer;
}

std::wstring wide(const char* cp932) { return tlvWiden(cp932); }

class WinShell : public ::testing::Test {
protected:
    void SetUp() override {
        gBoxes.clear();
        gAnswer = IDNO;
        tlvSetMessageBoxHook(recordBox);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "tlv_shell_" + std::to_string(GetCurrentProcessId()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(dir.c_str(), nullptr);
        const std::string samples = sourceDir() + "\\samples\\";
        for (const char* name : {"demo.nc", "demo.MDL", "demo.TDL"}) {
            CopyFileA((samples + name).c_str(), (dir + "\\" + name).c_str(), FALSE);
        }
        // Without the single-instance rule, so that no other frame interferes.
        writeFile(dir + "\\t.cfg", "[Current]\r\nEnableMap=12288\r\n");
    }
    void TearDown() override {
        if (program && program->frame != nullptr && IsWindow(program->frame)) DestroyWindow(program->frame);
        pump();
        tlvSetMessageBoxHook(nullptr);
    }
    StartResult start(const std::string& args, int show = SW_SHOWNORMAL) {
        program = std::make_unique<Program>();
        program->instance = GetModuleHandleW(nullptr);
        snprintf(program->session.settingsPath, sizeof program->session.settingsPath, "%s\\t.cfg", dir.c_str());
        std::string line = "/MDL=" + dir + "\\demo.MDL /TDL=" + dir + "\\demo.TDL " + args;
        StartResult result = tlvStart(program.get(), wide(line.c_str()).c_str(), show);
        pump();
        return result;
    }
    FrameState* fs() { return frameState(program->frame); }
    HWND codeList() { return GetDlgItem(GetDlgItem(program->frame, IDC_CODE_PANEL), IDC_CODE_LIST); }
    HWND registerList() { return GetDlgItem(GetDlgItem(program->frame, IDC_REGISTER_PANEL), IDC_REGISTER_LIST); }
    int rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring cell(HWND list, int row, int column) {
        wchar_t text[600] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 600;
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    int image(int row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageW(codeList(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    COLORREF rowColour(int row) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = codeList();
        draw.nmcd.hdr.idFrom = IDC_CODE_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.clrText = 0x123456;
        SendMessageW(GetDlgItem(program->frame, IDC_CODE_PANEL), WM_NOTIFY, IDC_CODE_LIST,
                     reinterpret_cast<LPARAM>(&draw));
        return draw.clrText;
    }
    std::wstring menuText(UINT id) {
        wchar_t text[300] = {};
        GetMenuStringW(GetMenu(program->frame), id, text, 300, MF_BYCOMMAND);
        return text;
    }
    std::string demo() { return dir + "\\demo.nc"; }

    std::string dir;
    std::unique_ptr<Program> program;
};

TEST_F(WinShell, StartUpOptionsTable) {
    struct Case {
        const char* args;
        int active;          // expected View Active, -1: the default 0
        bool singlePane;
        bool iconic;
        bool defaultPlacement;
    } cases[] = {
        {"", 0, false, false, false},
        {"/XY", 2, true, false, false},
        {"-xz", 3, true, false, false},
        {"/YZ /XYZ", 1, true, false, false},
        {"/ICON", 0, false, true, false},
        {"/DEFSIZE", 0, false, false, true},
        {"/DXFOUT", 0, false, false, false},  // batch bits without a file start normally
    };
    for (const Case& c : cases) {
        SetUp();
        writeFile(dir + "\\t.cfg", "[Current]\r\nEnableMap=12288\r\n[Frame]\r\nPos=10,20\r\nSize=700,500\r\n");
        ASSERT_EQ(start(c.args), kStartRunning) << c.args;
        const AppSettings& s = program->session.settings;
        EXPECT_EQ(s.viewActive, c.active) << c.args;
        EXPECT_EQ((s.enableMap & EM_SINGLE_PANE) != 0, c.singlePane) << c.args;
        EXPECT_EQ(IsIconic(program->frame) != FALSE, c.iconic) << c.args;
        EXPECT_EQ(s.framePos[0] == kDefaultPlacement, c.defaultPlacement) << c.args;
        if (!c.defaultPlacement && !c.iconic) {
            RECT r;
            GetWindowRect(program->frame, &r);
            EXPECT_EQ(r.left, 10) << c.args;
            EXPECT_EQ(r.right - r.left, 700) << c.args;
        }
        EXPECT_EQ(rows(codeList()), 0) << c.args;
        EXPECT_FALSE(fs()->drawing.loaded) << c.args;
        TearDown();
    }
}

TEST_F(WinShell, SinglePaneOptionIsSavedAtTheEnd) {
    ASSERT_EQ(start("/XY"), kStartRunning);
    DestroyWindow(program->frame);
    tlvFinish(*program);
    AppSettings saved;
    ASSERT_EQ(LoadSettings(&saved, (dir + "\\t.cfg").c_str()), 1);
    EXPECT_EQ(saved.viewActive, 2);
    EXPECT_NE(saved.enableMap & EM_SINGLE_PANE, 0u);
}

TEST_F(WinShell, LoadsTheDemoIntoListsCaptionAndMenus) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    ASSERT_TRUE(fs()->drawing.loaded);
    EXPECT_TRUE(gBoxes.empty());
    const int blocks = ncBlockListCount(fs()->drawing.blocks);
    HWND list = codeList();
    ASSERT_EQ(rows(list), blocks + 1);
    const uint32_t* colours = program->session.settings.colorMap;
    struct Row {
        int row;
        std::wstring line, code;
        int image;
        COLORREF colour;
    } expected[] = {
        {0, L"", L"[demo.nc]", 2, colours[14]},
        {1, L"00001", L"%", 0, colours[10]},
        {2, L"00002", L"O1000(TALIVER DEMO)", 0, colours[12]},
        {3, L"00003", L"(T1 END MILL 10, T2 DRILL 6.8)", 0, colours[13]},
        {4, L"00004", L"N10 G90 G17 G21 G40 G49 G80", 0, colours[10]},
        {blocks, L"", L"[EOF]", 0, colours[14]},
    };
    for (const Row& r : expected) {
        EXPECT_EQ(cell(list, r.row, 1), r.line) << r.row;
        EXPECT_EQ(cell(list, r.row, 2), r.code) << r.row;
        EXPECT_EQ(image(r.row), r.image) << r.row;
        EXPECT_EQ(rowColour(r.row), r.colour) << r.row;
    }
    EXPECT_EQ(GetSelectedCodeLine(program->frame), 0);

    HWND registers = registerList();
    ASSERT_EQ(rows(registers), 3);
    const wchar_t* labels[] = {L"X", L"Y", L"Z"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cell(registers, i, 0), labels[i]);
        EXPECT_NE(cell(registers, i, 1).find(L','), std::wstring::npos);
    }
    EXPECT_EQ(cell(registers, 0, 1), L"-10.000,70.000");

    wchar_t caption[300];
    GetWindowTextW(program->frame, caption, 300);
    std::wstring title = caption;
    EXPECT_TRUE(title == L"demo.nc - Taliver" || title == wide(demo().c_str()) + L" - Taliver") << caption;
    UpdateFrameTitle(program->frame, true);
    GetWindowTextW(program->frame, caption, 300);
    EXPECT_EQ(std::wstring(caption), wide(demo().c_str()) + L" - Taliver");

    UpdateCommandStates(program->frame, GetMenu(program->frame), true);
    EXPECT_EQ(menuText(CMD_HISTORY_FIRST), L"&1 demo.nc\t" + wide(dir.c_str()));
    // Outside the macros: gtest quotes their arguments as narrow text,
    // which cannot hold the Chinese menu texts.
    const std::wstring openWithName = L"打开(&L)...\tdemo";
    EXPECT_EQ(menuText(CMD_MACHINE_OPEN), openWithName);
    EXPECT_EQ(menuText(CMD_TOOL_OPEN), openWithName);
    // This window is in its own instance list, named before the "-".
    bool listed = false;
    for (int k = 0; k < kInstanceMax; ++k) {
        listed = listed || menuText(CMD_INSTANCE_FIRST + k).find(L"demo.nc ") != std::wstring::npos;
    }
    EXPECT_TRUE(listed);
    HMENU menu = GetMenu(program->frame);
    EXPECT_EQ(GetMenuState(menu, CMD_SAVE_AS, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(menu, CMD_TRACE_STOP, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(menu, CMD_QUIT_ALL, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(menu, CMD_VIEW_PATTERN1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(menu, CMD_SPEED_NORMAL, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(WinShell, HistoryAndInstanceItemTexts) {
    EXPECT_EQ(historyItemText(0, "C:\\nc\\a.nc"), L"&1 a.nc\tC:\\nc");
    EXPECT_EQ(historyItemText(8, "C:\\b.nc"), L"&9 b.nc\tC:");
    EXPECT_EQ(historyItemText(9, "C:\\nc\\c.nc"), L"&0 c.nc\tC:\\nc");
    EXPECT_EQ(instanceItemText(0, L"a.nc - Taliver"), L"&1 a.nc ");
    EXPECT_EQ(instanceItemText(12, L"Taliver"), L"&0 ( 無題 )");
}

TEST_F(WinShell, BreakMarksChangeOnlyBlockRows) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    HWND frame = program->frame;
    const int end = ncBlockListCount(fs()->drawing.blocks);
    for (int row : {0, end}) {  // header and end row: never changed
        SetBreakMark(frame, 2, row);
        EXPECT_EQ(SetBreakMark(frame, 3, row), 1) << row;
        EXPECT_EQ(image(row), row == 0 ? 2 : 0) << row;
    }
    SelectCodeLine(frame, 5);
    SendMessageW(frame, WM_COMMAND, CMD_MARK_TOGGLE, 0);
    SetBreakMark(frame, 2, 7);
    NcBlockText block;
    ASSERT_EQ(ncBlockListGet(fs()->drawing.blocks, 5, &block), 1);
    EXPECT_EQ(block.breakMark & kNcBreakMark, kNcBreakMark);
    EXPECT_EQ(image(5), 1);
    EXPECT_EQ(SetBreakMark(frame, 3, 7), 1);
    EXPECT_EQ(SetBreakMark(frame, 3, 6), 0);
    SendMessageW(frame, WM_COMMAND, CMD_MARK_CLEAR_ALL, 0);
    for (int row : {5, 7}) {
        EXPECT_EQ(SetBreakMark(frame, 3, row), 0) << row;
        EXPECT_EQ(image(row), 0) << row;
    }
}

TEST_F(WinShell, RegisterCellsCreateRowsAndIgnoreCase) {
    ASSERT_EQ(start(""), kStartRunning);
    HWND frame = program->frame;
    SetRegisterCell(frame, 10, 1, "%d", 42);
    HWND list = registerList();
    EXPECT_EQ(rows(list), 11);
    EXPECT_EQ(cell(list, 4, 0), L"");
    EXPECT_EQ(cell(list, 10, 1), L"42");
    SetRegisterCell(frame, 0, 0, "%s", "X");
    SetRegisterCell(frame, 0, 0, "%s", "x");
    EXPECT_EQ(cell(list, 0, 0), L"X");
    SetRegisterCell(frame, 0, 0, "%s", "Y");
    EXPECT_EQ(cell(list, 0, 0), L"Y");
    ClearRegisterList(frame);
    EXPECT_EQ(rows(list), 0);
}

TEST_F(WinShell, LayoutAndSplitterLimits) {
    writeFile(dir + "\\t.cfg", "[Current]\r\nEnableMap=0\r\n[Frame]\r\nPos=0,0\r\nSize=800,600\r\n");
    ASSERT_EQ(start(""), kStartRunning);
    HWND frame = program->frame;
    const SIZE g = splitterGap();
    auto rectOf = [&](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(frame, id), &r);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT client;
    GetClientRect(frame, &client);
    RECT reg = rectOf(IDC_REGISTER_PANEL), code = rectOf(IDC_CODE_PANEL), view = rectOf(IDC_VIEW_PANEL);
    // Without toolbar and status bar the panels reach both edges.
    EXPECT_EQ(reg.left, 0);
    EXPECT_EQ(reg.top, 0);
    EXPECT_EQ(reg.right - reg.left, 200);
    EXPECT_EQ(reg.bottom - reg.top, 86);
    EXPECT_EQ(code.top, reg.bottom + g.cy);
    EXPECT_EQ(code.bottom, client.bottom);
    EXPECT_EQ(view.left, reg.right + g.cx);
    EXPECT_EQ(view.right, client.right);
    EXPECT_EQ(view.bottom, client.bottom);

    // Drag the corner far beyond the client: the register panel stops g short.
    const LPARAM corner = MAKELPARAM(reg.right + 1, reg.bottom + 1);
    SendMessageW(frame, WM_MOUSEMOVE, 0, corner);
    EXPECT_EQ(fs()->splitter, kSplitBoth);
    SendMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, corner);
    EXPECT_EQ(GetCapture(), frame);
    SendMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5000, 5000));
    SendMessageW(frame, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5000, 5000));
    SendMessageW(frame, WM_LBUTTONUP, 0, MAKELPARAM(5000, 5000));
    EXPECT_NE(GetCapture(), frame);
    reg = rectOf(IDC_REGISTER_PANEL);
    EXPECT_LE(reg.right, client.right - g.cx);
    EXPECT_LE(reg.bottom, client.bottom - g.cy);
    EXPECT_GT(reg.right, 400);

    // The status bar takes its height off the bottom again.
    SendMessageW(frame, WM_COMMAND, CMD_TOGGLE_STATUSBAR, 0);
    pump();
    RECT status = rectOf(IDC_STATUSBAR);
    EXPECT_EQ(rectOf(IDC_CODE_PANEL).bottom, status.top);
    EXPECT_NE(GetMenuState(GetMenu(frame), CMD_TOGGLE_STATUSBAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(WinShell, ChangedFileIsAskedUntilReloaded) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    HWND frame = program->frame;
    SendMessageW(frame, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(gBoxes.empty());  // unchanged: no question
    writeFile(demo(), readFile(demo()) + "\r\n(ADDED)\r\n");
    gAnswer = IDNO;
    SendMessageW(frame, WM_ACTIVATEAPP, TRUE, 0);
    SendMessageW(frame, WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(gBoxes.size(), 2u);  // asked again after No
    EXPECT_EQ(gBoxes[0].text, wide(demo().c_str()) + L"\n\n" + wide(tlvString(IDS_FILE_CHANGED)));
    EXPECT_EQ(gBoxes[0].caption, L"Taliver");
    EXPECT_EQ(gBoxes[0].type, static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));
    const int before = rows(codeList());
    gAnswer = IDYES;
    SendMessageW(frame, WM_ACTIVATEAPP, TRUE, 0);
    pump();  // the posted reload runs
    EXPECT_EQ(rows(codeList()), before + 2);
    gBoxes.clear();
    SendMessageW(frame, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(gBoxes.empty());
}

TEST_F(WinShell, FailedLoadClearsEverything) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    ASSERT_TRUE(fs()->drawing.loaded);
    const std::string twin = dir + "\\twin.nc";
    writeFile(twin, "O1000\r\nG00 X1.\r\nM30\r\n");
    const char* names[] = {twin.c_str()};
    OpenFiles(program->frame, true, names, 1);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].caption, wide(tlvString(IDS_OPEN_FILE)));
    EXPECT_EQ(gBoxes[0].text.rfind(wide(tlvString(IDS_DUPLICATE_PROGRAM)) + L"\n\nO1000", 0), 0u)
        << gBoxes[0].text.size();
    EXPECT_EQ(gBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(fs()->drawing.loaded);
    EXPECT_EQ(rows(codeList()), 0);
    EXPECT_EQ(rows(registerList()), 0);
    EXPECT_EQ(ncBlockCount(fs()->drawing.blocks, -1), 0);
    wchar_t caption[64];
    GetWindowTextW(program->frame, caption, 64);
    EXPECT_STREQ(caption, L"Taliver");
    EXPECT_NE(GetMenuState(GetMenu(program->frame), CMD_SAVE_AS, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

// A drop of files as the shell delivers it: a DROPFILES header followed by
// the wide names, each terminated, and an empty name at the end.
HDROP makeDrop(const std::vector<std::wstring>& names) {
    size_t chars = 1;
    for (const std::wstring& n : names) chars += n.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& n : names) {
        memcpy(text, n.c_str(), (n.size() + 1) * sizeof(wchar_t));
        text += n.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void setKeyDown(int key, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

TEST_F(WinShell, DroppedFilesReplaceOrWithCtrlOrShiftAdd) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    const int demoPrograms = ncBlockCount(fs()->drawing.blocks, -1);
    const std::string extra = dir + "\\O0042.nc", other = dir + "\\O0043.nc";
    writeFile(extra, "O0042\r\nG00 X1.\r\nM30\r\n");
    writeFile(other, "O0043\r\nG00 X2.\r\nM30\r\n");
    const struct {
        int key;  // held during the drop, 0 for none
        std::string file;
        int programs;
    } cases[] = {
        {VK_CONTROL, extra, demoPrograms + 2},  // the file's header program and O0042
        {VK_SHIFT, other, demoPrograms + 4},
        {0, extra, 2},
    };
    for (const auto& c : cases) {
        if (c.key != 0) setKeyDown(c.key, true);
        SendMessageW(program->frame, WM_DROPFILES,
                     reinterpret_cast<WPARAM>(makeDrop({wide(c.file.c_str())})), 0);
        if (c.key != 0) setKeyDown(c.key, false);
        pump();
        EXPECT_TRUE(fs()->drawing.loaded) << c.file;
        EXPECT_EQ(ncBlockCount(fs()->drawing.blocks, -1), c.programs) << c.key;
    }
    EXPECT_TRUE(gBoxes.empty());
    // While a trace runs a drop is ignored.
    fs()->drawing.tracing = true;
    SendMessageW(program->frame, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({wide(other.c_str())})), 0);
    fs()->drawing.tracing = false;
    EXPECT_EQ(ncBlockCount(fs()->drawing.blocks, -1), 2);
}

TEST_F(WinShell, TopmostMinimiseRestoreAndQuitAll) {
    ASSERT_EQ(start(""), kStartRunning);
    HWND frame = program->frame;
    const uint32_t& flags = program->session.settings.enableMap;
    DispatchCommand(frame, CMD_TOPMOST);
    pump();
    EXPECT_NE(flags & EM_TOPMOST, 0u);
    EXPECT_NE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_NE(GetMenuState(GetMenu(frame), CMD_TOPMOST, MF_BYCOMMAND) & MF_CHECKED, 0u);
    DispatchCommand(frame, CMD_TOPMOST);
    pump();
    EXPECT_EQ(flags & EM_TOPMOST, 0u);
    EXPECT_EQ(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    DispatchCommand(frame, CMD_WINDOWS_MINIMIZE_ALL);
    pump();
    EXPECT_TRUE(IsIconic(frame));
    DispatchCommand(frame, CMD_WINDOWS_RESTORE_ALL);
    pump();
    EXPECT_FALSE(IsIconic(frame));
    // With a single instance the menu item is greyed, but the command still
    // closes every listed window, this one included.
    EXPECT_NE(GetMenuState(GetMenu(frame), CMD_QUIT_ALL, MF_BYCOMMAND) & MF_GRAYED, 0u);
    DispatchCommand(frame, CMD_QUIT_ALL);
    pump();
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(WinShell, HandOverFromASecondProcess) {
    ASSERT_EQ(start(""), kStartRunning);
    ASSERT_EQ(FindWindowW(kFrameClassName, nullptr), program->frame);
    // The second process reads the settings beside its executable, where
    // the single-instance rule is on by default.
    std::string exe = winPath(TLV_TALIVER_EXE);
    DeleteFileA((exe.substr(0, exe.size() - 3) + "cfg").c_str());
    std::string line = "\"" + exe + "\" \"" + demo() + "\" other.nc";
    std::wstring command = wide(line.c_str());
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    // Serve the hand-over while the second process waits for it.
    DWORD waited = WAIT_TIMEOUT;
    for (int i = 0; i < 600 && waited == WAIT_TIMEOUT; ++i) {
        pump();
        waited = WaitForSingleObject(pi.hProcess, 50);
    }
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pump();
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(fs()->drawing.loaded);
    char path[kPlatPathMax] = {};
    ncBlockGetFilename(fs()->drawing.blocks, fs()->drawing.mainProgram, path, sizeof path, nullptr);
    EXPECT_STREQ(path, demo().c_str());
    EXPECT_EQ(HistoryCount(program->session.settings), 1);  // other.nc was dropped

    // A batch run writes its own output even while an instance runs.
    const std::string log = dir + "\\second.log";
    std::wstring batch = wide(("\"" + exe + "\" /HIDE /LOGOUT \"" + demo() + "\" \"" + log + "\"").c_str());
    ASSERT_TRUE(CreateProcessW(nullptr, batch.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    waited = WAIT_TIMEOUT;
    for (int i = 0; i < 600 && waited == WAIT_TIMEOUT; ++i) {
        pump();
        waited = WaitForSingleObject(pi.hProcess, 50);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_NE(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(HistoryCount(program->session.settings), 1);  // nothing was handed over
}

TEST_F(WinShell, CopyDataChecksTagAndSize) {
    ASSERT_EQ(start(""), kStartRunning);
    char buffer[kCopyDataSize] = {};
    snprintf(buffer, sizeof buffer, "%s", demo().c_str());
    COPYDATASTRUCT wrongTag = {0x1234, kCopyDataSize, buffer};
    COPYDATASTRUCT empty = {COPYDATA_OPEN_FILE, 0, buffer};
    EXPECT_EQ(SendMessageW(program->frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&wrongTag)), 0);
    EXPECT_EQ(SendMessageW(program->frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)), 0);
    EXPECT_FALSE(fs()->drawing.loaded);
    COPYDATASTRUCT good = {COPYDATA_OPEN_FILE, kCopyDataSize, buffer};
    SendMessageW(program->frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&good));
    EXPECT_TRUE(fs()->drawing.loaded);
}

// What the portable export writes for the same files, without any window.
class QuietUi : public DrawingUi {
public:
    bool visible() override { return false; }
    bool chooseOpenFiles(PathName*, int, int* count) override { return *count > 0; }
    bool chooseSaveFile(char* path, size_t, int*) override { return path[0] != '\0'; }
    void message(const char*, const char*, UiIcon) override { ++messages; }
    void statusText(const char*) override {}
    void progressOpen(const char*, bool) override {}
    void progressTitle(const char*) override {}
    int progressStep(int, const char*, int) override { return 1; }
    void progressClose() override {}
    void clearCodeList() override {}
    void setCodeListCount(int32_t) override {}
    void selectCodeLine(int32_t) override {}
    void clearRegisterList() override {}
    void setRegisterCell(int, int, const char*) override {}
    void refreshFilterLists() override {}
    void fitAllPanes() override {}
    void refreshCommandStates() override {}
    void rememberFolder(const char*) override {}
    void addToHistory(const char*) override {}
    int messages = 0;
};

TEST_F(WinShell, HiddenBatchWritesTheSameBytesAsThePortableExport) {
    struct Case {
        const char* option;
        const char* output;
        int type;
    } cases[] = {{"/DXFOUT", "out.dxf", kExportDxf}, {"/LOGOUT", "out.log", kExportLog},
                 {"/CSVOUT /DXFOUT", "out.csv", kExportDxf}};
    for (const Case& c : cases) {
        SetUp();
        const std::string output = dir + "\\" + c.output;
        ASSERT_EQ(start(std::string("/HIDE ") + c.option + " \"" + demo() + "\" \"" + output + "\""), kStartBatch)
            << c.option;
        EXPECT_EQ(program->frame, nullptr);
        EXPECT_TRUE(gBoxes.empty()) << c.option;
        tlvFinish(*program);
        const std::string written = readFile(output);
        ASSERT_FALSE(written.empty()) << c.option;

        Session& session = program->session;
        auto drawing = std::make_unique<Drawing>();
        ASSERT_TRUE(drawingCreate(drawing.get(), &session.machine, &session.tools));
        QuietUi ui;
        const std::string name = demo();
        const char* names[] = {name.c_str()};
        OpenNcFiles(drawing.get(), &ui, false, names, 1);
        ASSERT_TRUE(drawing->loaded);
        const std::string expected = dir + "\\expected";
        writeFile(expected, "");
        EXPECT_EQ(ExportDrawing(drawing.get(), &ui, expected.c_str(), c.type, exportOptionsOf(session, *drawing)),
                  kExportWritten);
        drawingDestroy(drawing.get());
        EXPECT_EQ(written, readFile(expected)) << c.option;
        EXPECT_EQ(ui.messages, 0);
        TearDown();
    }
}

TEST_F(WinShell, HiddenBatchReportsFailuresWithoutWaiting) {
    const std::string missing = dir + "\\missing.nc";
    ASSERT_EQ(start("/HIDE /LOGOUT \"" + missing + "\""), kStartBatch);
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(GetFileAttributesA((dir + "\\missing.log").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WinShell, DualProgressCancelAndOwnerState) {
    ASSERT_EQ(start(""), kStartRunning);
    HWND frame = program->frame;
    HWND dialog = DualProgressOpen(frame, "demo.nc");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(frame));
    wchar_t title[64];
    GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"demo.nc");
    EXPECT_EQ(DualProgressStep(dialog, 0, tlvString(IDS_LOADING), 10), 1);
    wchar_t label[64];
    GetDlgItemTextW(dialog, IDC_DUAL_LABEL1, label, 64);
    EXPECT_EQ(std::wstring(label), wide(tlvString(IDS_LOADING)));
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_DUAL_BAR1, PBM_GETPOS, 0, 0), 10);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    // An unchanged step does not look at the queue before its 1000th call.
    EXPECT_EQ(DualProgressStep(dialog, 1, nullptr, 0), 1);
    EXPECT_EQ(DualProgressStep(dialog, 1, nullptr, 5), 0);
    EXPECT_EQ(DualProgressStep(dialog, 1, nullptr, 6), 0);
    ProgressClose(dialog);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_FALSE(IsWindow(dialog));

    HWND single = ProgressOpen(frame, "x");
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(ProgressStep(single, "a", 50), 1);
    PostMessageW(single, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ProgressStep(single, nullptr, 50), 0);
    ProgressClose(single);
    EXPECT_EQ(ProgressStep(nullptr, nullptr, 1), 1);
}

std::wstring gReportText;
void CALLBACK closeReport(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", L"ＮＣのレポート");
    if (dialog == nullptr) return;
    wchar_t text[4096] = {};
    GetDlgItemTextW(dialog, IDC_REPORT_TEXT, text, 4096);
    gReportText = text;
    KillTimer(nullptr, id);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(WinShell, ReportDialogShowsTheReport) {
    ASSERT_EQ(start("\"" + demo() + "\""), kStartRunning);
    gReportText.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 100, closeReport);
    SendMessageW(program->frame, WM_COMMAND, CMD_NC_REPORT, 0);
    KillTimer(nullptr, timer);
    EXPECT_EQ(gReportText.rfind(wide("ファイル名   : demo.nc"), 0), 0u);
    EXPECT_NE(gReportText.find(wide("プログラムNo : 1000")), std::wstring::npos);
    EXPECT_NE(gReportText.find(L"\r\r\n"), std::wstring::npos);
}

TEST_F(WinShell, CommandsNeedingADrawingDoNothingWithout) {
    ASSERT_EQ(start(""), kStartRunning);
    gReportText = L"untouched";
    UINT_PTR timer = SetTimer(nullptr, 0, 100, closeReport);
    for (int id : {CMD_NC_REPORT, CMD_SAVE_AS, CMD_RELOAD, CMD_PRINT}) {
        SendMessageW(program->frame, WM_COMMAND, id, 0);
    }
    KillTimer(nullptr, timer);
    EXPECT_EQ(gReportText, L"untouched");
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_TRUE(IsWindowEnabled(program->frame));
}

TEST_F(WinShell, EveryCommandHasAMenuItem) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::vector<HMENU> menus;
    for (int id : {IDR_MAINMENU, IDR_PANEMENU, IDR_CODEMENU, IDR_REGISTERMENU, IDR_TOOLBARMENU}) {
        HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(id));
        ASSERT_NE(menu, nullptr) << id;
        menus.push_back(menu);
    }
    int count = 0;
    const CommandEntry* table = commandTable(&count);
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].id, table[i].id);
        }
        if (table[i].id == CMD_PRINT_DIRECT) continue;  // the batch option only
        bool found = false;
        for (HMENU menu : menus) found = found || GetMenuState(menu, table[i].id, MF_BYCOMMAND) != 0xFFFFFFFF;
        EXPECT_TRUE(found) << table[i].id;
    }
    for (HMENU menu : menus) DestroyMenu(menu);
    EXPECT_EQ(findCommand(12345), nullptr);
}

TEST_F(WinShell, StringTableMatchesPortableMessages) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const UINT ids[] = {IDS_PRODUCT,   IDS_INVALID_HANDLE, IDS_READY,         IDS_ABORTED,
                        IDS_DUPLICATE_PROGRAM, IDS_NESTING_OVERFLOW, IDS_COLUMN_LINE, IDS_USER_FILTER};
    for (UINT id : ids) {
        std::wstring fromTable = tlvLoadString(instance, id);
        EXPECT_FALSE(fromTable.empty()) << id;
        EXPECT_EQ(fromTable, tlvWiden(tlvString(static_cast<int>(id)))) << id;
    }
    EXPECT_EQ(tlvLoadString(instance, IDS_READY), L"ﾚﾃﾞｨ");
    const std::wstring chineseOnly = L"原图";
    EXPECT_EQ(tlvLoadString(instance, 5), chineseOnly);
}

TEST_F(WinShell, SplitsTheOpenDialogResult) {
    PathName files[4];
    int count = 0;
    ASSERT_TRUE(splitOpenResult(L"C:\\nc\\a.nc\0", files, 4, &count));
    EXPECT_EQ(count, 1);
    EXPECT_STREQ(files[0].text, "C:\\nc\\a.nc");
    ASSERT_TRUE(splitOpenResult(L"C:\\nc\0a.nc\0b.nc\0", files, 4, &count));
    EXPECT_EQ(count, 2);
    EXPECT_STREQ(files[1].text, "C:\\nc\\b.nc");
    ASSERT_TRUE(splitOpenResult(L"C:\\\0a.nc\0", files, 4, &count));
    EXPECT_STREQ(files[0].text, "C:\\a.nc");
}

}  // namespace
