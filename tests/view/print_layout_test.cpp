#include "view/print_layout.h"

#include "tests/motion_records.h"
#include "tests/view/recording_canvas.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Records the page calls; the report takes a 100-pixel column and is cut
// when told so.
struct FakeJob : PrintJob {
    bool startPage() override {
        calls += "[";
        return pagesWork;
    }
    void endPage() override { calls += "]"; }
    bool printReport(ViewRect* area, bool compact) override {
        calls += compact ? "r" : "R";
        area->left += 100;
        return reportCut;
    }
    int printPanes(const ViewRect& area) override {
        calls += "P";
        panesArea = area;
        return 7;
    }
    std::string calls;
    ViewRect panesArea = {};
    bool pagesWork = true, reportCut = false;
};

TEST(PrintLayout, PagesFollowTheOptionBits) {
    const struct {
        uint32_t status;
        bool pagesWork;
        const char* calls;
        int panesLeft, drawn;
    } cases[] = {
        {kPrintReport | kPrintPaths, true, "[R][P]", 0, 7},                   // two pages
        {kPrintReport | kPrintPaths | kPrintSamePage, true, "[rP]", 100, 7},  // one, panes beside
        {kPrintPaths | kPrintSamePage, true, "[P]", 0, 7},
        {kPrintReport | kPrintSamePage, true, "[R]", 0, 1},
        {kPrintFrame, true, "", 0, 0},                    // nothing asked, no page
        {kPrintReport | kPrintPaths, false, "[[", 0, 0},  // failed pages are skipped
    };
    for (const auto& c : cases) {
        FakeJob job;
        job.pagesWork = c.pagesWork;
        const PrintResult r = RunPrintPages(&job, c.status, {0, 0, 1000, 800});
        EXPECT_EQ(job.calls, c.calls) << c.status;
        EXPECT_EQ(r.drawn, c.drawn) << c.status;
        if (job.calls.find('P') != std::string::npos) {
            EXPECT_EQ(job.panesArea.left, c.panesLeft) << c.status;
        }
    }
}

TEST(PrintLayout, ReportColumnTakesFullHeightAndFlagsACut) {
    ViewRect area = {10, 20, 1010, 820};
    ReportColumn c = LayoutReportColumn(&area, 300, 500, 6);
    EXPECT_FALSE(c.cut);
    EXPECT_EQ(c.column.left, 10);
    EXPECT_EQ(c.column.bottom, 820);
    EXPECT_TRUE(c.text.left > 10 && c.text.top > 20 && c.text.left + 300 < c.column.right);
    EXPECT_EQ(area.left, c.column.right);  // the panes get the rest
    // Too tall for the page: cut, and the column still ends at the page.
    ViewRect small = {0, 0, 400, 300};
    c = LayoutReportColumn(&small, 200, 900, 0);
    EXPECT_TRUE(c.cut);
    EXPECT_EQ(c.column.bottom, 300);
}

TEST(PrintLayout, PanesInPatternGeometryOrAlone) {
    ViewRect out[kPaneCount] = {};
    EXPECT_EQ(LayoutPrintedPanes(0, -1, {0, 0, 1000, 800}, out), 0xFu);
    EXPECT_EQ(out[3].left, 500);
    EXPECT_EQ(out[3].top, 400);
    EXPECT_EQ(LayoutPrintedPanes(1, -1, {0, 0, 900, 600}, out), 0xFu);
    EXPECT_EQ(out[3].left, 300);  // the large pane of pattern 2
    EXPECT_EQ(out[3].bottom, 600);
    ViewRect single[kPaneCount] = {};
    EXPECT_EQ(LayoutPrintedPanes(0, 2, {5, 6, 700, 500}, single), 0x4u);
    EXPECT_EQ(single[2].right, 700);
}

TEST(PrintLayout, PaneScaledToPaperCentredClippedAndFramed) {
    // One move of 10 units along X in a 100 x 100 screen pane at scale 1.
    PathRecordStore* store = pathStoreCreate();
    const MotionRecord r = lineRecord(1, 0, kAxisX, {0, 0, 0}, {10, 0, 0});
    pathStoreAppend(store, &r);
    RecordingCanvas canvas;
    TestPane screen(&canvas, kViewXY, {0, 0, 100, 100});
    const RangeBox range = kDefaultRangeBox;
    const uint32_t black[3] = {0, 0, 0};
    PanePaintInput input = {};
    input.kind = kViewXY;
    input.range = &range;
    input.paths = store;
    input.recordCount = 1;
    input.axisColors = black;
    const ViewRect paper = {1000, 0, 1400, 200};  // ratios 4 and 2: scale 2
    EXPECT_EQ(PaintPrintedPane(&canvas, screen.pane, paper,
                               kDefaultDisplayMask & ~(kShowAxes | kShowWorkPlane), nullptr, input,
                               0, true),
              1);
    ASSERT_EQ(canvas.segments.size(), 1u);
    const RecordedSegment& s = canvas.segments[0];
    EXPECT_EQ(s.x1 - s.x0, 20);
    EXPECT_EQ(s.x0, 1200);  // the model origin stays at the centre
    ASSERT_EQ(canvas.clips.size(), 2u);
    EXPECT_EQ(canvas.clips[0].left, 1000);
    EXPECT_EQ(canvas.clips[1].right, 0);  // lifted after the pane
    ASSERT_EQ(canvas.frames.size(), 1u);
    EXPECT_EQ(canvas.frames[0].bottom, 200);
    EXPECT_EQ(canvas.texts.size(), 1u);            // the title, no axes
    EXPECT_FLOAT_EQ(screen.pane.matrix[0], 1.0f);  // the screen pane is untouched
    pathStoreDestroy(store);
}

}  // namespace
