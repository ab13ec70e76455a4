// Times full repaints of one pane of the running shell: not a test, run by
// hand. Usage: win_paint_timing FILE.nc [repeats]
// Loads the file, then repaints the XY pane from its records (picture
// discarded each time) and prints the loaded record count and the time of
// each repaint, then the same with nothing but the title shown.
#include "app/win32/extension_points.h"
#include "app/win32/frame.h"
#include "app/win32/shell.h"
#include "res/resource.h"
#include "view/win32/pane_windows.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

int answerNo(HWND, const wchar_t*, const wchar_t*, UINT) { return IDNO; }

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
    if (tlvStart(program.get(), line.c_str(), SW_SHOWNORMAL) != kStartRunning) return 1;
    QueryPerformanceCounter(&t1);
    FrameState* fs = frameState(program->frame);
    PaneSet* set = paneSetOf(GetDlgItem(program->frame, IDC_VIEW_PANEL));
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
        invalidatePanes(program->frame, slot);
        QueryPerformanceCounter(&t1);
        printf("XY pane %dx%d: full repaint of %d records %.3f s\n", r.right - r.left, r.bottom - r.top,
               set->lastPaintRecords, seconds(t0, t1));
    }
    // The same loop with every motion style masked off: what record access
    // and the per-record checks cost without any drawing.
    program->session.settings.viewStatus = 0x100;
    for (int k = 0; k < repeats; ++k) {
        QueryPerformanceCounter(&t0);
        invalidatePanes(program->frame, slot);
        QueryPerformanceCounter(&t1);
        printf("XY pane, nothing drawn: loop over %d records %.3f s\n", set->lastPaintRecords, seconds(t0, t1));
    }
    DestroyWindow(program->frame);
    return 0;
}
