// The message box and the open and save dialogs of every window of the
// program, each behind a hook so that a test can answer in place of a
// person; and string-table texts as UTF-16.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

// The hook gets what MessageBoxW would and returns the button id.
using MessageBoxHook = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
void tlvSetMessageBoxHook(MessageBoxHook hook);
int tlvMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// The hook gets the filled-in OPENFILENAMEW and answers as the dialog
// would (true for confirmed, the choice in lpstrFile and nFilterIndex).
using FileDialogHook = bool (*)(OPENFILENAMEW* ofn, bool save);
void tlvSetFileDialogHook(FileDialogHook hook);
bool tlvFileDialog(OPENFILENAMEW* ofn, bool save);

// A file dialog filter from "label|pattern|" entries: the "|" become the
// NULs the dialogs want, and one more ends the list.
std::wstring tlvFilterOf(const std::wstring& entries);

// A string-table text as UTF-16, empty when the id is unknown.
std::wstring tlvLoadString(HINSTANCE instance, UINT id);
