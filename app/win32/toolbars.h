// The band area IDC_REBAR with the three movable toolbars: their buttons come
// from the command table, their look from the toolbar style bits, and the
// band order and widths from the settings.
#pragma once

#include <windows.h>

struct FrameState;

// A command's toolbar button: its image in bitmap IDB_TOOLBAR (-1: no
// button) and the string ids of its text and tooltip (0: none).
struct ToolButton {
    int image = -1;
    int text = 0;
    int tooltip = 0;
};

// What the toolbars take from the command table, handed over once before
// the first toolbar is created.
struct ToolbarCommands {
    const ToolButton* (*buttonOf)(int command);   // null for an unknown command
    void (*prepareMenu)(FrameState* fs, HMENU menu);  // before the band area's menu shows
    void (*refreshStates)(FrameState* fs);            // every button's enable and check state
};
void SetToolbarCommands(const ToolbarCommands& commands);

// Toolbar kinds by control id; a band's id names the toolbar it carries.
constexpr int kToolbarStandard = 2010;
constexpr int kToolbarDisplay = 2011;
constexpr int kToolbarTrace = 2012;

// Toolbar style bits (settings Toolbar Status).
constexpr int kToolbarTitles = 0x1;  // band titles shown
constexpr int kToolbarTexts = 0x2;   // button texts shown
constexpr int kToolbarFlat = 0x4;    // flat buttons
constexpr int kToolbarList = 0x8;    // text beside the image

// Creates the band area and one band per saved slot, in the slots' order.
void CreateToolbars(FrameState* fs);
// Replaces every band's toolbar after a change of the style bits.
void RebuildToolbars(FrameState* fs);
// Stores the band order, widths and styles into the three slots.
void SaveToolbarLayout(FrameState* fs);
// Shows the command's button pressed (or not) on every toolbar.
void CheckToolButton(const FrameState* fs, int command, bool pressed);
void SetToolButtonState(const FrameState* fs, int command, bool enabled, bool checked);
// The toolbar of kind id (kToolbarStandard to kToolbarTrace), or null
// without the band area.
HWND ToolbarWindow(const FrameState* fs, int id);

// Notifications of the band area and the toolbars that reach the main
// window; true when handled, with the answer in *result.
bool OnToolbarNotify(FrameState* fs, const NMHDR* header, LRESULT* result);
