#include "app/win32/commands.h"

#include "app/win32/extension_points.h"
#include "app/win32/notes_window.h"
#include "app/win32/progress_dialogs.h"
#include "dialogs/win32/machine_sheet.h"
#include "dialogs/win32/property_sheet.h"
#include "dialogs/win32/tool_sheet.h"
#include "platform/sjis.h"
#include "pathdata/export.h"
#include "res/resource.h"
#include "res/strings.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool isTracing(const FrameState* fs) { return (fs->session->settings.enableMap & EM_TRACING) != 0; }
bool isLoaded(const FrameState* fs) { return (fs->session->settings.enableMap & EM_LOADED) != 0; }

// Handlers: each decodes what it needs and calls the operation.
void OnExit(HWND frame, int) { PostMessageW(frame, WM_CLOSE, 0, 0); }
void OnToggleToolbar(HWND frame, int) { ToggleFlags(frame, EM_TOOLBAR, true); }
void OnToggleStatusbar(HWND frame, int) { ToggleFlags(frame, EM_STATUSBAR, true); }
void OnTopmost(HWND frame, int) { ToggleFlags(frame, EM_TOPMOST, false); }
void OnAbout(HWND frame, int) { showAboutBox(frame); }
void OnHelp(HWND frame, int) { openHelp(frame); }

void OnZoom(HWND frame, int id) { zoomPane(frame, id == CMD_ZOOM_IN); }
void OnPan(HWND frame, int id) { panPane(frame, id - CMD_PAN_UP); }
void OnFit(HWND frame, int id) {
    fitPanes(frame, id == CMD_FIT_ALL ? -1 : frameState(frame)->session->settings.viewActive);
}
void OnToggleSinglePane(HWND frame, int) {
    const AppSettings& s = frameState(frame)->session->settings;
    setSinglePane(frame, (s.enableMap & EM_SINGLE_PANE) != 0 ? -1 : s.viewActive);
}
void OnViewPlane(HWND frame, int id) { showPlaneAlone(frame, id - CMD_VIEW_XY); }
void OnViewPattern(HWND frame, int id) { switchPattern(frame, id - CMD_VIEW_PATTERN1); }

void OnTraceRun(HWND frame, int) {
    if (isTracing(frameState(frame))) {
        traceSetMode(frame, 0);
    } else {
        traceToggle(frame);
    }
}
void OnTraceStop(HWND frame, int) {
    if (isTracing(frameState(frame))) traceToggle(frame);
}
void OnTraceStep(HWND frame, int) {
    const int mode = traceMode(frame);
    if (isTracing(frameState(frame)) && (mode == 0 || mode == 2)) traceSetMode(frame, 1);
}
void OnSpeed(HWND frame, int id) { frameState(frame)->session->settings.traceSpeed = id - CMD_SPEED_HIGH; }
void OnMarkToggle(HWND frame, int) { SetBreakMark(frame, 2, GetSelectedCodeLine(frame)); }
void OnMarkClearAll(HWND frame, int) { SetBreakMark(frame, -1, 0); }

void OnFileOpen(HWND frame, int id) { OpenFiles(frame, id == CMD_FILE_APPEND, nullptr, 0); }
void OnReload(HWND frame, int) { ReloadFiles(frame); }
void OnSaveAs(HWND frame, int) {
    FrameState* fs = frameState(frame);
    ExportDrawing(&fs->drawing, fs->ui.get(), nullptr, -1, exportOptionsOf(*fs->session, fs->drawing));
}
void OnReport(HWND frame, int) { ShowReportDialog(frame); }

int printPane(const FrameState* fs) {
    const AppSettings& s = fs->session->settings;
    return (s.enableMap & EM_SINGLE_PANE) != 0 ? s.viewActive : -1;
}
void OnPrint(HWND frame, int id) { printDrawing(frame, printPane(frameState(frame)), id == CMD_PRINT); }
void OnCopy(HWND frame, int) { copyPicture(frame); }
void OnEditSource(HWND frame, int) { openInEditor(frame); }
void OnSend(HWND frame, int) { sendCurrentFile(frame); }
void OnDisplayFilter(HWND frame, int) { toggleFilterWindow(frame); }
// Like the menu item: nothing to list, nothing to open.
void OnNotesWindow(HWND frame, int) {
    if (ncNotesTotal(frameState(frame)->drawing.notes) > 0) showNotesWindow(frame);
}
void OnProperties(HWND frame, int id) {
    const int page = id == CMD_PROP_REGISTER ? 0 : id == CMD_PROP_CODE ? 1 : id == CMD_PROP_VIEW ? 2 : -1;
    showPropertySheet(frame, page);
}

