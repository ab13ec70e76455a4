#include "app/win32/view_panel.h"

#include "app/win32/frame_state.h"
#include "res/resource.h"
#include "view/win32/pane_windows.h"


namespace {

static_assert(kPaneFlagZoomRecentre == EM_ZOOM_RECENTRE && kPaneFlagSinglePane == EM_SINGLE_PANE);

PaneSet* viewPanes(HWND frame) { return frame != nullptr ? paneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL)) : nullptr; }

void onViewPanelCreate(HWND panel) {
    FrameState* fs = frameState(GetParent(panel));
    if (fs == nullptr) return;
    AppSettings& s = fs->session->settings;
    const PaneBindings bindings = {&fs->drawing,
                                   &s.viewActive,
                                   &s.viewSeparate,
                                   s.viewMatrix,
                                   &s.enableMap,
                                   &s.viewStatus,
                                   &s.zoomValue,
                                   s.colorMap,
                                   s.widthMap,
                                   s.viewRotate,
                                   fs->paneHost.prepareMenu};
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
