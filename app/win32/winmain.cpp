// Program entry of the Windows build.
#include "app/win32/shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    return RunProgram(instance, commandLine, show);
}
