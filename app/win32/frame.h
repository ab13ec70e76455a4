// The main window: its state, its children and layout, the splitter, the
// caption, the changed-file check, dropped files and the hand-over from a
// second instance. The command table lives in commands.h.
#pragma once

#include "app/win32/frame_state.h"

#include <windows.h>

#include <memory>
#include <string>

constexpr ULONG_PTR COPYDATA_OPEN_FILE = 0xC0000001;
constexpr DWORD kCopyDataSize = 260;

// Registers the classes TLV_Working, TLV_ViewClass and TLV_FrameClass after
// the common controls; only a failure of the frame class is fatal.
bool tlvRegisterClasses(HINSTANCE instance);
// Creates the main window at the session's saved placement; null on failure.
HWND tlvCreateMainWindow(HINSTANCE instance, Session* session);

void LayoutFrame(HWND frame);
// The splitter gap: twice the border plus one, per direction.
SIZE splitterGap();
void UpdateFrameTitle(HWND frame, bool fullPath);
void SaveFramePlacement(HWND frame);
// The panel sizes into the settings, the register panel's as the person
// set it rather than as a small window shows it.
void SaveFramePanels(HWND frame);
// The smallest frame the layout still makes sense in, at the screen's DPI.
SIZE frameMinimumSize();
// Asks about each loaded file that changed on disk; Yes reloads.
void CheckChangedFiles(HWND frame);
// The open operation with the shell's bookkeeping (caption, states).
int OpenFiles(HWND frame, bool add, const char* const* names, int count);
int ReloadFiles(HWND frame);
void ToggleFlags(HWND frame, uint32_t bits, bool redraw);

// The top-level TLV_FrameClass windows, at most capacity of them.
int findInstances(HWND* out, int capacity);

extern const wchar_t kFrameClassName[];
extern const wchar_t kViewClassName[];
