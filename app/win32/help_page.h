// The help command: the user guide, an HTML page installed beside the
// executable under its name, opened in the system's browser.
#pragma once

#include <windows.h>

#include <string>

// The guide's path: the executable's path with the extension ".html".
std::wstring helpPagePath();
// Opens the guide; says so in a message box when it is missing or no
// program could open it. True when it was handed to a browser.
bool openHelp(HWND frame);
