#include "app/win32/commands.h"

#include "app/win32/clipboard_picture.h"
#include "app/win32/external_apps.h"
#include "app/win32/filter_window.h"
#include "app/win32/frame_layout.h"
#include "app/win32/gui_ui.h"
#include "app/win32/help_page.h"
#include "app/win32/notes_window.h"
#include "app/win32/printing.h"
#include "app/win32/report_dialog.h"
#include "app/win32/toolbars.h"
#include "app/win32/trace_runner.h"
#include "app/win32/view_panel.h"
#include "dialogs/win32/machine_sheet.h"
#include "dialogs/win32/property_sheet.h"
#include "dialogs/win32/tool_sheet.h"
#include "engine/block_store.h"
#include "pathdata/pipeline.h"
#include "platform/sjis.h"
#include "pathdata/export.h"
#include "res/resource.h"
#include "res/strings.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool isTracing(const FrameState* fs) { return (fs->session->settings.enableMap & EM_TRACING) != 0; }
bool isLoaded(const FrameState* fs) { return (fs->session->settings.enableMap & EM_LOADED) != 0; }

// Handlers receive the window's state, decode what they need and call the
// operation.
void OnExit(FrameState* fs, int) { PostMessageW(fs->frame, WM_CLOSE, 0, 0); }
void OnToggleToolbar(FrameState* fs, int) { ToggleFlags(fs, EM_TOOLBAR, true); }
void OnToggleStatusbar(FrameState* fs, int) { ToggleFlags(fs, EM_STATUSBAR, true); }
void OnTopmost(FrameState* fs, int) { ToggleFlags(fs, EM_TOPMOST, false); }
void OnAbout(FrameState* fs, int) { ShowAboutBox(fs->frame); }
void OnHelp(FrameState* fs, int) { OpenHelp(fs->frame); }

void OnZoom(FrameState* fs, int id) { ZoomViewPane(fs->frame, id == CMD_ZOOM_IN); }
void OnPan(FrameState* fs, int id) { PanViewPane(fs->frame, id - CMD_PAN_UP); }
void OnFit(FrameState* fs, int id) {
    FitViewPanes(fs->frame, id == CMD_FIT_ALL ? -1 : fs->session->settings.viewActive);
}
void OnToggleSinglePane(FrameState* fs, int) {
    const AppSettings& s = fs->session->settings;
    SetSingleViewPane(fs->frame, (s.enableMap & EM_SINGLE_PANE) != 0 ? -1 : s.viewActive);
}
void OnViewPlane(FrameState* fs, int id) { ShowPlaneAlone(fs->frame, id - CMD_VIEW_XY); }
void OnViewPattern(FrameState* fs, int id) { SwitchViewPattern(fs->frame, id - CMD_VIEW_PATTERN1); }

void OnTraceRun(FrameState* fs, int) {
    if (isTracing(fs)) {
        SetTraceMode(fs, 0);
    } else {
        ToggleTrace(fs);
    }
}
void OnTraceStop(FrameState* fs, int) {
    if (isTracing(fs)) ToggleTrace(fs);
}
void OnTraceStep(FrameState* fs, int) {
    const int mode = traceMode(fs);
    if (isTracing(fs) && (mode == 0 || mode == 2)) SetTraceMode(fs, 1);
}
void OnSpeed(FrameState* fs, int id) { fs->session->settings.traceSpeed = id - CMD_SPEED_HIGH; }
void OnMarkToggle(FrameState* fs, int) {
    SetBreakMark(fs->frame, 2, GetSelectedCodeLine(fs->frame));
}
void OnMarkClearAll(FrameState* fs, int) { SetBreakMark(fs->frame, -1, 0); }

void OnFileOpen(FrameState* fs, int id) { OpenFiles(fs, id == CMD_FILE_APPEND, nullptr, 0); }
void OnReload(FrameState* fs, int) { ReloadFiles(fs); }
void OnSaveAs(FrameState* fs, int) {
    ExportDrawing(&fs->drawing, fs->ui.get(), nullptr, -1, ExportOptionsOf(*fs->session, fs->drawing));
}
void OnReport(FrameState* fs, int) {
    ShowReportDialog(fs->frame, *fs->session, fs->drawing);
}

