#include "dialogs/win32/common_dialogs.h"

namespace {

MessageBoxHook gMessageBoxHook = nullptr;
FileDialogHook gFileDialogHook = nullptr;

}  // namespace

void tlvSetMessageBoxHook(MessageBoxHook hook) {
    gMessageBoxHook = hook;
}

int tlvMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (gMessageBoxHook != nullptr) return gMessageBoxHook(owner, text, caption, type);
    return MessageBoxW(owner, text, caption, type);
}

void tlvSetFileDialogHook(FileDialogHook hook) {
    gFileDialogHook = hook;
}

bool tlvFileDialog(OPENFILENAMEW* ofn, bool save) {
    if (gFileDialogHook != nullptr) return gFileDialogHook(ofn, save);
    return (save ? GetSaveFileNameW(ofn) : GetOpenFileNameW(ofn)) != FALSE;
}

std::wstring tlvFilterOf(const std::wstring& entries) {
    std::wstring out = entries;
    for (wchar_t& c : out) {
        if (c == L'|') c = L'\0';
    }
    out.push_back(L'\0');
    return out;
}

std::wstring tlvLoadString(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW returns a pointer to the resource.
    int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(n));
}
