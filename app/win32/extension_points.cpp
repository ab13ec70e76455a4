#include "app/win32/extension_points.h"

#include "app/win32/frame.h"
#include "res/strings.h"

#include <cstdio>
#include <string>

void traceToggle(HWND) {}
void traceSetMode(HWND, int) {}
int traceMode(HWND) { return -1; }

int paneFromWindow(HWND) { return -1; }
void activatePane(HWND, int) {}
void fitPanes(HWND, int) {}
void zoomPane(HWND, bool) {}
void panPane(HWND, int) {}
void setSinglePane(HWND, int) {}
void showPlaneAlone(HWND, int) {}
void switchPattern(HWND, int) {}
void invalidatePanes(HWND, int) {}

void printDrawing(HWND, int, bool) {}
void copyPicture(HWND) {}
HWND filterWindow() { return nullptr; }
void toggleFilterWindow(HWND) {}
void refreshFilterLists(HWND) {}

int openInEditor(HWND) { return 0; }
int sendCurrentFile(HWND) { return 0; }

int launchProcess(const char* program, const char* arguments, int show) {
    std::string line;
    if (program != nullptr && program[0] != '\0') {
        line.append(1, '"').append(program).append(1, '"');
    }
    if (arguments != nullptr && arguments[0] != '\0') {
        if (!line.empty()) line.append(1, ' ');
        line.append(arguments);
    }
    if (line.empty()) return 0;
    std::wstring wide = tlvWiden(line.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show != 0 ? show : SW_SHOWNORMAL);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    WaitForInputIdle(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

void showPropertySheet(HWND, int) {}
bool showMachineSheet(HWND) { return false; }
bool showToolSheet(HWND) { return false; }

void createToolbars(HWND) {}
void rebuildToolbars(HWND) {}
void saveToolbarLayout(HWND) {}
void checkToolButton(HWND, int, bool) {}
void setToolButtonState(HWND, int, bool, bool) {}

void onFrameKeyDown(HWND, WPARAM, LPARAM) {}
bool mousePreFilter(MSG*) { return false; }

void showAboutBox(HWND frame) {
    std::wstring product = tlvWiden(tlvString(IDS_PRODUCT));
    tlvMessageBox(frame, product.c_str(), product.c_str(), MB_OK | MB_ICONINFORMATION);
}

void openHelp(HWND) {}
