#include "app/win32/shell.h"

#include "platform/win32/wide.h"
#include "res/resource.h"
#include "res/strings.h"

#include <commctrl.h>

const wchar_t kFrameClassName[] = L"TLV_FrameClass";
const wchar_t kWorkingClassName[] = L"TLV_Working";
const wchar_t kViewClassName[] = L"TLV_ViewClass";

namespace {

// The panels and view panes are empty until their windows are built; for
// now they only paint their background.
LRESULT CALLBACK WorkingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void OnFramePaint(HWND hwnd) { ValidateRect(hwnd, nullptr); }

void OnFrameDestroy() { PostQuitMessage(0); }

void OnFrameCommand(HWND hwnd, int id) {
    if (id == CMD_EXIT) PostMessageW(hwnd, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnFramePaint(hwnd); return 0;
    case WM_DESTROY: OnFrameDestroy(); return 0;
    case WM_COMMAND: OnFrameCommand(hwnd, LOWORD(wp)); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

ATOM registerClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                   UINT style, HBRUSH background, HICON icon,
                   const wchar_t* menu) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = background;
    wc.lpszMenuName = menu;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc);
}

}  // namespace

std::wstring tlvWiden(const char* text) {
    if (text == nullptr || text[0] == '\0') return {};
    int n = MultiByteToWideChar(kCodePage932, 0, text, -1, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(kCodePage932, 0, text, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::wstring tlvLoadString(HINSTANCE instance, UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW returns a pointer to the resource.
    int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(n));
}

bool tlvRegisterClasses(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, 0x4FF};
    InitCommonControlsEx(&icc);
    HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    registerClass(instance, kWorkingClassName, WorkingProc, 0, face, nullptr,
                  nullptr);
    registerClass(instance, kViewClassName, ViewProc, CS_DBLCLKS,
                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr,
                  nullptr);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TALIVER));
    return registerClass(instance, kFrameClassName, FrameProc, 0,
                         static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)),
                         icon, MAKEINTRESOURCEW(IDR_MAINMENU)) != 0;
}

HWND tlvCreateMainWindow(HINSTANCE instance) {
    std::wstring caption = tlvLoadString(instance, IDS_PRODUCT);
    return CreateWindowExW(WS_EX_ACCEPTFILES, kFrameClassName, caption.c_str(),
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, nullptr);
}

int tlvRunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
