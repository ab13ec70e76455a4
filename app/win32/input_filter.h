// Keys and mouse gestures of the Windows program: the main window's key
// handler and the pre-filter the main loop runs on every message (drags on
// the panes, the wheel, the accelerators), which translate messages for the
// portable input tables and carry out what they answer.
#pragma once

#include <windows.h>

// The main window's key-down handler. Returns 0.
int HandleFrameKey(HWND frame, WPARAM key);

// Called by the main loop for every message before it is dispatched; true
// when the message was handled here and must not be dispatched.
bool FilterInputMessage(HWND frame, MSG* msg);
