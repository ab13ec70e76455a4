// A pane's picture painted without GDI: the records of the generated
// program (1,000,000 lines unless TLV_BENCH_LINES says otherwise) seen
// whole in a pane of 540 x 340 pixels, through the thin-line canvas on one
// thread and in pieces on one and two; and the same walk over the records
// with a canvas that draws nothing.
#include "bench_support.h"
#include "engine/block_store.h"
#include "engine/loader.h"
#include "engine/translate.h"
#include "pathdata/path_store.h"
#include "view/pane_paint.h"
#include "view/piece_paint.h"
#include "view/raster_canvas.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 540, kHeight = 340;

PathRecordStore* gStore = nullptr;
float gMin[3] = {1e30f, 1e30f, 1e30f}, gMax[3] = {-1e30f, -1e30f, -1e30f};

int collect(const NcProgressEvent* e) {
    if (ncEventPhase(e->event) != kNcPhaseStep) return 1;
    const MotionRecord& r = *e->motion;
    if (r.kind == kMotionLine) {
        for (int k = 0; k < 3; ++k) {
            for (float v : {r.line.start[k], r.line.end[k]}) {
                gMin[k] = v < gMin[k] ? v : gMin[k];
                gMax[k] = v > gMax[k] ? v : gMax[k];
            }
        }
    }
    pathStoreAppend(gStore, e->motion);
    return 1;
}

struct Scene {
    ViewState state = {};
    Scene() {
        const char* lines = getenv("TLV_BENCH_LINES");
        NcGenerated counts;
        BenchFile file(ncGenerate(lines != nullptr ? atol(lines) : 1000000, false, &counts));
        NcMachineConfig config = benchConfig();
        NcBlockStore* blocks = ncBlockCreate();
        int32_t main = -1;
        auto modal = std::make_unique<NcModalState>();
        ncModalReset(modal.get(), benchStartCodes());
        gStore = pathStoreCreate();
        if (ncBlockLoading(blocks, &config, file.path, &main, nullptr) == 1) {
            modal->callStack[0].programNumber = main;
            ncBlockTranslate(blocks, &config, modal.get(), collect);
        }
        ncBlockDestroy(blocks);
        pathStoreMap(gStore);
        for (int k = 0; k < 3; ++k) {
            state.range.min[k] = gMin[k];
            state.range.max[k] = gMax[k];
        }
        for (int i = 0; i < kPaneCount; ++i) {
            float angles[3];
            ViewDefaultAngles(i, angles);
            InitPane(&state.panes[i], i, angles);
            state.panes[i].clientRect = {0, 0, kWidth, kHeight};
        }
        FitView(&state, -1);
        for (ViewPane& p : state.panes) BuildViewMatrix(&p, p.clientRect, p.scale);
    }
};

const Scene& scene() {
    static const Scene s;
    return s;
}

class NullCanvas : public Canvas {
public:
    long lines = 0;
    void selectPen(int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override { ++lines; }
    void beginPath() override {}
    void strokePath() override {}
    void abandonPath() override {}
    void fillEllipse(int, int, int, int, int) override {}
    void text(int, int, const char*, uint32_t) override {}
    void setXor(bool) override {}
};

int32_t paint(Canvas* canvas, int pane) {
    const Scene& s = scene();
    const ViewPane& p = s.state.panes[pane];
    const RenderTarget target = {canvas, p.clientRect, p.matrix, 0xF0, nullptr};
    PanePaintInput input = {};
    input.kind = pane;
    input.scale = p.scale;
    input.range = &s.state.range;
    input.paths = gStore;
    input.recordCount = pathStoreCount(gStore);
    return PaintPaneContent(target, input);
}

RasterPen gPens[10] = {{kRasterPenDotted, 0xFF0000},
                       {kRasterPenThin, 0x00FF00},
                       {kRasterPenThin, 0x0000FF},
                       {kRasterPenThin, 0xFFFF00}};

void BM_PaneRaster(benchmark::State& state) {
    std::vector<uint32_t> bits(static_cast<size_t>(kWidth) * kHeight);
    long lit = 0;
    for (auto _ : state) {
        std::fill(bits.begin(), bits.end(), 0u);
        RasterCanvas canvas({bits.data(), kWidth, kHeight, true}, gPens);
        if (paint(&canvas, 3) != pathStoreCount(gStore) || !canvas.exact())
            state.SkipWithError("paint cut short");
        lit = std::count_if(bits.begin(), bits.end(), [](uint32_t v) { return v != 0; });
    }
    if (lit == 0) state.SkipWithError("nothing drawn");
    state.counters["records"] = pathStoreCount(gStore);
    state.counters["lit"] = static_cast<double>(lit);
}
BENCHMARK(BM_PaneRaster)->Unit(benchmark::kMillisecond);

// The same picture in pieces on Range(0) threads; it must equal the
// picture of one paint.
void BM_PanePieces(benchmark::State& state) {
    const Scene& s = scene();
    std::vector<uint32_t> one(static_cast<size_t>(kWidth) * kHeight, 0u), bits(one.size());
    RasterCanvas single({one.data(), kWidth, kHeight, true}, gPens);
    paint(&single, 3);
    PiecePaint p = {};
    p.picture = {bits.data(), kWidth, kHeight, true};
    for (int i = 0; i < 10; ++i) p.pens[i] = gPens[i];
    const ViewPane& pane = s.state.panes[3];
    p.target = {nullptr, pane.clientRect, pane.matrix, 0xF0, nullptr};
    p.input.kind = 3;
    p.input.scale = pane.scale;
    p.input.range = &s.state.range;
    p.input.paths = gStore;
    p.input.recordCount = pathStoreCount(gStore);
    p.threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::fill(bits.begin(), bits.end(), 0u);
        int32_t drawn = 0;
        if (PaintRecordPieces(p, &drawn) != kPiecesDone) state.SkipWithError("paint not done");
    }
    if (bits != one) state.SkipWithError("pieces differ from one paint");
}
BENCHMARK(BM_PanePieces)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PaneWalk(benchmark::State& state) {
    long lines = 0;
    for (auto _ : state) {
        NullCanvas canvas;
        paint(&canvas, 3);
        lines = canvas.lines;
    }
    if (lines == 0) state.SkipWithError("no lines");
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_PaneWalk)->Unit(benchmark::kMillisecond);

}  // namespace
