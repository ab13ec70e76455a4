// The help and about commands: the user guide, an HTML page installed
// beside the executable under its name, opened in the system's browser;
// and the about box.
#pragma once

#include <windows.h>

#include <string>

// The guide's path: the executable's path with the extension ".html".
std::wstring HelpPagePath();
// Opens the guide; says so in a message box when it is missing or no
// program could open it. True when it was handed to a browser.
bool OpenHelp(HWND frame);
// The product name, version and a one-line description.
void ShowAboutBox(HWND frame);
