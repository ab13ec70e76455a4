// The tool path pane windows (class TLV_ViewClass) inside the view panel:
// their creation and layout in the two four-pane patterns or alone, the
// active pane, the cached picture of each pane, and the view operations
// that the main window's commands call.
#pragma once

#include "pathdata/drawing.h"
#include "view/pane_layout.h"
#include "view/path_render.h"
#include "view/pane_paint.h"
#include "view/win32/gdi_canvas.h"

#include <windows.h>

#include <cstdint>

// Bits of the application's flags word that the panes read or change.
constexpr uint32_t kPaneFlagZoomRecentre = 0x00004000;
constexpr uint32_t kPaneFlagSinglePane = 0x00008000;

extern const wchar_t kPaneClassName[];

// The application's settings and data the panes work on. The settings stay
// the one record of the active slot, the pattern, the matrices and the
// single-pane bit, so that menus and the settings file always agree with
// the screen.
struct PaneBindings {
    Drawing* drawing;
    int32_t* active;                 // active slot 0..3
    int32_t* pattern;                // 0 pattern 1, 1 pattern 2
    int32_t (*matrix)[kPaneCount];   // [2]: kinds of slots 0..3 per pattern
    uint32_t* flags;                 // kPaneFlag* bits among others
    const int32_t* displayMask;
    const float* zoomValue;
    const uint32_t* colorMap;        // 16 entries, 0x00BBGGRR
    const int32_t* widthMap;         // 16 entries, pixels
    const float (*rotate)[3];        // [4]: stored angles per kind
    // Sets the check and enable states of the pane menu before it shows.
    void (*prepareMenu)(HWND frame, HMENU menu);
};

// Everything the panes of one view panel share.
struct PaneSet {
    HWND panel;
    HWND windows[kPaneCount];
    ViewState view;  // the four panes' transforms, the band, the range
    ViewPens pens;
    PaneBindings bind;
    // Asked every 5001 records during a screen paint; true stops the
    // paint there. Polls the Escape key unless a test replaces it.
    bool (*stopRequested)(void* context);
    int32_t lastPaintRecords;  // records drawn by the last full paint
    // While a trace runs a full paint draws only the records the trace has
    // shown, and the tool marker where the trace last drew it in each pane
    // (bit i of markerMask: pane i shows it), so that the trace's next
    // exclusive-or drawing takes it off again.
    int32_t traceRecords;
    uint32_t markerMask;
    float markerPos[kPaneCount][3];
    ToolShape markerTool;
    // After a layout change a pane shows its old picture, stretched, until
    // the layout has been still for a moment (a splitter drag moves it many
    // times a second); paintedKind says which view the picture shows.
    bool stale[kPaneCount];
    int paintedKind[kPaneCount];
};

// The timer of a pane window that ends the wait after a layout change.
constexpr UINT_PTR kPaneSettleTimer = 1;

bool RegisterPaneClass(HINSTANCE instance);

// Creates the four pane windows in panel (slot order, stopping at the first
// failure) with pens from the maps; the set is kept with the panel.
PaneSet* CreatePaneWindows(HWND panel, const PaneBindings& bindings);
// Frees pens and pictures; the windows go with the panel.
void DestroyPaneWindows(HWND panel);
PaneSet* PaneSetOf(HWND panel);

// Moves the panes to the rectangles of the current pattern, or shows the
// active one alone; the cached pictures become stale and are painted anew
// once the layout has been still for a moment, the active pane first.
void LayoutPanes(PaneSet* set);
// The slot of a pane window, else -1.
int PaneFromWindow(HWND window);
void ActivatePane(PaneSet* set, int slot);
// Discards the cached picture of slot (all for -1); with repaint the
// windows are redrawn at once.
void InvalidatePanes(PaneSet* set, int slot, bool repaint);
// slot shown alone and made active, or -1 for all four.
void SetSinglePane(PaneSet* set, int slot);
// Shows, moves or (null) removes the rubber band on the active pane.
void SetBand(PaneSet* set, const ViewRect* band);

// The view commands.
void FitPanes(PaneSet* set, int slot);  // -1 for all
void ZoomActivePane(PaneSet* set, bool zoomIn);
void PanActivePane(PaneSet* set, int direction);
void ShowKindAlone(PaneSet* set, int kind);
void SwitchPanePattern(PaneSet* set, int pattern);
// The current angles of slots 0..3, to be stored per kind.
void CollectPaneAngles(const PaneSet* set, float angles[kPaneCount][3]);

// What slot's paint needs, for any device: its kind, the drawing's records
// and range, the axis colours. No stop poll and no tool.
PanePaintInput PaneInputOf(const PaneSet* set, int slot);

// Paints a pane on the screen through its cached picture. Returns 0 when
// the pane has no area, else 1.
int PaintPane(PaneSet* set, HDC dc, int slot);
