// Times full repaints of one pane of the running shell: not a test, run by
// hand. Usage: win_paint_timing FILE.nc [repeats]
// Loads the file, then repaints the XY pane from its records (picture
// discarded each time) and prints the loaded record count and the time of
// each repaint, then the same with nothing but the title shown, then one
// step of a pan drag and of a rotate drag as the repeat timer runs it.
#include "app/input.h"
#include "app/win32/frame.h"
#include "dialogs/win32/common_dialogs.h"
#include "app/win32/input_filter.h"
#include "app/win32/shell.h"
#include "app/win32/view_panel.h"
#include "res/resource.h"
#include "view/win32/pane_windows.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

int answerNo(HWND, const wchar_t*, const wchar_t*, UINT) { return IDNO; }

double seconds(LARGE_INTEGER from, LARGE_INTEGER to);

// Times drag steps of the pane: a middle press (with Shift for rotation)
// and a move of 3 steps right and 2 up, then one repeat-timer tick each
// time; the pane must have moved or turned.
void timeDragSteps(HWND frame, PaneSet* set, int slot, bool rotate, int repeats) {
    HWND pane = set->windows[slot];
    auto send = [&](UINT message, WPARAM wp, int x, int y) {
        MSG msg = {pane, message, wp, MAKELPARAM(x, y), 0, {0, 0}};
        return FilterInputMessage(frame, &msg);
    };
    send(WM_MBUTTONDOWN, MK_MBUTTON | (rotate ? MK_SHIFT : 0), 100, 100);
    KillTimer(pane, kDragTimerId);  // the ticks come from here
    send(WM_MOUSEMOVE, MK_MBUTTON, 124, 84);
    for (int k = 0; k < repeats; ++k) {
        const ViewPane before = set->view.panes[slot];
        set->lastPaintRecords = -1;  // a step that paints nothing shows it
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        const bool taken = send(WM_TIMER, kDragTimerId, 0, 0);
        QueryPerformanceCounter(&t1);
        const ViewPane& after = set->view.panes[slot];
        const bool changed = rotate ? after.angleY != before.angleY : after.panX != before.panX;
        printf("%s step with repaint of %d records %.3f s%s\n", rotate ? "rotate" : "pan",
               set->lastPaintRecords, seconds(t0, t1),
               taken && changed ? "" : " (the view did not change!)");
    }
    send(WM_MBUTTONUP, 0, 124, 84);
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE.nc [repeats]\n", argv[0]);
        return 2;
    }
    const int repeats = argc > 2 ? atoi(argv[2]) : 5;
    tlvSetMessageBoxHook(answerNo);
    auto program = std::make_unique<Program>();
    program->instance = GetModuleHandleW(nullptr);
    const std::string file = argv[1];
    const std::wstring line(file.begin(), file.end());
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    if (StartProgram(program.get(), line.c_str(), SW_SHOWNORMAL) != kStartRunning) return 1;
    QueryPerformanceCounter(&t1);
    FrameState* fs = FrameStateOf(program->frame);
    PaneSet* set = PaneSetOf(GetDlgItem(program->frame, IDC_VIEW_PANEL));
    if (fs == nullptr || set == nullptr || !fs->drawing.loaded) return 1;
    printf("records %d, start-up with load and first paints %.3f s\n", pathStoreCount(fs->drawing.paths),
           seconds(t0, t1));
    int slot = 0;
    for (int i = 0; i < kPaneCount; ++i) {
        if (program->session.settings.viewMatrix[program->session.settings.viewSeparate][i] == 0) slot = i;
    }
    const ViewRect& r = set->view.panes[slot].clientRect;
    for (int k = 0; k < repeats; ++k) {
        QueryPerformanceCounter(&t0);
        InvalidateViewPanes(program->frame, slot);
        QueryPerformanceCounter(&t1);
        printf("XY pane %dx%d: full repaint of %d records %.3f s\n", r.right - r.left, r.bottom - r.top,
               set->lastPaintRecords, seconds(t0, t1));
    }
    // The same loop with every motion style masked off: what record access
    // and the per-record checks cost without any drawing.
    const int32_t shown = program->session.settings.viewStatus;
    program->session.settings.viewStatus = 0x100;
    for (int k = 0; k < repeats; ++k) {
        QueryPerformanceCounter(&t0);
        InvalidateViewPanes(program->frame, slot);
        QueryPerformanceCounter(&t1);
        printf("XY pane, nothing drawn: loop over %d records %.3f s\n", set->lastPaintRecords, seconds(t0, t1));
    }
    program->session.settings.viewStatus = shown;
    timeDragSteps(program->frame, set, slot, false, repeats);
    timeDragSteps(program->frame, set, slot, true, repeats);
    DestroyWindow(program->frame);
    return 0;
}