// Asks for a machine or tool file and reads it into *definition; the file
// becomes the remembered one. A cancelled choice, or a file that is refused
// (said so in a message box), keeps both as they were.
template <class Definition>
bool chooseAndRead(FrameState* fs, int titleId, const wchar_t* filter, char* remembered,
                   size_t size, Definition* definition,
                   int (*read)(const char*, Definition*, int*)) {
    char path[kPlatPathMax];
    snprintf(path, sizeof path, "%s", remembered);
    if (!fs->ui->chooseDefinitionFile(titleId, filter, path, sizeof path)) return false;
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
void openDefinition(HWND frame, int titleId, const wchar_t* filter, char (&remembered)[size],
                    Definition* definition, int (*read)(const char*, Definition*, int*),
                    int settingsCommand) {
    FrameState* fs = frameState(frame);
    if (isTracing(fs) ||
        !chooseAndRead(fs, titleId, filter, remembered, size, definition, read)) {
        return;
    }
    PostMessageW(frame, WM_COMMAND, CMD_RELOAD, 0);
    PostMessageW(frame, WM_COMMAND, settingsCommand, 0);
}
void OnMachineOpen(HWND frame, int) {
    Session* s = frameState(frame)->session;
    openDefinition(frame, IDS_MACHINE_FILE_TITLE, L"Machine files (*.MDL)|*.MDL|",
                   s->settings.postFile, &s->machine, ReadMachineFile, CMD_MACHINE_SETTINGS);
}
void OnToolOpen(HWND frame, int) {
    Session* s = frameState(frame)->session;
    openDefinition(frame, IDS_TOOL_FILE_TITLE, L"Tool files (*.TDL)|*.TDL|", s->settings.toolFile,
                   &s->tools, ReadToolFile, CMD_TOOL_SETTINGS);
}
// A file that could not be written is said so: the edit stays in memory
// and the drawing is still redone with it, but the file on disk is the old one.
void reportUnwritten(FrameState* fs, int written, int titleId, const char* path) {
    if (written == 1) return;
    const std::string text = std::string(tlvString(IDS_WRITE_FAILED)) + "\n\n" + path;
    fs->ui->message(tlvString(titleId), text.c_str(), kIconError);
}
void OnMachineSettings(HWND frame, int) {
    FrameState* fs = frameState(frame);
    if (isTracing(fs) || !showMachineSheet(frame)) return;
    const char* path = fs->session->settings.postFile;
    reportUnwritten(fs, WriteMachineFile(path, fs->session->machine), IDS_MACHINE_FILE_TITLE, path);
    PostMessageW(frame, WM_COMMAND, CMD_RELOAD, 0);
}
void OnToolSettings(HWND frame, int) {
    FrameState* fs = frameState(frame);
    if (!showToolSheet(frame)) return;
    const char* path = fs->session->settings.toolFile;
    reportUnwritten(fs, WriteToolFile(path, fs->session->tools), IDS_TOOL_FILE_TITLE, path);
    PostMessageW(frame, WM_COMMAND, CMD_RELOAD, 0);
}

void OnToolbarStyle(HWND frame, int id) {
    const int bit = id == CMD_TB_TITLES ? 0x1 : id == CMD_TB_TEXT ? 0x2 : id == CMD_TB_FLAT ? 0x4 : 0x8;
    frameState(frame)->session->settings.toolbarStatus ^= bit;
    rebuildToolbars(frame);
}

void OnNewWindow(HWND frame, int) {
    FrameState* fs = frameState(frame);
    saveToolbarLayout(frame);
    SaveFramePanels(frame);
    SaveFramePlacement(frame);
    storePaneAngles(frame);
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
    launchProcess(tlvNarrow(exe).c_str(), arguments, SW_SHOWNORMAL);
}

void arrangeInstances(HWND frame, int id) {
    FrameState* fs = frameState(frame);
    HWND all[255];
    int count = findInstances(all, 255);
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

void OnQuitAll(HWND frame, int) {
    FrameState* fs = frameState(frame);
    for (int i = 0; i < fs->instanceCount; ++i) {
        HWND w = fs->instances[i];
        if (IsWindow(w) && IsWindowEnabled(w)) PostMessageW(w, WM_CLOSE, 0, 0);
    }
}

void OnHistory(HWND frame, int id) {
    FrameState* fs = frameState(frame);
    const int k = id - CMD_HISTORY_FIRST;
    if (isTracing(fs) || k < 0 || k >= kHistorySize) return;
    char name[kSettingsTextSize];
    snprintf(name, sizeof name, "%s", fs->session->settings.history[k]);
    if (name[0] == '\0') return;
    const char* names[] = {name};
    OpenFiles(frame, false, names, 1);
}

void OnInstance(HWND frame, int id) {
    FrameState* fs = frameState(frame);
    const int k = id - CMD_INSTANCE_FIRST;
    if (k < 0 || k >= fs->instanceCount || !IsWindow(fs->instances[k])) return;
    SetForegroundWindow(fs->instances[k]);
}

// Commands whose work is not part of this version (the trace, printing and
// the clipboard picture, the editor and send application, help, the
// display filter window and the toolbars) stay grey
// rather than enabled and silent.
constexpr CommandEntry kCommands[] = {
    {CMD_ZOOM_IN, OnZoom, kEnableAlways, false, false},
    {CMD_ZOOM_OUT, OnZoom, kEnableAlways, false, false},
    {CMD_PAN_UP, OnPan, kEnableAlways, false, false},
    {CMD_PAN_DOWN, OnPan, kEnableAlways, false, false},
    {CMD_PAN_LEFT, OnPan, kEnableAlways, false, false},
    {CMD_PAN_RIGHT, OnPan, kEnableAlways, false, false},
    {CMD_FIT, OnFit, kEnableAlways, false, false},
    {CMD_FIT_ALL, OnFit, kEnableAlways, false, false},
    {CMD_EXIT, OnExit, kEnableAlways, false, false},
    {CMD_TOGGLE_TOOLBAR, OnToggleToolbar, kEnableNotBuilt, false, false},
    {CMD_TOGGLE_STATUSBAR, OnToggleStatusbar, kEnableAlways, false, false},
    {CMD_ABOUT, OnAbout, kEnableAlways, true, false},
    {CMD_TRACE_RUN, OnTraceRun, kEnableNotBuilt, false, false},
    {CMD_TRACE_STOP, OnTraceStop, kEnableTracing, false, false},
    {CMD_MARK_TOGGLE, OnMarkToggle, kEnableLoaded, false, false},
    {CMD_MARK_CLEAR_ALL, OnMarkClearAll, kEnableLoaded, false, false},
    {CMD_FILE_OPEN, OnFileOpen, kEnableIdle, true, false},
    {CMD_PRINT, OnPrint, kEnableNotBuilt, true, true},
    {CMD_TRACE_STEP, OnTraceStep, kEnableNotBuilt, false, false},
    {CMD_COPY, OnCopy, kEnableNotBuilt, true, false},
    {CMD_RELOAD, OnReload, kEnableLoadedIdle, true, true},
    {CMD_SPEED_HIGH, OnSpeed, kEnableAlways, false, false},
    {CMD_SPEED_NORMAL, OnSpeed, kEnableAlways, false, false},
    {CMD_SPEED_LOW, OnSpeed, kEnableAlways, false, false},
    {CMD_TOGGLE_SINGLE_PANE, OnToggleSinglePane, kEnableAlways, false, false},
    {CMD_WINDOWS_CASCADE, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_TILE_HORZ, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_TILE_VERT, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_MINIMIZE_ALL, arrangeInstances, kEnableAlways, false, false},
    {CMD_WINDOWS_RESTORE_ALL, arrangeInstances, kEnableAlways, false, false},
    {CMD_HELP, OnHelp, kEnableNotBuilt, false, false},
    {CMD_MACHINE_OPEN, OnMachineOpen, kEnableIdle, true, false},
    {CMD_TOOL_OPEN, OnToolOpen, kEnableIdle, true, false},
    {CMD_NEW_WINDOW, OnNewWindow, kEnableMultiInstance, false, false},
    {CMD_PRINT_DIRECT, OnPrint, kEnableNotBuilt, true, true},
    {CMD_TB_TITLES, OnToolbarStyle, kEnableNotBuilt, false, false},
    {CMD_TB_TEXT, OnToolbarStyle, kEnableNotBuilt, false, false},
    {CMD_TB_FLAT, OnToolbarStyle, kEnableNotBuilt, false, false},
    {CMD_TB_LIST, OnToolbarStyle, kEnableNotBuilt, false, false},
    {CMD_NC_REPORT, OnReport, kEnableLoadedIdle, true, true},
    {CMD_TOPMOST, OnTopmost, kEnableAlways, false, false},
    {CMD_VIEW_XY, OnViewPlane, kEnableAlways, false, false},
    {CMD_VIEW_XZ, OnViewPlane, kEnableAlways, false, false},
    {CMD_VIEW_YZ, OnViewPlane, kEnableAlways, false, false},
    {CMD_VIEW_XYZ, OnViewPlane, kEnableAlways, false, false},
    {CMD_VIEW_PATTERN1, OnViewPattern, kEnableAlways, false, false},
    {CMD_VIEW_PATTERN2, OnViewPattern, kEnableAlways, false, false},
    {CMD_SAVE_AS, OnSaveAs, kEnableLoadedIdle, true, true},
    {CMD_PROP_CODE, OnProperties, kEnableAlways, false, false},
    {CMD_PROP_REGISTER, OnProperties, kEnableAlways, false, false},
    {CMD_PROP_VIEW, OnProperties, kEnableAlways, false, false},
    {CMD_OPTIONS, OnProperties, kEnableAlways, false, false},
    {CMD_EDIT_SOURCE, OnEditSource, kEnableNotBuilt, true, false},
    {CMD_MACHINE_SETTINGS, OnMachineSettings, kEnableIdle, true, false},
    {CMD_TOOL_SETTINGS, OnToolSettings, kEnableAlways, true, false},
    {CMD_SEND, OnSend, kEnableNotBuilt, true, true},
    {CMD_QUIT_ALL, OnQuitAll, kEnableInstances, false, false},
    {CMD_FILE_APPEND, OnFileOpen, kEnableLoadedIdle, true, false},
    {CMD_DISPLAY_FILTER, OnDisplayFilter, kEnableNotBuilt, false, false},
    {CMD_NOTES_WINDOW, OnNotesWindow, kEnableNotes, false, true},
};

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

// Checked items besides the radio groups.
bool checkedState(const FrameState* fs, int id, bool* checked) {
    const AppSettings& s = fs->session->settings;
    switch (id) {
    case CMD_DISPLAY_FILTER: *checked = filterWindow() != nullptr && IsWindowVisible(filterWindow()); return true;
    case CMD_TOGGLE_SINGLE_PANE: *checked = (s.enableMap & EM_SINGLE_PANE) != 0; return true;
    case CMD_TOGGLE_TOOLBAR: *checked = (s.enableMap & EM_TOOLBAR) != 0; return true;
    case CMD_TOGGLE_STATUSBAR: *checked = (s.enableMap & EM_STATUSBAR) != 0; return true;
    case CMD_TOPMOST: *checked = (s.enableMap & EM_TOPMOST) != 0; return true;
    case CMD_TB_TITLES: *checked = (s.toolbarStatus & 0x1) != 0; return true;
    case CMD_TB_TEXT: *checked = (s.toolbarStatus & 0x2) != 0; return true;
    case CMD_TB_FLAT: *checked = (s.toolbarStatus & 0x4) != 0; return true;
    case CMD_TB_LIST: *checked = (s.toolbarStatus & 0x8) != 0; return true;
    default: return false;
    }
}

int viewRadioItem(const AppSettings& s) {
    const int pattern = s.viewSeparate == 1 ? 1 : 0;
    if ((s.enableMap & EM_SINGLE_PANE) != 0 && s.viewActive >= 0 && s.viewActive < 4) {
        return CMD_VIEW_XY + s.viewMatrix[pattern][s.viewActive];
    }
    return CMD_VIEW_PATTERN1 + pattern;
}

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
        AppendMenuW(file, MF_STRING | grey, CMD_HISTORY_FIRST + k, historyItemText(k, entry).c_str());
    }
}

