#include "app/win32/help_page.h"

#include "dialogs/win32/common_dialogs.h"
#include "platform/win32/wide.h"
#include "res/strings.h"

#include <shellapi.h>

std::wstring HelpPagePath() {
    wchar_t exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring path(exe, n);
    const size_t dot = path.find_last_of(L".\\/");
    if (dot != std::wstring::npos && path[dot] == L'.') path.resize(dot);
    return path + L".html";
}

bool OpenHelp(HWND frame) {
    const std::wstring path = HelpPagePath();
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    const bool present =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    // ShellExecute answers a value above 32 when it started something.
    if (present && reinterpret_cast<INT_PTR>(ShellExecuteW(frame, L"open", path.c_str(), nullptr,
                                                           nullptr, SW_SHOWNORMAL)) > 32) {
        return true;
    }
    const std::wstring text =
        tlvWiden(tlvString(present ? IDS_HELP_NOT_OPENED : IDS_HELP_MISSING)) + L"\n\n" + path;
    tlvMessageBox(frame, text.c_str(), tlvWiden(tlvString(IDS_PRODUCT)).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void ShowAboutBox(HWND frame) {
    std::wstring product = tlvWiden(tlvString(IDS_PRODUCT));
    std::wstring text = product + L"  " + tlvWiden(tlvString(IDS_ABOUT_VERSION)) + L"\n\n" +
                        tlvWiden(tlvString(IDS_ABOUT_DESCRIPTION));
    tlvMessageBox(frame, text.c_str(), product.c_str(), MB_OK | MB_ICONINFORMATION);
}
