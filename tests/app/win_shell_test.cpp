// The Windows shell in-process under the desktop: the demo loaded through
// the open path, the lists, menus, layout, changed-file question, failed
// loads, dropped files, the hand-over between two processes, progress and
// the file and report dialogs. Message boxes are answered by a hook.
#include "app/win32/commands.h"
#include "app/win32/notes_window.h"
#include "app/win32/progress_dialogs.h"
#include "view/win32/pane_windows.h"
#include "res/resource.h"
#include "res/strings.h"
#include "tests/app/win_test_support.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

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

std::wstring wide(const std::string& cp932) { return tlvWiden(cp932.c_str()); }

// Answers every file dialog with gDialogAnswer (cancel when empty).
std::string gDialogAnswer;
bool answerFileDialog(OPENFILENAMEW* ofn, bool) {
    if (gDialogAnswer.empty()) return false;
    lstrcpynW(ofn->lpstrFile, wide(gDialogAnswer).c_str(), static_cast<int>(ofn->nMaxFile));
    return true;
}

// Runs a second process while serving this one's messages, which it may
// wait for; its exit code, or STILL_ACTIVE when it did not end in 30 s.
DWORD runBeside(const std::string& line) {
    std::wstring command = wide(line);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi)) {
        return ~0u;
    }
    DWORD waited = WAIT_TIMEOUT, code = STILL_ACTIVE;
    for (int i = 0; i < 600 && waited == WAIT_TIMEOUT; ++i) {
        pump();
        waited = WaitForSingleObject(pi.hProcess, 50);
    }
    if (waited == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pump();
    return code;
}