void rebuildInstances(FrameState* fs, HMENU menu) {
    HMENU window = GetSubMenu(menu, 4);
    fs->instanceCount = findInstances(fs->instances, kInstanceMax);
    if (window == nullptr) return;
    for (int id = CMD_INSTANCE_SEPARATOR; id <= CMD_INSTANCE_FIRST + kInstanceMax - 1; ++id) {
        DeleteMenu(window, id, MF_BYCOMMAND);
    }
    for (int k = 0; k < fs->instanceCount; ++k) {
        wchar_t caption[256] = {};
        GetWindowTextW(fs->instances[k], caption, 256);
        if (k == 0) AppendMenuW(window, MF_SEPARATOR, CMD_INSTANCE_SEPARATOR, nullptr);
        AppendMenuW(window, MF_STRING, CMD_INSTANCE_FIRST + k, instanceItemText(k, caption).c_str());
    }
}

}  // namespace

std::wstring historyItemText(int k, const char* path) {
    const char* slash = sjisLastSeparator(path);
    std::string name = slash != nullptr ? slash + 1 : path;
    std::string folder = slash != nullptr ? std::string(path, static_cast<size_t>(slash - path)) : "";
    wchar_t number[8];
    swprintf(number, 8, L"&%d ", k < 9 ? k + 1 : 0);
    return number + tlvWiden(name.c_str()) + L"\t" + tlvWiden(folder.c_str());
}

