// The main window: its class, its creation, its children, the splitter,
// dropped files and the hand-over from a second instance. Its layout and
// bookkeeping live in frame_layout.h, the command table in commands.h.
#pragma once

#include "app/win32/frame_layout.h"
#include "app/win32/frame_state.h"

#include <windows.h>

constexpr ULONG_PTR COPYDATA_OPEN_FILE = 0xC0000001;
constexpr DWORD kCopyDataSize = 260;

// Registers the classes TLV_Working, TLV_ViewClass and TLV_FrameClass after
// the common controls; only a failure of the frame class is fatal.
bool RegisterClasses(HINSTANCE instance);
// Creates the main window at the session's saved placement; null on failure.
HWND CreateMainWindow(HINSTANCE instance, Session* session);

extern const wchar_t kViewClassName[];
