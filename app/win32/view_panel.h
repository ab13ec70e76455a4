// The view panel seen from the main window: registers the pane class,
// hands the panel its pane hooks and forwards view commands to the panes.
#pragma once

#include <windows.h>

#include <cstdint>

struct FrameState;

// View panes. RegisterViewPanes registers the pane class and hands the
// view panel's create, destroy and layout hooks to the panels;
// StorePaneAngles writes each pane's angles to the settings of its kind.
bool RegisterViewPanes(HINSTANCE instance);
void StorePaneAngles(FrameState* fs);
void ActivateViewPane(HWND frame, int pane);
void FitViewPanes(HWND frame, int pane);  // -1 for all
void ZoomViewPane(HWND frame, bool zoomIn);
void PanViewPane(HWND frame, int direction);
void SetSingleViewPane(HWND frame, int pane);  // -1 shows all four
void ShowPlaneAlone(HWND frame, int plane);
void SwitchViewPattern(HWND frame, int pattern);
void InvalidateViewPanes(HWND frame, int pane);