std::wstring instanceItemText(int k, const wchar_t* caption) {
    wchar_t number[8];
    swprintf(number, 8, L"&%d ", k < 9 ? k + 1 : 0);
    const wchar_t* dash = wcschr(caption, L'-');
    if (dash == nullptr) return number + tlvWiden(tlvString(IDS_UNTITLED));
    return number + std::wstring(caption, static_cast<size_t>(dash - caption));
}

const CommandEntry* commandTable(int* count) {
    *count = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);
    return kCommands;
}

const CommandEntry* findCommand(int id) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

void syncRunState(FrameState* fs) {
    uint32_t& em = fs->session->settings.enableMap;
    em = fs->drawing.loaded ? (em | EM_LOADED) : (em & ~EM_LOADED);
    em = fs->drawing.tracing ? (em | EM_TRACING) : (em & ~EM_TRACING);
}

void DispatchCommand(HWND frame, int id) {
    FrameState* fs = frameState(frame);
    if (fs == nullptr) return;
    syncRunState(fs);
    const CommandEntry* entry = findCommand(id);
    if (entry != nullptr) {
        if (!entry->needsLoaded || isLoaded(fs)) {
            if (entry->pressed) checkToolButton(frame, id, true);
            entry->run(frame, id);
            if (entry->pressed && IsWindow(frame)) checkToolButton(frame, id, false);
        }
    } else if (id >= CMD_HISTORY_FIRST && id < CMD_HISTORY_FIRST + kHistorySize) {
        OnHistory(frame, id);
    } else if (id >= CMD_INSTANCE_FIRST && id < CMD_INSTANCE_FIRST + kInstanceMax) {
        OnInstance(frame, id);
    }
    if (!IsWindow(frame)) return;
    UpdateCommandStates(frame, GetMenu(frame), true);
    UpdateCommandStates(frame, nullptr, false);
}