int printPane(const FrameState* fs) {
    const AppSettings& s = fs->session->settings;
    return (s.enableMap & EM_SINGLE_PANE) != 0 ? s.viewActive : -1;
}
void OnPrint(FrameState* fs, int id) { PrintDrawing(fs, printPane(fs), id == CMD_PRINT); }
void OnCopy(FrameState* fs, int) { CopyPicture(fs); }
void OnEditSource(FrameState* fs, int) { OpenInEditor(fs); }
void OnSend(FrameState* fs, int) { SendCurrentFile(fs); }
void OnDisplayFilter(FrameState* fs, int) { ToggleFilterWindow(fs); }
// Like the menu item: nothing to list, nothing to open.
void OnNotesWindow(FrameState* fs, int) {
    if (ncNotesTotal(fs->drawing.notes) > 0) ShowNotesWindow(fs);
}
void OnProperties(FrameState* fs, int id) {
    const int page = id == CMD_PROP_REGISTER ? 0 : id == CMD_PROP_CODE ? 1 : id == CMD_PROP_VIEW ? 2 : -1;
    ShowPropertySheet(fs->frame, &fs->session->settings, page);
}

// Asks for a machine or tool file and reads it into *definition; the file
// becomes the remembered one. A cancelled choice, or a file that is refused
// (said so in a message box), keeps both as they were.
template <class Definition>
bool chooseAndRead(FrameState* fs, int titleId, int filterId, char* remembered, size_t size,
                   Definition* definition, int (*read)(const char*, Definition*, int*)) {
    char path[kPlatPathMax];
    snprintf(path, sizeof path, "%s", remembered);
    if (!fs->ui->chooseDefinitionFile(titleId, filterId, path, sizeof path)) return false;
    Definition chosen = *definition;
    int messageId = 0;
    if (read(path, &chosen, &messageId) != 1) {
        const std::string text =
            std::string(tlvString(messageId != 0 ? messageId : IDS_READ_FAILED)) + "\n\n" + path;
        fs->ui->message(tlvString(titleId), text.c_str(), kIconError);
        return false;
    }
    *definition = chosen;
    snprintf(remembered, size, "%s", path);
    return true;
}

// The loaded programs were translated with the old definitions: after a
// new file is read they are translated again (nothing happens without a
// drawing), then the property sheet offers the new file for review.
template <class Definition, size_t size>
void openDefinition(FrameState* fs, int titleId, int filterId, char (&remembered)[size],
                    Definition* definition, int (*read)(const char*, Definition*, int*),
                    int settingsCommand) {
    if (isTracing(fs) ||
        !chooseAndRead(fs, titleId, filterId, remembered, size, definition, read)) {
        return;
    }
    PostMessageW(fs->frame, WM_COMMAND, CMD_RELOAD, 0);
    PostMessageW(fs->frame, WM_COMMAND, settingsCommand, 0);
}
void OnMachineOpen(FrameState* fs, int) {
    Session* s = fs->session;
    openDefinition(fs, IDS_MACHINE_FILE_TITLE, IDS_FILTER_MACHINE, s->settings.postFile,
                   &s->machine, ReadMachineFile, CMD_MACHINE_SETTINGS);
}
void OnToolOpen(FrameState* fs, int) {
    Session* s = fs->session;
    openDefinition(fs, IDS_TOOL_FILE_TITLE, IDS_FILTER_TOOL, s->settings.toolFile, &s->tools,
                   ReadToolFile, CMD_TOOL_SETTINGS);
}
// A file that could not be written is said so: the edit stays in memory
// and the drawing is still redone with it, but the file on disk is the old one.
void reportUnwritten(FrameState* fs, int written, int titleId, const char* path) {
    if (written == 1) return;
    const std::string text = std::string(tlvString(IDS_WRITE_FAILED)) + "\n\n" + path;
    fs->ui->message(tlvString(titleId), text.c_str(), kIconError);
}
void OnMachineSettings(FrameState* fs, int) {
    if (isTracing(fs) || !ShowMachineSheet(fs->frame, &fs->session->machine)) return;
    const char* path = fs->session->settings.postFile;
    reportUnwritten(fs, WriteMachineFile(path, fs->session->machine), IDS_MACHINE_FILE_TITLE, path);
    PostMessageW(fs->frame, WM_COMMAND, CMD_RELOAD, 0);
}
void OnToolSettings(FrameState* fs, int) {
    if (!ShowToolSheet(fs->frame, &fs->session->tools)) return;
    const char* path = fs->session->settings.toolFile;
    reportUnwritten(fs, WriteToolFile(path, fs->session->tools), IDS_TOOL_FILE_TITLE, path);
    PostMessageW(fs->frame, WM_COMMAND, CMD_RELOAD, 0);
}

