// Where printed output goes on paper: the pages of a print job, the report
// column, the panes in the layout pattern's geometry (or the active one
// alone), and the painting of a pane scaled up to its place on the page.
#pragma once

#include "view/canvas.h"
#include "view/pane_paint.h"
#include "view/view_transform.h"

#include <cstdint>

// Print option bits (the "PrintStatus" setting).
constexpr uint32_t kPrintFrame = 0x01;   // frame the report column and the panes
constexpr uint32_t kPrintColour = 0x02;  // screen colours; clear prints black
constexpr uint32_t kPrintReport = 0x04;
constexpr uint32_t kPrintPaths = 0x08;
constexpr uint32_t kPrintSamePage = 0x10;  // report and panes share one page

// The device side of a print job. startPage answers false when the page
// could not be started; printReport draws the report column at the left of
// area and moves area's left edge past it (it answers whether the report
// was cut); printPanes returns the result of its drawing.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual bool startPage() = 0;
    virtual void endPage() = 0;
    virtual bool printReport(ViewRect* area, bool compact) = 0;
    virtual int printPanes(const ViewRect& area) = 0;
};

struct PrintResult {
    int drawn;  // result of the last drawing step, 0 when nothing was printed
    bool cut;   // the report did not fit its page
};

// Runs the pages of one job on page (the printable area) for the option
// bits: the report on its own page, then the panes on theirs, or both on
// one page with the panes right of the report column.
PrintResult RunPrintPages(PrintJob* job, uint32_t status, const ViewRect& page);

// The report column for text of the measured size at the left of area,
// with a frame band of frame pixels (0 for none): the column spans the
// area's full height, the text sits 2 pixels inside the frame. area's left
// edge moves to the column's right edge.
struct ReportColumn {
    ViewRect column;  // outer rectangle, frame included
    ViewRect text;    // where the text is drawn and clipped
    bool cut;         // the text is wider or taller than area
};
ReportColumn LayoutReportColumn(ViewRect* area, int textWidth, int textHeight, int frame);

// The paper rectangles of the panes: the four slots of pattern within
// area, or only slot pane filling area (pane 0..3). Returns a bit set of
// the slots to print.
unsigned LayoutPrintedPanes(int pattern, int pane, const ViewRect& area, ViewRect out[kPaneCount]);

// One pane on paper: the same part of the model as screen shows, scaled
// up by the smaller of the width and height ratios and centred in paper.
// screenPane is not changed; its matrix is rebuilt on a copy. The title is
// drawn in titleColor; with frame a frame goes round paper. Returns the
// records drawn.
int32_t PaintPrintedPane(Canvas* canvas, const ViewPane& screenPane, const ViewRect& paper,
                         uint32_t displayMask, const DisplayFilter* filter, PanePaintInput input,
                         uint32_t titleColor, bool frame);
