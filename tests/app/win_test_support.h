// Helpers of the Windows GUI tests: paths of the source tree as Wine sees
// them, files, running the queued window messages, and the shell started
// in-process in a folder of the test's own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/win32/frame.h"
#include "app/win32/gui_ui.h"
#include "app/win32/shell.h"
#include "platform/win32/wide.h"

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

// A message box hook for tests that expect no question: every answer is No.
inline int answerNo(HWND, const wchar_t*, const wchar_t*, UINT) {
    return IDNO;
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
// Message boxes go to the hook, never to a person.
class ShellTest : public ::testing::Test {
protected:
    ShellTest(MessageBoxHook hook, const char* settings) : hook_(hook), settings_(settings) {}
    void SetUp() override {
        tlvSetMessageBoxHook(hook_);
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
        if (program && program->frame != nullptr && IsWindow(program->frame)) {
            DestroyWindow(program->frame);
        }
        pump();
        tlvSetMessageBoxHook(nullptr);
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
    std::string demo() const { return dir + "\\demo.nc"; }
    HWND frame() const { return program->frame; }
    FrameState* fs() const { return FrameStateOf(program->frame); }
    AppSettings& settings() { return program->session.settings; }
    bool menuHas(UINT id, UINT flag) const {
        return (GetMenuState(GetMenu(program->frame), id, MF_BYCOMMAND) & flag) != 0;
    }

    std::string dir;
    std::unique_ptr<Program> program;

private:
    MessageBoxHook hook_;
    const char* settings_;
};