void OnToolbarStyle(FrameState* fs, int id) {
    const int bit = id == CMD_TB_TITLES ? 0x1 : id == CMD_TB_TEXT ? 0x2 : id == CMD_TB_FLAT ? 0x4 : 0x8;
    fs->session->settings.toolbarStatus ^= bit;
    RebuildToolbars(fs);
}

void OnNewWindow(FrameState* fs, int) {
    SaveToolbarLayout(fs);
    SaveFramePanels(fs);
    SaveFramePlacement(fs);
    StorePaneAngles(fs);
    SaveSettings(fs->session->settings,
                 fs->session->settingsPath[0] != '\0' ? fs->session->settingsPath : nullptr);
    char file[kPlatPathMax] = {};
    ncBlockGetFilename(fs->drawing.blocks, fs->drawing.mainProgram, file, sizeof file, nullptr);
    const char* slash = sjisLastSeparator(file);
    char arguments[kPlatPathMax + 16];
    snprintf(arguments, sizeof arguments, "/defsize \"%.*s\"",
             slash != nullptr ? static_cast<int>(slash - file) : 0, file);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    LaunchProcess(tlvNarrow(exe).c_str(), arguments, SW_SHOWNORMAL);
}

void arrangeInstances(FrameState* fs, int id) {
    HWND all[255];
    int count = FindInstances(all, 255);
    if (id == CMD_WINDOWS_MINIMIZE_ALL || id == CMD_WINDOWS_RESTORE_ALL) {
        for (int i = 0; i < count; ++i) {
            if (id == CMD_WINDOWS_MINIMIZE_ALL) CloseWindow(all[i]);
            else OpenIcon(all[i]);
        }
        return;
    }
    // Disabled windows (one with a modal dialog open) stay where they are.
    HWND enabled[255];
    int n = 0;
    for (int i = 0; i < count; ++i) {
        if (IsWindowEnabled(all[i])) enabled[n++] = all[i];
    }
    if (id == CMD_WINDOWS_CASCADE) CascadeWindows(nullptr, 0, nullptr, n, enabled);
    if (id == CMD_WINDOWS_TILE_HORZ) TileWindows(nullptr, MDITILE_HORIZONTAL, nullptr, n, enabled);
    if (id == CMD_WINDOWS_TILE_VERT) TileWindows(nullptr, MDITILE_VERTICAL, nullptr, n, enabled);
    (void)fs;
}

void OnQuitAll(FrameState* fs, int) {
    for (int i = 0; i < fs->instanceCount; ++i) {
        HWND w = fs->instances[i];
        if (IsWindow(w) && IsWindowEnabled(w)) PostMessageW(w, WM_CLOSE, 0, 0);
    }
}

void OnHistory(FrameState* fs, int id) {
    const int k = id - CMD_HISTORY_FIRST;
    if (isTracing(fs) || k < 0 || k >= kHistorySize) return;
    char name[kSettingsTextSize];
    snprintf(name, sizeof name, "%s", fs->session->settings.history[k]);
    if (name[0] == '\0') return;
    const char* names[] = {name};
    OpenFiles(fs, false, names, 1);
}

void OnInstance(FrameState* fs, int id) {
    const int k = id - CMD_INSTANCE_FIRST;
    if (k < 0 || k >= fs->instanceCount || !IsWindow(fs->instances[k])) return;
    SetForegroundWindow(fs->instances[k]);
}

