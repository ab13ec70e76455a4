#include "view/print_layout.h"

#include "view/pane_layout.h"

#include <algorithm>

namespace {

// The pane's screen scale grown to paper: the smaller ratio keeps all of
// what the screen shows on the page.
float paperScale(const ViewRect& screen, const ViewRect& paper, float scale) {
    const int sw = screen.right - screen.left, sh = screen.bottom - screen.top;
    if (sw <= 0 || sh <= 0) return scale;
    const float rx = static_cast<float>(paper.right - paper.left) / static_cast<float>(sw);
    const float ry = static_cast<float>(paper.bottom - paper.top) / static_cast<float>(sh);
    return scale * std::min(rx, ry);
}

}  // namespace

PrintResult RunPrintPages(PrintJob* job, uint32_t status, const ViewRect& page) {
    PrintResult result = {0, false};
    const bool samePage = (status & kPrintSamePage) != 0;
    bool pageOpen = false;
    ViewRect area = page;
    if ((status & kPrintReport) != 0 && job->startPage()) {
        pageOpen = true;
        // The compact report leaves more of a shared page to the panes.
        const bool compact = samePage && (status & kPrintPaths) != 0;
        result.cut = job->printReport(&area, compact);
        result.drawn = 1;
        if (!samePage) {
            job->endPage();
            pageOpen = false;
            area = page;
        }
    }
    if ((status & kPrintPaths) != 0) {
        if (!pageOpen) pageOpen = job->startPage();
        if (pageOpen) {
            result.drawn = job->printPanes(area);
            if (!samePage) {
                job->endPage();
                pageOpen = false;
            }
        }
    }
    if (pageOpen) job->endPage();
    return result;
}

ReportColumn LayoutReportColumn(ViewRect* area, int textWidth, int textHeight, int frame) {
    ReportColumn c = {};
    c.cut = textWidth > area->right - area->left || textHeight > area->bottom - area->top;
    const int width = textWidth + 4 + 2 * frame;
    c.column = {area->left, area->top, std::min(area->left + width, area->right), area->bottom};
    c.text = {c.column.left + frame + 2, c.column.top + frame + 2, c.column.right - frame - 2,
              c.column.bottom - frame - 2};
    area->left = c.column.right;
    return c;
}

unsigned LayoutPrintedPanes(int pattern, int pane, const ViewRect& area, ViewRect out[kPaneCount]) {
    if (pane >= 0 && pane < kPaneCount) {
        out[pane] = area;
        return 1u << pane;
    }
    ComputePaneRects(pattern == 1 ? 1 : 0, area, out);
    return (1u << kPaneCount) - 1;
}

int32_t PaintPrintedPane(Canvas* canvas, const ViewPane& screenPane, const ViewRect& paper,
                         uint32_t displayMask, const DisplayFilter* filter, PanePaintInput input,
                         uint32_t titleColor, bool frame) {
    ViewPane pane = screenPane;
    const float scale = paperScale(screenPane.clientRect, paper, screenPane.scale);
    BuildViewMatrix(&pane, paper, scale);
    input.scale = std::clamp(scale, 0.0001f, 9999.0f);  // the bounds the matrix keeps to
    canvas->setClip(&paper);
    const RenderTarget target = {canvas, paper, pane.matrix, displayMask, filter};
    const int32_t drawn = PaintPaneContent(target, input);
    if ((displayMask & kShowTitle) != 0)
        canvas->text(paper.left + 2, paper.top + 1, pane.title, titleColor);
    canvas->setClip(nullptr);
    if (frame) canvas->frameRect(paper);
    return drawn;
}
