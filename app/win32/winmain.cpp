// Program entry of the Windows build.
#include "app/win32/shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    if (!tlvRegisterClasses(instance)) return 0;
    HWND frame = tlvCreateMainWindow(instance);
    if (frame == nullptr) return 0;
    ShowWindow(frame, show);
    UpdateWindow(frame);
    return tlvRunMessageLoop();
}