// Commands whose work is not part of this version stay grey rather than
// enabled and silent. A button column names the command's toolbar image,
// text and tooltip; which bands show which buttons is the toolbars' own.
// clang-format off: one command a line
constexpr CommandEntry kCommands[] = {
    {CMD_ZOOM_IN, OnZoom, kEnableAlways, false, false, {14, 6, 31}},
    {CMD_ZOOM_OUT, OnZoom, kEnableAlways, false, false, {15, 7, 32}},
    {CMD_PAN_UP, OnPan, kEnableAlways, false, false},
    {CMD_PAN_DOWN, OnPan, kEnableAlways, false, false},
    {CMD_PAN_LEFT, OnPan, kEnableAlways, false, false},
    {CMD_PAN_RIGHT, OnPan, kEnableAlways, false, false},
    {CMD_FIT, OnFit, kEnableAlways, false, false},
    {CMD_FIT_ALL, OnFit, kEnableAlways, false, false, {16, 5, 30}},
    {CMD_EXIT, OnExit, kEnableAlways, false, false},
    {CMD_TOGGLE_TOOLBAR, OnToggleToolbar, kEnableAlways, false, false, {}, {kCheckEnableMap, EM_TOOLBAR}},
    {CMD_TOGGLE_STATUSBAR, OnToggleStatusbar, kEnableAlways, false, false, {}, {kCheckEnableMap, EM_STATUSBAR}},
    {CMD_ABOUT, OnAbout, kEnableAlways, true, false},
    {CMD_TRACE_RUN, OnTraceRun, kEnableLoaded, false, false, {17, 14, 39}},
    {CMD_TRACE_STOP, OnTraceStop, kEnableTracing, false, false, {20, 16, 41}},
    {CMD_MARK_TOGGLE, OnMarkToggle, kEnableLoaded, false, false, {21, 17, 42}},
    {CMD_MARK_CLEAR_ALL, OnMarkClearAll, kEnableLoaded, false, false, {22, 18, 43}},
    {CMD_FILE_OPEN, OnFileOpen, kEnableIdle, true, false, {0, 1, 26}},
    {CMD_PRINT, OnPrint, kEnableLoadedIdle, true, true},
    {CMD_TRACE_STEP, OnTraceStep, kEnableTracing, false, false, {19, 15, 40}},
    {CMD_COPY, OnCopy, kEnableLoadedIdle, true, false, {4, 4, 29}},
    {CMD_RELOAD, OnReload, kEnableLoadedIdle, true, true},
    {CMD_SPEED_HIGH, OnSpeed, kEnableAlways, false, false, {23, 19, 44}, {kCheckSpeedRadio}},
    {CMD_SPEED_NORMAL, OnSpeed, kEnableAlways, false, false, {24, 20, 45}, {kCheckSpeedRadio}},
    {CMD_SPEED_LOW, OnSpeed, kEnableAlways, false, false, {25, 21, 46}, {kCheckSpeedRadio}},
    {CMD_TOGGLE_SINGLE_PANE, OnToggleSinglePane, kEnableAlways, false, false, {}, {kCheckEnableMap, EM_SINGLE_PANE}},
    {CMD_WINDOWS_CASCADE, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_TILE_HORZ, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_TILE_VERT, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_MINIMIZE_ALL, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_RESTORE_ALL, arrangeInstances, kEnableAlways, false, false},
    {CMD_HELP, OnHelp, kEnableAlways, false, false, {5, 22, 47}},
    {CMD_MACHINE_OPEN, OnMachineOpen, kEnableIdle, true, false},
    {CMD_TOOL_OPEN, OnToolOpen, kEnableIdle, true, false},
    {CMD_NEW_WINDOW, OnNewWindow, kEnableMultiInstance, false, false},
    {CMD_PRINT_DIRECT, OnPrint, kEnableLoadedIdle, true, true, {2, 3, 28}},
    {CMD_TB_TITLES, OnToolbarStyle, kEnableAlways, false, false, {}, {kCheckToolbarStyle, 0x1}},
    {CMD_TB_TEXT, OnToolbarStyle, kEnableAlways, false, false, {}, {kCheckToolbarStyle, 0x2}},
    {CMD_TB_FLAT, OnToolbarStyle, kEnableAlways, false, false, {}, {kCheckToolbarStyle, 0x4}},
    {CMD_TB_LIST, OnToolbarStyle, kEnableAlways, false, false, {}, {kCheckToolbarStyle, 0x8}},
    {CMD_NC_REPORT, OnReport, kEnableLoadedIdle, true, true},
    {CMD_TOPMOST, OnTopmost, kEnableAlways, false, false, {}, {kCheckEnableMap, EM_TOPMOST}},
    {CMD_VIEW_XY, OnViewPlane, kEnableAlways, false, false, {9, 8, 33}, {kCheckViewRadio}},
    {CMD_VIEW_XZ, OnViewPlane, kEnableAlways, false, false, {10, 9, 34}, {kCheckViewRadio}},
    {CMD_VIEW_YZ, OnViewPlane, kEnableAlways, false, false, {11, 10, 35}, {kCheckViewRadio}},
    {CMD_VIEW_XYZ, OnViewPlane, kEnableAlways, false, false, {12, 11, 36}, {kCheckViewRadio}},
    {CMD_VIEW_PATTERN1, OnViewPattern, kEnableAlways, false, false, {13, 12, 37}, {kCheckViewRadio}},
    {CMD_VIEW_PATTERN2, OnViewPattern, kEnableAlways, false, false, {26, 13, 38}, {kCheckViewRadio}},
    {CMD_SAVE_AS, OnSaveAs, kEnableLoadedIdle, true, true, {1, 2, 27}},
    {CMD_PROP_CODE, OnProperties, kEnableAlways, false, false},
    {CMD_PROP_REGISTER, OnProperties, kEnableAlways, false, false},
    {CMD_PROP_VIEW, OnProperties, kEnableAlways, false, false},
    {CMD_OPTIONS, OnProperties, kEnableAlways, false, false},
    {CMD_EDIT_SOURCE, OnEditSource, kEnableLoaded, true, false, {27, 86, 87}},
    {CMD_MACHINE_SETTINGS, OnMachineSettings, kEnableIdle, true, false},
    {CMD_TOOL_SETTINGS, OnToolSettings, kEnableAlways, true, false},
    {CMD_SEND, OnSend, kEnableLoaded, true, true},
    {CMD_QUIT_ALL, OnQuitAll, kEnableInstances, false, false},
    {CMD_FILE_APPEND, OnFileOpen, kEnableLoadedIdle, true, false},
    {CMD_DISPLAY_FILTER, OnDisplayFilter, kEnableAlways, false, false, {28, 93, 94}, {kCheckFilterWindow}},
    {CMD_NOTES_WINDOW, OnNotesWindow, kEnableNotes, false, true},
};
// clang-format on

