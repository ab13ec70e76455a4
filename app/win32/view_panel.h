// The view panel seen from the main window: registers the pane class,
// hands the panel its pane hooks and forwards view commands to the panes.
#pragma once

#include <windows.h>

#include <cstdint>

// View panes. registerViewPanes registers the pane class and hands the
// view panel's create, destroy and layout hooks to the panels;
// storePaneAngles writes each pane's angles to the settings of its kind.
bool registerViewPanes(HINSTANCE instance);
void storePaneAngles(HWND frame);
int paneFromWindow(HWND window);     // pane 0-3 of a pane window, else -1
void activatePane(HWND frame, int pane);
void fitPanes(HWND frame, int pane);  // -1 for all
void zoomPane(HWND frame, bool zoomIn);
void panPane(HWND frame, int direction);
void setSinglePane(HWND frame, int pane);  // -1 shows all four
void showPlaneAlone(HWND frame, int plane);
void switchPattern(HWND frame, int pattern);
void invalidatePanes(HWND frame, int pane);
