// The main window: its state, its children and layout, the splitter, the
// caption, the changed-file check, dropped files and the hand-over from a
// second instance. The command table lives in commands.h.
#pragma once

#include "app/session.h"
#include "app/win32/gui_ui.h"
#include "panes/panes.h"
#include "pathdata/drawing.h"

#include <windows.h>

#include <memory>
#include <string>

constexpr ULONG_PTR COPYDATA_OPEN_FILE = 0xC0000001;
constexpr DWORD kCopyDataSize = 260;
constexpr int kInstanceMax = 16;

enum Splitter { kSplitNone = 0, kSplitVertical = 1, kSplitHorizontal = 2, kSplitBoth = 3 };

// Everything one main window owns, reached from its handle.
struct FrameState {
    HWND frame;
    Session* session;
    Drawing drawing;  // both stores live as long as the window
    bool drawingReady;
    PaneHost paneHost;
    std::unique_ptr<GuiUi> ui;
    int splitter;     // Splitter the pointer is over or drags
    POINT lastPoint;  // pointer position of the last splitter move
    // The register panel's size as the person set it (settings, splitter).
    // A small window shows it narrower, but the size kept is this one, so
    // that the panels come back when the window grows again.
    SIZE registerWanted;
    HWND instances[kInstanceMax];
    int instanceCount;
};

FrameState* frameState(HWND frame);

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
