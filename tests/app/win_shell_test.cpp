#include "app/win32/shell.h"
#include "res/resource.h"
#include "res/strings.h"

#include <gtest/gtest.h>

namespace {

std::wstring className(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring menuText(HMENU menu, UINT item, UINT flags) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, item, text, 128, flags);
    return text;
}

class WinShell : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        instance = GetModuleHandleW(nullptr);
        registered = tlvRegisterClasses(instance);
    }
    void SetUp() override {
        ASSERT_TRUE(registered);
        frame = tlvCreateMainWindow(instance);
        ASSERT_NE(frame, nullptr);
    }
    void TearDown() override {
        if (frame != nullptr) DestroyWindow(frame);
        MSG msg;  // drain the quit message the frame posts when destroyed
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
    static HINSTANCE instance;
    static bool registered;
    HWND frame = nullptr;
};

HINSTANCE WinShell::instance = nullptr;
bool WinShell::registered = false;

TEST_F(WinShell, RegistersTheThreeClasses) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    for (const wchar_t* name : {kWorkingClassName, kViewClassName, kFrameClassName}) {
        EXPECT_TRUE(GetClassInfoExW(instance, name, &wc)) << name;
    }
    ASSERT_TRUE(GetClassInfoExW(instance, kFrameClassName, &wc));
    EXPECT_EQ(wc.style, 0u);
    EXPECT_NE(wc.hIcon, nullptr);
}

TEST_F(WinShell, MainWindowHasCaptionClassAndMenu) {
    EXPECT_EQ(className(frame), L"TLV_FrameClass");
    wchar_t caption[64] = {};
    GetWindowTextW(frame, caption, 64);
    EXPECT_STREQ(caption, L"Taliver");
    EXPECT_NE(GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    HMENU menu = GetMenu(frame);
    ASSERT_NE(menu, nullptr);
    // Expected texts sit in a table: gtest quotes macro arguments as narrow
    // text, which cannot hold the Chinese menu texts.
    struct Item {
        UINT id;
        UINT flags;
        const wchar_t* text;
    } items[] = {
        {CMD_FILE_OPEN, MF_BYCOMMAND, L"打开(&O)...\tCtrl+O"},
        {CMD_ZOOM_IN, MF_BYCOMMAND, L"扩大(&Z)\tPageUp"},
        {CMD_VIEW_XYZ, MF_BYCOMMAND, L"ＸＹＺ面(&3)"},
        // The file history goes to the first menu, the instances to the fifth.
        {0, MF_BYPOSITION, L"文件(&F)"},
        {4, MF_BYPOSITION, L"窗口(&W)"},
    };
    for (const Item& item : items) {
        std::wstring want = item.text;
        EXPECT_EQ(menuText(menu, item.id, item.flags), want) << item.id;
    }
}

TEST_F(WinShell, StringTableMatchesPortableMessages) {
    const UINT ids[] = {IDS_PRODUCT, IDS_INVALID_HANDLE, IDS_READY, IDS_ABORTED,
                        IDS_DUPLICATE_PROGRAM, IDS_NESTING_OVERFLOW};
    for (UINT id : ids) {
        std::wstring fromTable = tlvLoadString(instance, id);
        EXPECT_FALSE(fromTable.empty()) << id;
        EXPECT_EQ(fromTable, tlvWiden(tlvString(static_cast<int>(id)))) << id;
    }
    EXPECT_EQ(tlvLoadString(instance, IDS_READY), L"ﾚﾃﾞｨ");
}

TEST_F(WinShell, ExitCommandClosesTheWindow) {
    SendMessageW(frame, WM_COMMAND, CMD_EXIT, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_FALSE(IsWindow(frame));
    frame = nullptr;
}

}  // namespace
