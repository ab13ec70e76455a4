// The state one main window owns, reached from its handle; command
// handlers and the window's modules receive it rather than look it up.
#pragma once

#include "app/session.h"
#include "panes/panes.h"
#include "pathdata/drawing.h"

#include <windows.h>

#include <memory>

class GuiUi;  // the drawing's user interface, gui_ui.h

constexpr int kInstanceMax = 16;

extern const wchar_t kFrameClassName[];

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
    // The toolbars by kind (standard, display, trace), kept here because
    // looking a child up by id costs a server round trip under Wine, and
    // the states of every button are refreshed after every command.
    HWND toolbars[3];
};

// The state of frame, or null for any window that is not one of this
// thread's main windows. A frame's state is known from AddFrameState, at
// the start of its creation, to RemoveFrameState as it is destroyed. Only
// code that is handed a window (the window procedure, the idle call, the
// hooks of the panels and panes, the filter dialog) looks it up; everything
// it calls takes the state, never null.
FrameState* FrameStateOf(HWND frame);
void AddFrameState(FrameState* fs);
void RemoveFrameState(FrameState* fs);

// Copies the drawing's loaded and tracing flags into EnableMap.
void SyncRunState(FrameState* fs);
