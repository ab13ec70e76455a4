#include "view/pane_paint.h"

#include "pathdata/motion_style.h"
#include "tests/motion_records.h"
#include "tests/view/recording_canvas.h"
#include "view/piece_paint.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A store of n unit moves along X, one per record.
struct Moves {
    explicit Moves(int n, bool map) {
        store = pathStoreCreate();
        for (int i = 0; i < n; ++i) {
            const float x = static_cast<float>(i % 100);
            const MotionRecord r = lineRecord(1, 0, kAxisX, {x, 0, 0}, {x + 1, 0, 0});
            pathStoreAppend(store, &r);
        }
        if (map) pathStoreMap(store);
    }
    ~Moves() { pathStoreDestroy(store); }
    PathRecordStore* store;
};

// An XY pane of 400 x 400 pixels and the input of its paint.
struct Paint {
    Paint() {
        input.kind = kViewXY;
        input.scale = 1.0f;
        input.range = &range;
        input.axisColors = colors;
    }
    RecordingCanvas canvas;
    TestPane view{&canvas, kViewXY, {0, 0, 400, 400}};
    RenderTarget& target = view.target;
    RangeBox range = kDefaultRangeBox;
    uint32_t colors[3] = {1, 2, 3};
    PanePaintInput input = {};
};

TEST(PanePaint, DrawsPlaneRecordsAndAxesInOrder) {
    for (bool mapped : {false, true}) {
        Moves moves(10, mapped);
        Paint p;
        p.input.paths = moves.store;
        p.input.recordCount = 10;
        EXPECT_EQ(PaintPaneContent(p.target, p.input), 10);
        // 26 grid lines and 12 box edges first, then the moves, then 3 axes.
        ASSERT_EQ(p.canvas.segments.size(), 38u + 10u + 3u);
        EXPECT_EQ(p.canvas.segments[37].pen, kPenWorkPlane);
        EXPECT_EQ(p.canvas.segments[38].pen, kPenCutting);
        EXPECT_EQ(p.canvas.segments[48].pen, kPenAxisX);
        EXPECT_EQ(p.canvas.texts.size(), 3u);
    }
}

// The mask leaves out plane and axes, a trace shows only the records it has
// reached, and a stop is asked for every 5001 records.
TEST(PanePaint, MaskTraceCountAndStopLimitWhatIsDrawn) {
    Moves moves(12000, true);
    struct Polls {
        int count = 0;
        int stopAt = 0;
    } polls;
    for (int stopAt : {0, 2}) {
        Paint p;
        p.target.displayMask = kShowCutting;
        p.input.paths = moves.store;
        p.input.recordCount = 11000;
        polls = {0, stopAt};
        p.input.context = &polls;
        p.input.stopRequested = [](void* c) {
            auto* q = static_cast<Polls*>(c);
            return ++q->count == q->stopAt;
        };
        const int drawn = stopAt == 0 ? 11000 : 5001;
        EXPECT_EQ(PaintPaneContent(p.target, p.input), drawn);
        EXPECT_EQ(polls.count, stopAt == 0 ? 3 : 2);
        EXPECT_EQ(p.canvas.segments.size(), static_cast<size_t>(drawn));
        EXPECT_TRUE(p.canvas.texts.empty());
    }
}

// Enough crossing moves of every style that the threads' pieces overlap
// everywhere: only records laid in their order give one paint's pixels.
TEST(PanePaint, PiecesOnThreadsGiveThePixelsOfOnePaint) {
    PathRecordStore* store = pathStoreCreate();
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        return static_cast<float>((seed = seed * 1103515245u + 12345u) >> 16 & 0x7FFF) * range /
               32768.0f;
    };
    for (int i = 0; i < 60000; ++i) {
        MotionRecord r = {};
        r.kind = kMotionLine;
        r.gCode = i % 3 == 0 ? 0 : 1;
        r.modeFlags = i % 7 == 0 ? kModeG41 : 0;
        r.line.axisMask = i % 5 == 0 ? kAxisZ : kAxisX | kAxisY;
        for (int k = 0; k < 3; ++k) {
            r.line.start[k] = next(60) - 5;
            r.line.end[k] = next(60) - 5;
        }
        pathStoreAppend(store, &r);
    }
    pathStoreMap(store);
    Paint p;
    TestPane view{nullptr, kViewXYZ, {0, 0, 230, 170}, 3.0f};
    p.input.paths = store;
    p.input.recordCount = 60000;
    PiecePaint paint = {};
    paint.pens[kPenRapid] = {kRasterPenDotted, 0x0000FF};
    for (int pen : {kPenCutting, kPenCuttingZ, kPenCompensation, kPenWorkPlane})
        paint.pens[pen] = {kRasterPenThin, 0x101010u * pen};
    std::vector<uint32_t> one(230 * 170), pieces(one.size());
    RasterCanvas canvas({one.data(), 230, 170, true}, paint.pens);
    view.target.canvas = &canvas;
    EXPECT_EQ(PaintPaneRecords(view.target, p.input, 0, 60000), 60000);
    paint.picture = {pieces.data(), 230, 170, true};
    paint.target = view.target;
    paint.input = p.input;
    paint.threads = 3;
    int32_t drawn = 0;
    EXPECT_EQ(PaintRecordPieces(paint, &drawn), kPiecesDone);
    EXPECT_EQ(drawn, 60000);
    EXPECT_TRUE(pieces == one);
    EXPECT_GT(std::count(one.begin(), one.end(), 0x0000FFu), 1000);  // the dotted pen shows through
    // A stop keeps what was drawn through; a pen only GDI draws gives way.
    paint.input.stopRequested = [](void*) { return true; };
    EXPECT_EQ(PaintRecordPieces(paint, &drawn), kPiecesStopped);
    EXPECT_LT(drawn, 60000);
    paint.input.stopRequested = nullptr;
    paint.pens[kPenCutting].kind = kRasterPenOther;
    EXPECT_EQ(PaintRecordPieces(paint, &drawn), kPiecesInexact);
    pathStoreDestroy(store);
}

}  // namespace