bool enabledBy(const FrameState* fs, EnableRule rule) {
    const uint32_t em = fs->session->settings.enableMap;
    const bool loaded = (em & EM_LOADED) != 0;
    const bool tracing = (em & EM_TRACING) != 0;
    switch (rule) {
    case kEnableIdle: return !tracing;
    case kEnableLoadedIdle: return loaded && !tracing;
    case kEnableLoaded: return loaded;
    case kEnableTracing: return tracing;
    case kEnableMultiInstance: return (em & EM_SINGLE_INSTANCE) == 0;
    case kEnableInstances: return fs->instanceCount >= 2;
    case kEnableNotes: return loaded && ncNotesTotal(fs->drawing.notes) > 0;
    case kEnableNotBuilt: return false;
    default: return true;
    }
}

int viewRadioItem(const AppSettings& s) {
    const int pattern = s.viewSeparate == 1 ? 1 : 0;
    if ((s.enableMap & EM_SINGLE_PANE) != 0 && s.viewActive >= 0 && s.viewActive < 4) {
        return CMD_VIEW_XY + s.viewMatrix[pattern][s.viewActive];
    }
    return CMD_VIEW_PATTERN1 + pattern;
}

int speedRadioItem(const AppSettings& s) {
    return CMD_SPEED_HIGH + (s.traceSpeed >= 0 && s.traceSpeed <= 2 ? s.traceSpeed : 1);
}

bool isChecked(const FrameState* fs, const CommandEntry& entry) {
    const AppSettings& s = fs->session->settings;
    switch (entry.check.rule) {
    case kCheckEnableMap: return (s.enableMap & entry.check.bit) != 0;
    case kCheckToolbarStyle: return (static_cast<uint32_t>(s.toolbarStatus) & entry.check.bit) != 0;
    case kCheckFilterWindow: return FilterWindow() != nullptr && IsWindowVisible(FilterWindow());
    case kCheckViewRadio: return entry.id == viewRadioItem(s);
    case kCheckSpeedRadio: return entry.id == speedRadioItem(s);
    default: return false;
    }
}

bool isRadio(CheckRule rule) { return rule == kCheckViewRadio || rule == kCheckSpeedRadio; }

