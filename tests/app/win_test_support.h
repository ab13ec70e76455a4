// Helpers of the Windows GUI tests: paths of the source tree as Wine sees
// them, files, running the queued window messages, answering dialogs, and
// the shell started in-process in a folder of the test's own.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "app/win32/commands.h"
#include "app/win32/frame.h"
#include "app/win32/gui_ui.h"
#include "app/win32/shell.h"
#include "definitions/view_planes.h"
#include "platform/win32/wide.h"
#include "res/resource.h"

// A Linux path as Wine's drive Z: sees it.
inline std::string winPath(const std::string& unixPath) {
    std::string out = "Z:" + unixPath;
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

// The source tree, from TLV_SOURCE_DIR that ctest sets.
inline std::string sourceDir() {
    const char* dir = getenv("TLV_SOURCE_DIR");
    return dir != nullptr ? winPath(dir) : std::string("..\\..\\..");
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Handles every queued message; a quit message is left for nobody, since
// the tests run their windows without a message loop.
inline void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs the posted messages through the program's main loop.
inline void runLoop(HWND frame) {
    PostQuitMessage(0);
    RunMessageLoop(frame);
}

// A message box hook for tests that expect no question: every answer is No.
inline int answerNo(HWND, const wchar_t*, const wchar_t*, UINT) {
    return IDNO;
}

// No test may wait for a person at a file dialog: every one is cancelled.
inline bool cancelFileDialog(OPENFILENAMEW*, bool) {
    return false;
}

inline int listRows(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

inline std::wstring listCell(HWND list, int row, int column) {
    wchar_t text[600] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 600;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

inline void selectListRow(HWND list, int row) {
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// Tells the list's parent of a click on a row's image (part LVIR_ICON) or
// text (LVIR_LABEL), as the list itself would.
inline void clickListRow(HWND list, int row, int part) {
    RECT r = {part, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    NMITEMACTIVATE click = {};
    click.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), static_cast<UINT>(NM_CLICK)};
    click.iItem = row;
    click.ptAction = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SendMessageW(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

inline void clickButton(HWND parent, int id) {
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(parent, id)));
}

// Runs run() while a timer hands the first dialog captioned caption to
// action once it shows its controls (Wine briefly shows an empty window with
// the save dialog's caption too), as a person would answer it inside the
// dialog's modal loop. The action must close the dialog; one that a posted
// message opens must come up inside run(), which then pumps.
inline std::function<void(HWND)> gDialogAction;
inline const wchar_t* gDialogCaption = nullptr;
inline void CALLBACK actOnDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", gDialogCaption);
    if (dialog == nullptr || !IsWindowVisible(dialog) || GetWindow(dialog, GW_CHILD) == nullptr)
        return;
    KillTimer(nullptr, id);
    gDialogAction(dialog);
}
inline void withDialog(const wchar_t* caption, std::function<void(HWND)> action,
                       const std::function<void()>& run) {
    gDialogCaption = caption;
    gDialogAction = std::move(action);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, actOnDialog);
    run();
    KillTimer(nullptr, timer);
    pump();
}

// Under Wine the pointer reaches its new place a moment later, and soon
// after a session starts a late move of the X pointer may still take it
// elsewhere: the place must hold for a while.
inline void moveCursor(int x, int y) {
    for (int i = 0, held = 0; i < 500 && held < 20; ++i) {
        SetCursorPos(x, y);
        Sleep(10);
        pump();
        POINT at;
        GetCursorPos(&at);
        held = at.x == x && at.y == y ? held + 1 : 0;
    }
}

// The shell started from a command line in a folder of the test's own that
// holds the demo, its machine and tool files and the settings file t.cfg.
// Message boxes go to the hook, never to a person; file dialogs are
// cancelled. The default settings turn the single-instance rule off, so
// that no other frame interferes.
class ShellTest : public ::testing::Test {
protected:
    explicit ShellTest(MessageBoxHook hook = answerNo,
                       const char* settings = "[Current]\r\nEnableMap=12288\r\n")
        : hook_(hook), settings_(settings) {}
    void SetUp() override {
        tlvSetMessageBoxHook(hook_);
        tlvSetFileDialogHook(cancelFileDialog);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::string(temp) + "tlv_" + test->test_suite_name() + "_" +
              std::to_string(GetCurrentProcessId()) + "_" + test->name();
        CreateDirectoryA(dir.c_str(), nullptr);
        for (const char* name : {"demo.nc", "demo.MDL", "demo.TDL"}) {
            CopyFileA((sourceDir() + "\\samples\\" + name).c_str(), (dir + "\\" + name).c_str(),
                      FALSE);
        }
        writeFile(dir + "\\t.cfg", settings_);
    }
    void TearDown() override {
        if (program && IsWindow(program->frame)) DestroyWindow(program->frame);
        pump();
        tlvSetMessageBoxHook(nullptr);
        tlvSetFileDialogHook(nullptr);
    }
    StartResult start(const std::string& args, int show = SW_SHOWNORMAL) {
        program = std::make_unique<Program>();
        program->instance = GetModuleHandleW(nullptr);
        snprintf(program->session.settingsPath, sizeof program->session.settingsPath, "%s\\t.cfg",
                 dir.c_str());
        std::string line = "/MDL=" + dir + "\\demo.MDL /TDL=" + dir + "\\demo.TDL " + args;
        StartResult result = StartProgram(program.get(), tlvWiden(line.c_str()).c_str(), show);
        pump();
        return result;
    }
    StartResult startDemo() { return start("\"" + demo() + "\""); }
    // Opens (or adds) one file in the running shell; the number opened.
    int openFile(const std::string& name, bool add = false) {
        const char* names[] = {name.c_str()};
        return OpenFiles(fs(), add, names, 1);
    }
    std::string demo() const { return dir + "\\demo.nc"; }
    HWND frame() const { return program->frame; }
    FrameState* fs() const { return FrameStateOf(program->frame); }
    AppSettings& settings() { return program->session.settings; }
    HWND codeList() { return GetDlgItem(GetDlgItem(frame(), IDC_CODE_PANEL), IDC_CODE_LIST); }
    HWND registerList() {
        return GetDlgItem(GetDlgItem(frame(), IDC_REGISTER_PANEL), IDC_REGISTER_LIST);
    }
    // The pane slot showing a kind of view in the current pattern.
    int slotOf(int kind) {
        for (int i = 0; i < kPaneCount; ++i) {
            if (settings().viewMatrix[settings().viewSeparate][i] == kind) return i;
        }
        return -1;
    }
    // Over the register panel: never a pane, wherever the frame lies, so a
    // pointer that arrives late still lands off the panes.
    void pointerOffThePanes() {
        RECT r;
        GetWindowRect(GetDlgItem(program->frame, IDC_REGISTER_PANEL), &r);
        moveCursor((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    bool menuHas(UINT id, UINT flag) const {
        return (GetMenuState(GetMenu(program->frame), id, MF_BYCOMMAND) & flag) != 0;
    }

    std::string dir;
    std::unique_ptr<Program> program;

private:
    MessageBoxHook hook_;
    const char* settings_;
};
