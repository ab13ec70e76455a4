#include "app/win32/extension_points.h"

#include "app/win32/commands.h"
#include "app/win32/frame.h"
#include "res/resource.h"
#include "view/win32/pane_windows.h"
#include "res/strings.h"

#include <cstdio>
#include <string>

void traceToggle(HWND) {}
void traceSetMode(HWND, int) {}
int traceMode(HWND) { return -1; }

namespace {

static_assert(kPaneFlagZoomRecentre == EM_ZOOM_RECENTRE && kPaneFlagSinglePane == EM_SINGLE_PANE);

PaneSet* viewPanes(HWND frame) { return frame != nullptr ? paneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL)) : nullptr; }

void onViewPanelCreate(HWND panel) {
    FrameState* fs = frameState(GetParent(panel));
    if (fs == nullptr) return;
    AppSettings& s = fs->session->settings;
    const PaneBindings bindings = {&fs->drawing,  &s.viewActive, &s.viewSeparate, s.viewMatrix,
                                   &s.enableMap,  &s.viewStatus, &s.zoomValue,    s.colorMap,
                                   s.widthMap,    s.viewRotate,  prepareContextMenu};
    CreatePaneWindows(panel, bindings);
}

void onViewPanelDestroy(HWND panel) {
    storePaneAngles(GetParent(panel));
    DestroyPaneWindows(panel);
}

void onViewPanelLayout(HWND panel) {
    if (PaneSet* set = paneSetOf(panel)) LayoutPanes(set);
}

}  // namespace

bool registerViewPanes(HINSTANCE instance) {
    setViewPanelHooks({onViewPanelCreate, onViewPanelDestroy, onViewPanelLayout});
    return RegisterPaneClass(instance);
}

void storePaneAngles(HWND frame) {
    FrameState* fs = frameState(frame);
    PaneSet* set = viewPanes(frame);
    if (fs == nullptr || set == nullptr) return;
    float angles[kPaneCount][3];
    CollectPaneAngles(set, angles);
    StorePaneRotations(&fs->session->settings, angles);
}

int paneFromWindow(HWND window) { return PaneFromWindow(window); }
void activatePane(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) ActivatePane(set, pane);
}
void fitPanes(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) FitPanes(set, pane);
}
void zoomPane(HWND frame, bool zoomIn) {
    if (PaneSet* set = viewPanes(frame)) ZoomActivePane(set, zoomIn);
}
void panPane(HWND frame, int direction) {
    if (PaneSet* set = viewPanes(frame)) PanActivePane(set, direction);
}
void setSinglePane(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) SetSinglePane(set, pane);
}
void showPlaneAlone(HWND frame, int plane) {
    if (PaneSet* set = viewPanes(frame)) ShowKindAlone(set, plane);
}
void switchPattern(HWND frame, int pattern) {
    if (PaneSet* set = viewPanes(frame)) SwitchPanePattern(set, pattern);
}
void invalidatePanes(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) InvalidatePanes(set, pane, true);
}

void printDrawing(HWND, int, bool) {}
void copyPicture(HWND) {}
HWND filterWindow() { return nullptr; }
void toggleFilterWindow(HWND) {}
void refreshFilterLists(HWND) {}

int openInEditor(HWND) { return 0; }
int sendCurrentFile(HWND) { return 0; }

int launchProcess(const char* program, const char* arguments, int show) {
    std::string line;
    if (program != nullptr && program[0] != '\0') {
        line.append(1, '"').append(program).append(1, '"');
    }
    if (arguments != nullptr && arguments[0] != '\0') {
        if (!line.empty()) line.append(1, ' ');
        line.append(arguments);
    }
    if (line.empty()) return 0;
    std::wstring wide = tlvWiden(line.c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show != 0 ? show : SW_SHOWNORMAL);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    WaitForInputIdle(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

void createToolbars(HWND) {}
void rebuildToolbars(HWND) {}
void saveToolbarLayout(HWND) {}
void checkToolButton(HWND, int, bool) {}
void setToolButtonState(HWND, int, bool, bool) {}

void onFrameKeyDown(HWND, WPARAM, LPARAM) {}
bool mousePreFilter(MSG*) { return false; }

void showAboutBox(HWND frame) {
    std::wstring product = tlvWiden(tlvString(IDS_PRODUCT));
    std::wstring text = product + L"  " + tlvWiden(tlvString(IDS_ABOUT_VERSION)) + L"\n\n" +
                        tlvWiden(tlvString(IDS_ABOUT_DESCRIPTION));
    tlvMessageBox(frame, text.c_str(), product.c_str(), MB_OK | MB_ICONINFORMATION);
}

void openHelp(HWND) {}