// Machine and tool names after a tab in their "open" items.
void setNameAfterTab(HMENU menu, int id, const char* path) {
    wchar_t text[256] = {};
    if (GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND) <= 0) return;
    std::wstring item = text;
    item = item.substr(0, item.find(L'\t'));
    const char* slash = sjisLastSeparator(path);
    std::string base = slash != nullptr ? slash + 1 : path;
    // The extension starts at the last dot, which no CP932 trail byte can be.
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos) base.resize(dot);
    if (!base.empty()) item += L"\t" + tlvWiden(base.c_str());
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = item.data();
    SetMenuItemInfoW(menu, id, FALSE, &info);
}

void rebuildHistory(FrameState* fs, HMENU menu) {
    HMENU file = GetSubMenu(menu, 0);
    if (file == nullptr) return;
    for (int id = CMD_HISTORY_SEPARATOR; id <= CMD_HISTORY_FIRST + kHistorySize - 1; ++id) {
        DeleteMenu(file, id, MF_BYCOMMAND);
    }
    const UINT grey = isTracing(fs) ? MF_GRAYED : MF_ENABLED;
    for (int k = 0; k < kHistorySize; ++k) {
        const char* entry = fs->session->settings.history[k];
        if (entry[0] == '\0') break;
        if (k == 0) AppendMenuW(file, MF_SEPARATOR, CMD_HISTORY_SEPARATOR, nullptr);
        AppendMenuW(file, MF_STRING | grey, CMD_HISTORY_FIRST + k, HistoryItemText(k, entry).c_str());
    }
}

void rebuildInstances(FrameState* fs, HMENU menu) {
    HMENU window = GetSubMenu(menu, 4);
    fs->instanceCount = FindInstances(fs->instances, kInstanceMax);
    if (window == nullptr) return;
    for (int id = CMD_INSTANCE_SEPARATOR; id <= CMD_INSTANCE_FIRST + kInstanceMax - 1; ++id) {
        DeleteMenu(window, id, MF_BYCOMMAND);
    }
    for (int k = 0; k < fs->instanceCount; ++k) {
        wchar_t caption[256] = {};
        GetWindowTextW(fs->instances[k], caption, 256);
        if (k == 0) AppendMenuW(window, MF_SEPARATOR, CMD_INSTANCE_SEPARATOR, nullptr);
        AppendMenuW(window, MF_STRING, CMD_INSTANCE_FIRST + k, InstanceItemText(k, caption).c_str());
    }
}

}  // namespace

std::wstring HistoryItemText(int k, const char* path) {
    const char* slash = sjisLastSeparator(path);
    std::string name = slash != nullptr ? slash + 1 : path;
    std::string folder = slash != nullptr ? std::string(path, static_cast<size_t>(slash - path)) : "";
    wchar_t number[8];
    swprintf(number, 8, L"&%d ", k < 9 ? k + 1 : 0);
    return number + tlvWiden(name.c_str()) + L"\t" + tlvWiden(folder.c_str());
}

std::wstring InstanceItemText(int k, const wchar_t* caption) {
    wchar_t number[8];
    swprintf(number, 8, L"&%d ", k < 9 ? k + 1 : 0);
    const wchar_t* dash = wcschr(caption, L'-');
    if (dash == nullptr) return number + tlvWiden(tlvString(IDS_UNTITLED));
    return number + std::wstring(caption, static_cast<size_t>(dash - caption));
}

const CommandEntry* CommandTable(int* count) {
    *count = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
    return kCommands;
}

const CommandEntry* FindCommand(int id) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

void DispatchCommand(FrameState* fs, int id) {
    HWND frame = fs->frame;
    SyncRunState(fs);
    const CommandEntry* entry = FindCommand(id);
    if (entry != nullptr) {
        if (!entry->needsLoaded || isLoaded(fs)) {
            if (entry->pressed) CheckToolButton(fs, id, true);
            entry->run(fs, id);  // may end the window; fs is not used after
            if (entry->pressed && IsWindow(frame)) CheckToolButton(fs, id, false);
        }
    } else if (id >= CMD_HISTORY_FIRST && id < CMD_HISTORY_FIRST + kHistorySize) {
        OnHistory(fs, id);
    } else if (id >= CMD_INSTANCE_FIRST && id < CMD_INSTANCE_FIRST + kInstanceMax) {
        OnInstance(fs, id);
    }
    if (IsWindow(frame)) RefreshCommandStates(fs);
}