void UpdateCommandStates(HWND frame, HMENU menu, bool lists) {
    FrameState* fs = frameState(frame);
    if (fs == nullptr) return;
    syncRunState(fs);
    const AppSettings& s = fs->session->settings;
    if (lists && menu != nullptr) rebuildInstances(fs, menu);
    for (const CommandEntry& entry : kCommands) {
        const bool enabled = enabledBy(fs, entry.enable);
        bool checked = false;
        const bool hasCheck = checkedState(fs, entry.id, &checked);
        if (menu == nullptr) {
            setToolButtonState(frame, entry.id, enabled, checked);
            continue;
        }
        EnableMenuItem(menu, entry.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        if (hasCheck) CheckMenuItem(menu, entry.id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    if (menu == nullptr) return;
    CheckMenuRadioItem(menu, CMD_VIEW_XY, CMD_VIEW_PATTERN2, viewRadioItem(s), MF_BYCOMMAND);
    const int speed = s.traceSpeed >= 0 && s.traceSpeed <= 2 ? s.traceSpeed : 1;
    CheckMenuRadioItem(menu, CMD_SPEED_HIGH, CMD_SPEED_LOW, CMD_SPEED_HIGH + speed, MF_BYCOMMAND);
    if (!lists) return;
    setNameAfterTab(menu, CMD_MACHINE_OPEN, s.postFile);
    setNameAfterTab(menu, CMD_TOOL_OPEN, s.toolFile);
    rebuildHistory(fs, menu);
}

void prepareContextMenu(HWND frame, HMENU menu) { UpdateCommandStates(frame, menu, false); }
