#include "app/win32/view_panel.h"

#include "app/win32/frame_state.h"
#include "res/resource.h"
#include "view/win32/pane_windows.h"


namespace {

static_assert(kPaneFlagZoomRecentre == EM_ZOOM_RECENTRE && kPaneFlagSinglePane == EM_SINGLE_PANE);

PaneSet* viewPanes(HWND frame) { return frame != nullptr ? PaneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL)) : nullptr; }

void onViewPanelCreate(HWND panel) {
    FrameState* fs = FrameStateOf(GetParent(panel));
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
    if (FrameState* fs = FrameStateOf(GetParent(panel))) StorePaneAngles(fs);
    DestroyPaneWindows(panel);
}

void onViewPanelLayout(HWND panel) {
    if (PaneSet* set = PaneSetOf(panel)) LayoutPanes(set);
}

}  // namespace

bool RegisterViewPanes(HINSTANCE instance) {
    SetViewPanelHooks({onViewPanelCreate, onViewPanelDestroy, onViewPanelLayout});
    return RegisterPaneClass(instance);
}

void StorePaneAngles(FrameState* fs) {
    PaneSet* set = viewPanes(fs->frame);
    if (set == nullptr) return;
    float angles[kPaneCount][3];
    CollectPaneAngles(set, angles);
    StorePaneRotations(&fs->session->settings, angles);
}

void ActivateViewPane(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) ActivatePane(set, pane);
}
void FitViewPanes(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) FitPanes(set, pane);
}
void ZoomViewPane(HWND frame, bool zoomIn) {
    if (PaneSet* set = viewPanes(frame)) ZoomActivePane(set, zoomIn);
}
void PanViewPane(HWND frame, int direction) {
    if (PaneSet* set = viewPanes(frame)) PanActivePane(set, direction);
}
void SetSingleViewPane(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) SetSinglePane(set, pane);
}
void ShowPlaneAlone(HWND frame, int plane) {
    if (PaneSet* set = viewPanes(frame)) ShowKindAlone(set, plane);
}
void SwitchViewPattern(HWND frame, int pattern) {
    if (PaneSet* set = viewPanes(frame)) SwitchPanePattern(set, pattern);
}
void InvalidateViewPanes(HWND frame, int pane) {
    if (PaneSet* set = viewPanes(frame)) InvalidatePanes(set, pane, true);
}
