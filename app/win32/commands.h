// The command table and its dispatcher, and the refresh of the menus'
// enable and check states (with the file history and instance lists).
#pragma once

#include "app/win32/frame_state.h"
#include "app/win32/toolbars.h"

#include <windows.h>

// When a command's menu item and toolbar button are enabled.
enum EnableRule : uint8_t {
    kEnableAlways,
    kEnableIdle,           // no trace runs
    kEnableLoadedIdle,     // drawing present, no trace
    kEnableLoaded,         // drawing present
    kEnableTracing,        // a trace runs
    kEnableMultiInstance,  // the single-instance rule is off
    kEnableInstances,      // two or more instances run
    kEnableNotes,          // the drawing holds notes
    kEnableNotBuilt,       // its work is not part of this version: always grey
};

// When a command's menu item and toolbar button are checked.
enum CheckRule : uint8_t {
    kCheckNever,
    kCheckEnableMap,     // the EnableMap bit in bit is set
    kCheckToolbarStyle,  // the toolbar style bit in bit is set
    kCheckFilterWindow,  // the display-filter window is shown
    kCheckViewRadio,     // the item of the active pane's plane, or of the pattern
    kCheckSpeedRadio,    // the item of the trace speed
};

struct CommandCheck {
    CheckRule rule = kCheckNever;
    uint32_t bit = 0;
};

// One row per command: everything the menus, the toolbars, the tooltips and
// the dispatcher know about it, so that they cannot disagree.
struct CommandEntry {
    int id;
    void (*run)(FrameState* fs, int id);  // fs is never null
    EnableRule enable;
    bool pressed;       // the toolbar button shows pressed while it runs
    bool needsLoaded;   // does nothing without a drawing, however it arrives
    ToolButton button = {};
    CommandCheck check = {};
};

// The table, in id order; nullptr when id has no entry.
const CommandEntry* FindCommand(int id);
const CommandEntry* CommandTable(int* count);

// Runs command id (low 16 bits of the command message), then refreshes the
// states of the menu (with the lists) and of the toolbars.
void DispatchCommand(FrameState* fs, int id);

// Sets enable and check states of menu's items, or of the toolbar buttons
// when menu is null; with lists, also the machine and tool names, the file
// history and the instance list.
void UpdateCommandStates(FrameState* fs, HMENU menu, bool lists);
// The refresh after every command: the window's menu with the lists, then
// the toolbar buttons.
void RefreshCommandStates(FrameState* fs);
// Context menus of the panels and panes, which know only the window: the
// states without the lists.
void PrepareContextMenu(HWND frame, HMENU menu);
// The toolbars' view of the table.
ToolbarCommands ToolbarCommandsFromTable();

// The open operation with the shell's bookkeeping (caption, states).
int OpenFiles(FrameState* fs, bool add, const char* const* names, int count);
int ReloadFiles(FrameState* fs);
// Toggles EnableMap bits and shows the bars and panes as they now say.
void ToggleFlags(FrameState* fs, uint32_t bits, bool redraw);

// Menu text of history entry k: "&%d %s\t%s" with 1-9, then 0.
std::wstring HistoryItemText(int k, const char* path);
// Menu text of instance k from its caption: cut before the first "-".
std::wstring InstanceItemText(int k, const wchar_t* caption);