void UpdateCommandStates(FrameState* fs, HMENU menu, bool lists) {
    SyncRunState(fs);
    const AppSettings& s = fs->session->settings;
    if (lists && menu != nullptr) rebuildInstances(fs, menu);
    for (const CommandEntry& entry : kCommands) {
        const bool enabled = enabledBy(fs, entry.enable);
        const bool checked = isChecked(fs, entry);
        if (menu == nullptr) {
            if (entry.button.image >= 0) SetToolButtonState(fs, entry.id, enabled, checked);
            continue;
        }
        EnableMenuItem(menu, entry.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        if (entry.check.rule != kCheckNever && !isRadio(entry.check.rule)) {
            CheckMenuItem(menu, entry.id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    if (menu == nullptr) return;
    // Radio items show a bullet rather than a check mark.
    CheckMenuRadioItem(menu, CMD_VIEW_XY, CMD_VIEW_PATTERN2, viewRadioItem(s), MF_BYCOMMAND);
    CheckMenuRadioItem(menu, CMD_SPEED_HIGH, CMD_SPEED_LOW, speedRadioItem(s), MF_BYCOMMAND);
    if (!lists) return;
    setNameAfterTab(menu, CMD_MACHINE_OPEN, s.postFile);
    setNameAfterTab(menu, CMD_TOOL_OPEN, s.toolFile);
    rebuildHistory(fs, menu);
}

void RefreshCommandStates(FrameState* fs) {
    UpdateCommandStates(fs, GetMenu(fs->frame), true);
    UpdateCommandStates(fs, nullptr, false);
}

void PrepareContextMenu(HWND frame, HMENU menu) {
    if (FrameState* fs = FrameStateOf(frame)) UpdateCommandStates(fs, menu, false);
}

ToolbarCommands ToolbarCommandsFromTable() {
    auto buttonOf = [](int id) -> const ToolButton* {
        const CommandEntry* entry = FindCommand(id);
        return entry != nullptr ? &entry->button : nullptr;
    };
    auto prepareMenu = [](FrameState* fs, HMENU menu) { UpdateCommandStates(fs, menu, false); };
    auto refreshButtons = [](FrameState* fs) { UpdateCommandStates(fs, nullptr, false); };
    return {buttonOf, prepareMenu, refreshButtons};
}

int OpenFiles(FrameState* fs, bool add, const char* const* names, int count) {
    const int done = OpenNcFiles(&fs->drawing, fs->ui.get(), add, names, count);
    SyncRunState(fs);
    RefreshNotesWindow(fs);
    UpdateFrameTitle(fs, GetActiveWindow() == fs->frame);
    return done;
}

int ReloadFiles(FrameState* fs) {
    const int32_t programs = ncBlockCount(fs->drawing.blocks, -1);
    std::vector<std::string> names;
    for (int32_t program = ncBlockNext(fs->drawing.blocks, -1); program != -1 && programs > 0;
         program = ncBlockNext(fs->drawing.blocks, program)) {
        char name[kPlatPathMax] = {};
        if (ncBlockGetFilename(fs->drawing.blocks, program, name, sizeof name, nullptr) != 1)
            return 0;
        bool seen = false;
        for (const std::string& n : names) seen = seen || lstrcmpiA(n.c_str(), name) == 0;
        if (!seen) names.push_back(name);
    }
    if (names.empty()) return 0;
    std::vector<const char*> list;
    for (const std::string& n : names) list.push_back(n.c_str());
    return OpenFiles(fs, false, list.data(), static_cast<int>(list.size()));
}

void ToggleFlags(FrameState* fs, uint32_t bits, bool redraw) {
    HWND frame = fs->frame;
    uint32_t& em = fs->session->settings.enableMap;
    em ^= bits;
    ShowWindow(GetDlgItem(frame, IDC_REBAR), (em & EM_TOOLBAR) != 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(frame, IDC_STATUSBAR), (em & EM_STATUSBAR) != 0 ? SW_SHOW : SW_HIDE);
    if ((bits & (EM_TOOLBAR | EM_STATUSBAR | EM_TOPMOST)) != 0) PostMessageW(frame, WM_SIZE, 0, 0);
    if (redraw) InvalidateViewPanes(frame, -1);
}
