// The Windows shell's entry points: window classes and the main window.
#pragma once

#include <windows.h>

#include <string>

// Initialises the common controls and registers the window classes in the
// order start-up needs. Only a failure of the frame class is fatal.
bool tlvRegisterClasses(HINSTANCE instance);
// Creates the main window with its menu and caption; null on failure.
HWND tlvCreateMainWindow(HINSTANCE instance);
// Runs the message loop until the quit message; returns its exit code.
int tlvRunMessageLoop();

// A string-table text as UTF-16, empty when the id is unknown.
std::wstring tlvLoadString(HINSTANCE instance, UINT id);
// CP932 text converted to UTF-16.
std::wstring tlvWiden(const char* text);

extern const wchar_t kFrameClassName[];
extern const wchar_t kWorkingClassName[];
extern const wchar_t kViewClassName[];