class WinShell : public ShellTest {
protected:
    WinShell() : ShellTest(recordBox) {}
    void SetUp() override {
        gBoxes.clear();
        gAnswer = IDNO;
        ShellTest::SetUp();
        tlvSetFileDialogHook(answerFileDialog);
        gDialogAnswer.clear();
    }
    int image(int row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageW(codeList(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    // The code list's answer to painting a row; colour receives its text colour.
    LRESULT drawRow(int row, COLORREF* colour = nullptr) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = codeList();
        draw.nmcd.hdr.idFrom = IDC_CODE_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.clrText = 0x123456;
        LRESULT answer = SendMessageW(GetDlgItem(frame(), IDC_CODE_PANEL), WM_NOTIFY, IDC_CODE_LIST,
                                      reinterpret_cast<LPARAM>(&draw));
        if (colour != nullptr) *colour = draw.clrText;
        return answer;
    }
    // A noted row asks to be painted again, for its mark.
    bool rowMarked(int row) { return (drawRow(row) & CDRF_NOTIFYPOSTPAINT) != 0; }
    std::wstring menuText(UINT id) {
        wchar_t text[300] = {};
        GetMenuStringW(GetMenu(frame()), id, text, 300, MF_BYCOMMAND);
        return text;
    }
    std::wstring caption() {
        wchar_t text[300] = {};
        GetWindowTextW(frame(), text, 300);
        return text;
    }
};

TEST_F(WinShell, LoadsTheDemoIntoListsCaptionAndMenus) {
    ASSERT_EQ(startDemo(), kStartRunning);
    ASSERT_TRUE(fs()->drawing.loaded);
    EXPECT_TRUE(gBoxes.empty());
    const int blocks = ncBlockListCount(fs()->drawing.blocks);
    HWND list = codeList();
    ASSERT_EQ(listRows(list), blocks + 1);
    const struct {
        int row;
        std::wstring cells;  // line number and code
        int image, colour;   // colour: the entry of the colour map
    } expected[] = {
        // Which cells, images and colours a row gets is checked without
        // windows; here that they reach the list.
        {0, L"|[demo.nc]", 2, 14},
        {2, L"00002|O1000(TALIVER DEMO)", 0, 12},
        {blocks, L"|[EOF]", 0, 14},
    };
    for (const auto& r : expected) {
        EXPECT_EQ(listCell(list, r.row, 1) + L"|" + listCell(list, r.row, 2), r.cells);
        EXPECT_EQ(image(r.row), r.image) << r.row;
        COLORREF colour = 0;
        drawRow(r.row, &colour);
        EXPECT_EQ(colour, settings().colorMap[r.colour]) << r.row;
    }
    EXPECT_EQ(GetSelectedCodeLine(frame()), 0);

    HWND registers = registerList();
    ASSERT_EQ(listRows(registers), 3);
    EXPECT_EQ(listCell(registers, 0, 0) + L"|" + listCell(registers, 0, 1), L"X|-10.000,70.000");

    EXPECT_TRUE(caption() == L"demo.nc - Taliver" || caption() == wide(demo()) + L" - Taliver")
        << caption().size();

    UpdateCommandStates(fs(), GetMenu(frame()), true);
    EXPECT_EQ(menuText(CMD_HISTORY_FIRST), L"&1 demo.nc\t" + wide(dir));
    // Outside the macros: gtest quotes their arguments as narrow text,
    // which cannot hold the Chinese menu texts.
    const std::wstring openWithName = L"打开(&L)...\tdemo";
    EXPECT_EQ(menuText(CMD_MACHINE_OPEN), openWithName);
    // This window is in its own instance list, named before the "-".
    std::wstring instances;
    for (int k = 0; k < kInstanceMax; ++k) instances += menuText(CMD_INSTANCE_FIRST + k);
    EXPECT_NE(instances.find(L"demo.nc "), std::wstring::npos);
}

// The notes of a load in their window and on the code list's rows; a
// double-click or Enter shows a note's line; a load without notes empties
// the window and disables its command. Which notes are kept is checked
// natively.
TEST_F(WinShell, NotesWindowListsTheNotesAndShowsTheirLines) {
    const std::string file = dir + "\\notes.nc";
    writeFile(file, "O0001\r\n#100=1\r\nG00 X1.\r\nG01 X#100 F100\r\nM30\r\n");
    ASSERT_EQ(start("\"" + file + "\""), kStartRunning);
    EXPECT_FALSE(menuHas(CMD_NOTES_WINDOW, MF_GRAYED));
    SendMessageW(frame(), WM_COMMAND, CMD_NOTES_WINDOW, 0);
    HWND window = NotesWindow(frame());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    HWND list = GetWindow(window, GW_CHILD);
    ASSERT_EQ(listRows(list), 2);
    EXPECT_EQ(listCell(list, 0, 0) + L"|" + listCell(list, 1, 0) + L"|" + listCell(list, 1, 1),
              L"00002|00004|O0001");
    RECT r = {};
    r.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM(r.left + 8, (r.top + r.bottom) / 2));
    EXPECT_EQ(GetSelectedCodeLine(frame()), 4);  // after the header and three lines
    selectListRow(list, 0);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(GetSelectedCodeLine(frame()), 2);
    // Its keys stay its own while the pointer rests on a view pane, where
    // the main loop hands keys of the main window's children to the views.
    POINT onPane = {};
    for (HWND p = GetWindow(GetDlgItem(frame(), IDC_VIEW_PANEL), GW_CHILD); p != nullptr;
         p = GetWindow(p, GW_HWNDNEXT)) {
        RECT pr;
        GetWindowRect(p, &pr);
        if (PaneFromWindow(WindowFromPoint({pr.left + 5, pr.top + 5})) >= 0)
            onPane = {pr.left + 5, pr.top + 5};
    }
    ASSERT_TRUE(SetCursorPos(onPane.x, onPane.y));
    ASSERT_GE(PaneFromWindow(WindowFromPoint(onPane)), 0);
    SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    runLoop(frame());
    EXPECT_EQ(GetSelectedCodeLine(frame()), 4);
    for (int row : {1, 2, 3, 4}) EXPECT_EQ(rowMarked(row), row % 2 == 0) << row;

    ASSERT_EQ(openFile(demo()), 1);
    ASSERT_TRUE(fs()->drawing.loaded);
    EXPECT_EQ(listRows(list), 0);
    EXPECT_FALSE(rowMarked(2));
    UpdateCommandStates(fs(), GetMenu(frame()), true);
    EXPECT_TRUE(menuHas(CMD_NOTES_WINDOW, MF_GRAYED));
}

// Marks show as the row's image; the header and end rows never change.
TEST_F(WinShell, BreakMarksChangeOnlyBlockRows) {
    ASSERT_EQ(startDemo(), kStartRunning);
    const int end = ncBlockListCount(fs()->drawing.blocks);
    for (int row : {0, 5, end}) {
        SelectCodeLine(frame(), row);
        SendMessageW(frame(), WM_COMMAND, CMD_MARK_TOGGLE, 0);
    }
    EXPECT_EQ(std::to_string(image(0)) + std::to_string(image(5)) + std::to_string(image(end)),
              "210");
    SendMessageW(frame(), WM_COMMAND, CMD_MARK_CLEAR_ALL, 0);
    EXPECT_EQ(image(5), 0);
    EXPECT_EQ(SetBreakMark(frame(), 3, 5), 0);
}

// The list moves its selection from an empty one (see the code list); no
// key may leave two rows selected or none.
TEST_F(WinShell, CodeListKeysKeepOneSelectedRow) {
    ASSERT_EQ(startDemo(), kStartRunning);
    const int last = listRows(codeList()) - 1;
    SelectCodeLine(frame(), 5);
    const struct {
        WPARAM key;
        int row;
    } steps[] = {{VK_DOWN, 6}, {VK_UP, 5}, {VK_HOME, 0}, {VK_UP, 0}, {VK_END, last}, {VK_DOWN, last}};
    for (const auto& step : steps) {
        SendMessageW(codeList(), WM_KEYDOWN, step.key, 0);
        EXPECT_EQ(SendMessageW(codeList(), LVM_GETSELECTEDCOUNT, 0, 0), 1) << step.key;
        EXPECT_EQ(GetSelectedCodeLine(frame()), step.row) << step.key;
        EXPECT_EQ(GetCurrentCodeLine(frame()), step.row) << step.key;
    }
}

TEST_F(WinShell, LayoutAndSplitterLimits) {
    writeFile(dir + "\\t.cfg", "[Current]\r\nEnableMap=0\r\n[Frame]\r\nPos=0,0\r\nSize=800,600\r\n");
    ASSERT_EQ(start(""), kStartRunning);
    HWND frame = program->frame;
    const SIZE g = SplitterGap();
    auto rectOf = [&](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(frame, id), &r);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT client;
    GetClientRect(frame, &client);
    RECT reg = rectOf(IDC_REGISTER_PANEL), code = rectOf(IDC_CODE_PANEL);
    RECT view = rectOf(IDC_VIEW_PANEL);
    // Without toolbar and status bar the panels reach both edges.
    EXPECT_EQ(std::vector<LONG>({reg.left, reg.top, reg.right, reg.bottom}),
              std::vector<LONG>({0, 0, 200, 86}));
    EXPECT_EQ(std::vector<LONG>({code.top, view.left, code.bottom, view.right, view.bottom}),
              std::vector<LONG>({reg.bottom + g.cy, reg.right + g.cx, client.bottom, client.right,
                                 client.bottom}));

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
    EXPECT_EQ(rectOf(IDC_CODE_PANEL).bottom, rectOf(IDC_STATUSBAR).top);
    EXPECT_TRUE(menuHas(CMD_TOGGLE_STATUSBAR, MF_CHECKED));
}

TEST_F(WinShell, ChangedFileIsAskedUntilReloaded) {
    ASSERT_EQ(startDemo(), kStartRunning);
    SendMessageW(frame(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(gBoxes.empty());  // unchanged: no question
    writeFile(demo(), readFile(demo()) + "\r\n(ADDED)\r\n");
    gAnswer = IDNO;
    SendMessageW(frame(), WM_ACTIVATEAPP, TRUE, 0);
    SendMessageW(frame(), WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(gBoxes.size(), 2u);  // asked again after No
    EXPECT_EQ(gBoxes[0].text, wide(demo()) + L"\n\n" + wide(tlvString(IDS_FILE_CHANGED)));
    EXPECT_EQ(gBoxes[0].type, static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));
    const int before = listRows(codeList());
    gAnswer = IDYES;
    SendMessageW(frame(), WM_ACTIVATEAPP, TRUE, 0);
    pump();  // the posted reload runs
    EXPECT_EQ(listRows(codeList()), before + 2);
    SendMessageW(frame(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(gBoxes.size(), 3u);  // reloaded: asked no more
}

TEST_F(WinShell, FailedLoadClearsEverything) {
    ASSERT_EQ(startDemo(), kStartRunning);
    ASSERT_TRUE(fs()->drawing.loaded);
    const std::string twin = dir + "\\twin.nc";
    writeFile(twin, "O1000\r\nG00 X1.\r\nM30\r\n");
    openFile(twin, true);
    // What the load clears is checked without windows; here what shows.
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].caption, wide(tlvString(IDS_OPEN_FILE)));
    EXPECT_EQ(gBoxes[0].text.rfind(wide(tlvString(IDS_DUPLICATE_PROGRAM)) + L"\n\nO1000", 0), 0u)
        << gBoxes[0].text.size();
    EXPECT_EQ(gBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(listRows(codeList()) + listRows(registerList()), 0);
    EXPECT_EQ(caption(), L"Taliver");
    EXPECT_TRUE(menuHas(CMD_SAVE_AS, MF_GRAYED));
}

// A drop of one file as the shell delivers it: a DROPFILES header followed
// by the wide name, terminated, and an empty name at the end.
HDROP makeDrop(const std::wstring& name) {
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
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
    ASSERT_EQ(startDemo(), kStartRunning);
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
        SendMessageW(frame(), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(wide(c.file))), 0);
        if (c.key != 0) setKeyDown(c.key, false);
        pump();
        EXPECT_TRUE(fs()->drawing.loaded) << c.file;
        EXPECT_EQ(ncBlockCount(fs()->drawing.blocks, -1), c.programs) << c.key;
    }
    EXPECT_TRUE(gBoxes.empty());
}

TEST_F(WinShell, TopmostMinimiseRestoreAndQuitAll) {
    ASSERT_EQ(start(""), kStartRunning);
    HWND frame = program->frame;
    for (bool on : {true, false}) {
        DispatchCommand(FrameStateOf(frame), CMD_TOPMOST);
        pump();
        EXPECT_EQ((settings().enableMap & EM_TOPMOST) != 0, on);
        EXPECT_EQ((GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, on);
        EXPECT_EQ(menuHas(CMD_TOPMOST, MF_CHECKED), on);
    }
    DispatchCommand(FrameStateOf(frame), CMD_WINDOWS_MINIMIZE_ALL);
    pump();
    EXPECT_TRUE(IsIconic(frame));
    DispatchCommand(FrameStateOf(frame), CMD_WINDOWS_RESTORE_ALL);
    pump();
    EXPECT_FALSE(IsIconic(frame));
    // With a single instance the menu item is greyed, but the command still
    // closes every listed window, this one included.
    EXPECT_TRUE(menuHas(CMD_QUIT_ALL, MF_GRAYED));
    DispatchCommand(FrameStateOf(frame), CMD_QUIT_ALL);
    pump();
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(WinShell, HandOverFromASecondProcess) {
    ASSERT_EQ(start(""), kStartRunning);
    ASSERT_EQ(FindWindowW(kFrameClassName, nullptr), frame());
    // The second process reads the settings beside its executable, where
    // the single-instance rule is on by default.
    std::string exe = winPath(TLV_TALIVER_EXE);
    DeleteFileA((exe.substr(0, exe.size() - 3) + "cfg").c_str());
    EXPECT_EQ(runBeside("\"" + exe + "\" \"" + demo() + "\" other.nc"), 0u);
    EXPECT_TRUE(fs()->drawing.loaded);
    char path[kPlatPathMax] = {};
    ncBlockGetFilename(fs()->drawing.blocks, fs()->drawing.mainProgram, path, sizeof path, nullptr);
    EXPECT_STREQ(path, demo().c_str());
    EXPECT_EQ(HistoryCount(settings()), 1);  // other.nc was dropped

    // A batch run writes its own output even while an instance runs.
    const std::string log = dir + "\\second.log";
    EXPECT_EQ(runBeside("\"" + exe + "\" /HIDE /LOGOUT \"" + demo() + "\" \"" + log + "\""), 0u);
    EXPECT_NE(GetFileAttributesA(log.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(HistoryCount(settings()), 1);  // nothing was handed over
}

// The one-bar dialog of exports shares the Cancel rule and the owner's
// state with the two-bar one.
TEST_F(WinShell, DualProgressCancelAndOwnerState) {
    ASSERT_EQ(start(""), kStartRunning);
    HWND dialog = DualProgressOpen(frame(), "demo.nc");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(frame()));
    EXPECT_EQ(DualProgressStep(dialog, 0, tlvString(IDS_LOADING), 10), 1);
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_DUAL_BAR1, PBM_GETPOS, 0, 0), 10);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(DualProgressStep(dialog, 1, nullptr, 5), 0);
    ProgressClose(dialog);
    EXPECT_TRUE(IsWindowEnabled(frame()));
    EXPECT_FALSE(IsWindow(dialog));
    // The load's steps visit the dialog only now and then, yet see Cancel.
    fs()->ui->progressOpen("demo.nc", true);
    PostMessageW(GetLastActivePopup(frame()), WM_COMMAND, IDCANCEL, 0);
    Sleep(60);
    int answer = 1;
    for (int i = 0; i < 1000 && answer == 1; ++i) answer = fs()->ui->progressStep(1, nullptr, 0);
    fs()->ui->progressClose();
    EXPECT_EQ(answer, 0);
}

// The machine "open" item (the tool item shares its code): a cancelled or
// refused choice keeps the file; a chosen one is remembered, offered for
// review in the machine sheet, and the loaded demo is translated again
// with it.
TEST_F(WinShell, MachineFileIsChosenAndApplied) {
    ASSERT_EQ(startDemo(), kStartRunning);
    const std::string machine = settings().postFile;
    const float maxX = fs()->drawing.range.max[0];
    ASSERT_GT(maxX, 0.0f);
    writeFile(dir + "\\double.MDL", "[PostInfo]\r\nScaleXYZ=2,2,2\r\n");
    const struct {
        std::string answer;
        size_t boxes;
        std::string remembered;
        float scale;
    } cases[] = {
        {"", 0, machine, 1.0f},   // cancelled
        {dir, 1, machine, 1.0f},  // a folder is refused
        {dir + "\\double.MDL", 1, dir + "\\double.MDL", 2.0f},
    };
    int sheets = 0;
    const auto cancel = [&](HWND sheet) {
        ++sheets;
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    };
    for (const auto& c : cases) {
        gDialogAnswer = c.answer;
        withDialog(L"機械のプロパティ", cancel, [&] {
            SendMessageW(frame(), WM_COMMAND, CMD_MACHINE_OPEN, 0);
            pump();  // the sheet comes up after the command
        });
        EXPECT_EQ(gBoxes.size(), c.boxes) << c.answer;
        EXPECT_EQ(settings().postFile, c.remembered);
        EXPECT_FLOAT_EQ(fs()->drawing.range.max[0], c.scale * maxX) << c.answer;
    }
    EXPECT_EQ(sheets, 1);
}

// The proposed demo.dxf follows the type picked in the real save dialog:
// CSV text goes to demo.csv.
TEST_F(WinShell, SaveAsNameFollowsTheTypePicked) {
    ASSERT_EQ(startDemo(), kStartRunning);
    tlvSetFileDialogHook(nullptr);
    std::wstring shown;
    const auto pickCsv = [&](HWND dialog) {
        HWND types = GetDlgItem(dialog, cmb1);
        SendMessageW(types, CB_SETCURSEL, kExportCsv, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(types));
        wchar_t name[300] = {};
        GetDlgItemTextW(dialog, cmb13, name, 300);
        shown = name;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };
    withDialog(L"名前を付けて保存", pickCsv,
               [&] { SendMessageW(frame(), WM_COMMAND, CMD_SAVE_AS, 0); });
    EXPECT_EQ(shown, L"demo.csv");
    EXPECT_NE(readFile(dir + "\\demo.csv"), "");
    EXPECT_EQ(GetFileAttributesA((dir + "\\demo.dxf").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The report dialog opens at the top with nothing selected, the file name
// in sight; without a drawing it and the other commands needing one do
// nothing.
TEST_F(WinShell, ReportDialogShowsTheReportOnlyWithADrawing) {
    std::wstring text = L"untouched";
    DWORD selection = 1;
    LRESULT topLine = 1;
    const auto readReport = [&](HWND dialog) {
        wchar_t shown[4096] = {};
        GetDlgItemTextW(dialog, IDC_REPORT_TEXT, shown, 4096);
        text = shown;
        selection =
            static_cast<DWORD>(SendDlgItemMessageW(dialog, IDC_REPORT_TEXT, EM_GETSEL, 0, 0));
        topLine = SendDlgItemMessageW(dialog, IDC_REPORT_TEXT, EM_GETFIRSTVISIBLELINE, 0, 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };
    ASSERT_EQ(start(""), kStartRunning);
    withDialog(L"ＮＣのレポート", readReport, [&] {
        for (int id : {CMD_NC_REPORT, CMD_SAVE_AS, CMD_RELOAD, CMD_PRINT}) {
            SendMessageW(frame(), WM_COMMAND, id, 0);
        }
    });
    EXPECT_EQ(text, L"untouched");
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_TRUE(IsWindowEnabled(frame()));

    ASSERT_EQ(openFile(demo()), 1);
    withDialog(L"ＮＣのレポート", readReport,
               [&] { SendMessageW(frame(), WM_COMMAND, CMD_NC_REPORT, 0); });
    EXPECT_EQ(text.rfind(wide("ファイル名   : demo.nc"), 0), 0u);
    EXPECT_NE(text.find(L"\r\r\n"), std::wstring::npos);
    EXPECT_EQ(selection, 0u);
    EXPECT_EQ(topLine, 0);
}

}  // namespace
