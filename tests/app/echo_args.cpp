// Stands in for the external editor and send application: writes its own
// command line (UTF-8) to the file named by TLV_ECHO_FILE.
#include <windows.h>

int wmain() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TLV_ECHO_FILE", path, MAX_PATH) == 0) return 1;
    const wchar_t* line = GetCommandLineW();
    char text[8192] = {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text, nullptr, nullptr);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE || n <= 0) return 1;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(n - 1), &written, nullptr);
    CloseHandle(file);
    return 0;
}
