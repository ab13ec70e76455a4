// Entry points the shell calls for work that other parts of the program
// provide: the trace, the view panes, printing and the clipboard picture,
// the display-filter window, the external editor,
// the toolbars and status bar parts, the keyboard and mouse handlers and the
// about box. Each has a default here that does the least harmful thing
// (mostly nothing); the part that owns the work replaces the definition in
// extension_points.cpp.
#pragma once

#include <windows.h>

#include <cstdint>

// Trace.
void traceToggle(HWND frame);        // start a trace, or stop the one running
void traceSetMode(HWND frame, int mode);  // 0 running, 1 single step, 2 paused
int traceMode(HWND frame);           // the current mode, or -1 without a trace

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

// Printing, clipboard, display filter.
void printDrawing(HWND frame, int pane, bool withDialog);
void copyPicture(HWND frame);
HWND filterWindow();                 // the modeless filter window, or null
void toggleFilterWindow(HWND frame);
void refreshFilterLists(HWND frame);

// External programs.
int openInEditor(HWND frame);
int sendCurrentFile(HWND frame);
int launchProcess(const char* program, const char* arguments, int show);

// Toolbars and status bar parts.
void createToolbars(HWND frame);      // fills the band area 2001
void rebuildToolbars(HWND frame);
void saveToolbarLayout(HWND frame);
void checkToolButton(HWND frame, int command, bool pressed);
void setToolButtonState(HWND frame, int command, bool enabled, bool checked);

// Keyboard and mouse.
void onFrameKeyDown(HWND frame, WPARAM key, LPARAM flags);
bool mousePreFilter(MSG* msg);        // true when the message was handled

// About box and help.
void showAboutBox(HWND frame);
void openHelp(HWND frame);
