#include "app/win32/trace_runner.h"

#include "app/win32/frame_state.h"
#include "app/win32/idle_call.h"
#include "app/win32/status_bar.h"
#include "pathdata/trace.h"
#include "res/resource.h"
#include "res/strings.h"
#include "view/win32/pane_windows.h"

#include <cstring>

static_assert(kTraceWaitForever == INFINITE);

namespace {

// The one trace of the process and the window it runs in.
struct TraceRun {
    TraceState state;
    HWND frame;
} gTrace;

PaneSet* panesOf(HWND frame) {
    return PaneSetOf(GetDlgItem(frame, IDC_VIEW_PANEL));
}

ToolShape toolShape(const FrameState* fs, int tool) {
    const ToolEntry& e = fs->session->tools.entries[tool >= 0 && tool < kToolCount ? tool : 0];
    return {e.diameter, e.length, e.cornerRadius};
}

// Draws one pane's step on the screen: the marker off, the move on, the
// marker on at the move's end.
void drawPaneStep(PaneSet* set, int slot, const MotionRecord& record, const ToolShape& before,
                  const ToolShape& after) {
    HWND window = set->windows[slot];
    if (window == nullptr || !IsWindowVisible(window)) return;
    HDC dc = GetDC(window);
    if (dc == nullptr) return;  // skipped for this step
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    ViewPane& pane = set->view.panes[slot];
    {
        GdiCanvas canvas(dc, &set->pens);
        const RenderTarget target = {&canvas, pane.clientRect, pane.matrix,
                                     static_cast<uint32_t>(*set->bind.displayMask),
                                     &set->bind.drawing->filter};
        float* position = set->markerPos[slot];
        if ((set->markerMask >> slot & 1u) != 0) DrawToolImage(target, &before, position);
        DrawMotion(target, record, position);
        DrawToolImage(target, &after, position);
    }
    set->markerMask |= 1u << slot;
    SetBkMode(dc, oldMode);
    ReleaseDC(window, dc);
}

class WindowTraceUi : public TraceUi {
public:
    explicit WindowTraceUi(const FrameState* fs) : fs_(fs) {}
    void statusPart(int part, const char* text) override {
        SetStatusText(fs_->frame, part, "%s", text);
    }
    void clearRegisters() override { ClearRegisterList(fs_->frame); }
    void registerCell(int row, int column, const char* text) override {
        SetRegisterCell(fs_->frame, row, column, "%s", text);
    }
    void selectCodeLine(int32_t row) override { SelectCodeLine(fs_->frame, row); }
    bool breakMarkAt(int32_t row) override { return SetBreakMark(fs_->frame, 3, row) != 0; }
    void drawStep(const MotionRecord& record, int previousTool, int tool) override {
        PaneSet* set = panesOf(fs_->frame);
        if (set == nullptr) return;
        const ToolShape before = toolShape(fs_, previousTool), after = toolShape(fs_, tool);
        for (int slot = 0; slot < kPaneCount; ++slot)
            drawPaneStep(set, slot, record, before, after);
        set->markerTool = after;
        // A full paint from now on draws every record drawn so far.
        set->traceRecords = gTrace.state.stepCount;
    }
    void traceEnded() override { PostMessageW(fs_->frame, WM_COMMAND, CMD_TRACE_STOP, 0); }

private:
    const FrameState* fs_;
};

TraceSpeed speedOf(FrameState* fs) {
    AppSettings& s = fs->session->settings;
    return {&s.traceSpeed, s.traceWait};
}

void resetMarkers(HWND frame) {
    if (PaneSet* set = panesOf(frame)) {
        set->traceRecords = 0;
        set->markerMask = 0;
        memset(set->markerPos, 0, sizeof set->markerPos);
    }
}

void start(FrameState* fs) {
    HWND frame = fs->frame;
    WindowTraceUi ui(fs);
    SetStatusText(frame, -2, nullptr);
    if (!traceStart(&gTrace.state, &fs->drawing, &ui)) {
        SetStatusText(frame, -1, "%s", tlvString(IDS_READY));
        return;
    }
    gTrace.frame = frame;
    resetMarkers(frame);
    SelectCodeLine(frame, 0);
    FocusCodeList(frame);
    SetIdleCallback(TraceIdle);
}

void stop(FrameState* fs) {
    HWND frame = fs->frame;
    traceStop(&gTrace.state, &fs->drawing);
    ClearStatusParts(frame);
    SetStatusText(frame, -1, "%s", tlvString(IDS_READY));
    SetIdleCallback(nullptr);
    ClearRegisterList(frame);
    resetMarkers(frame);
    gTrace.frame = nullptr;
}

}  // namespace

void ToggleTrace(FrameState* fs) {
    if (!fs->drawing.loaded) return;
    if (fs->drawing.tracing) {
        stop(fs);
    } else {
        start(fs);
    }
    SyncRunState(fs);
    // Both ways the pictures change: the trace draws from nothing, the end
    // shows the whole drawing again.
    if (PaneSet* set = panesOf(fs->frame)) InvalidatePanes(set, -1, true);
}

void SetTraceMode(const FrameState* fs, int mode) {
    if (fs->drawing.tracing && mode >= kTraceRunning && mode <= kTracePaused) {
        gTrace.state.mode = mode;
    }
}

int traceMode(const FrameState* fs) {
    return fs->drawing.tracing ? gTrace.state.mode : -1;
}

int32_t traceStepCount() {
    return gTrace.state.stepCount;
}

uint32_t TraceIdle() {
    FrameState* fs = FrameStateOf(gTrace.frame);
    if (fs == nullptr) return kTraceWaitForever;
    WindowTraceUi ui(fs);
    traceStep(&gTrace.state, &fs->drawing, speedOf(fs), GetTickCount(), &ui);
    return traceWait(&gTrace.state, &fs->drawing, speedOf(fs), GetTickCount());
}
