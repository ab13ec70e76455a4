// The two modeless progress dialogs: one bar (exports, IDD_PROGRESS) and
// two bars (loading and translating, IDD_DUAL_PROGRESS). Both disable their owner while
// open and keep the screen alive by processing pending messages; their
// Cancel button makes every later step answer 0. An owner that is not a
// window gives a dialog without one.
#pragma once

#include <windows.h>

HWND ProgressOpen(HWND owner, const char* title);
// 1 to go on, 0 once Cancel was pressed.
int ProgressStep(HWND dialog, const char* label, int percent);
void ProgressClose(HWND dialog);

HWND DualProgressOpen(HWND owner, const char* title);
void DualProgressSetTitle(HWND dialog, const char* title);
// bar 0 or 1; messages are processed when a label or position changed, and
// otherwise only on every 1000th call, so that long loops stay fast.
int DualProgressStep(HWND dialog, int bar, const char* label, int percent);
