// The drawing data's hot paths: the path record store's append and read,
// and the DXF and CSV writers per record, on the records of the generated
// program. Each benchmark checks what it timed.
#include "bench_support.h"
#include "engine/block_store.h"
#include "engine/loader.h"
#include "engine/status.h"
#include "engine/translate.h"
#include "pathdata/export_writer.h"
#include "pathdata/path_store.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr long kLines = 100000;

std::vector<MotionRecord>* gCollect = nullptr;
int collect(const NcProgressEvent* e) {
    if (ncEventPhase(e->event) == kNcPhaseStep) gCollect->push_back(*e->motion);
    return 1;
}

// The records a translation of the generated program yields, in order.
struct Records {
    std::vector<MotionRecord> records;
    long executed = 0;
    Records() {
        NcGenerated counts;
        BenchFile file(ncGenerate(kLines, false, &counts));
        executed = counts.executed;
        NcMachineConfig config = benchConfig();
        NcBlockStore* store = ncBlockCreate();
        int32_t main = -1;
        auto modal = std::make_unique<NcModalState>();
        ncModalReset(modal.get(), benchStartCodes());
        gCollect = &records;
        if (ncBlockLoading(store, &config, file.path, &main, nullptr) == 1) {
            modal->callStack[0].programNumber = main;
            ncBlockTranslate(store, &config, modal.get(), collect);
        }
        ncBlockDestroy(store);
    }
};

const Records& records() {
    static const Records r;
    return r;
}

// A checksum over the bytes of every record, so that a read that copies
// the wrong bytes is caught.
uint64_t checksum(const MotionRecord& r, uint64_t sum) {
    unsigned char bytes[sizeof(MotionRecord)];
    memcpy(bytes, &r, sizeof bytes);
    for (unsigned char b : bytes) sum = sum * 31 + b;
    return sum;
}

void BM_PathStoreAppend(benchmark::State& state) {
    const Records& r = records();
    if (static_cast<long>(r.records.size()) != r.executed) state.SkipWithError("no records");
    PathRecordStore* store = pathStoreCreate();
    const auto n = static_cast<int>(r.records.size());
    for (auto _ : state) {
        pathStoreClear(store);
        for (const MotionRecord& m : r.records) pathStoreAppend(store, &m);
        // Mapping writes the last buffered records out: part of the cost.
        if (pathStoreMap(store) != 1 || pathStoreCount(store) != n) {
            state.SkipWithError("wrong record count");
        }
    }
    pathStoreDestroy(store);
    state.SetItemsProcessed(state.iterations() * n);
    state.SetBytesProcessed(state.iterations() * n * static_cast<int64_t>(sizeof(MotionRecord)));
}
BENCHMARK(BM_PathStoreAppend);

void BM_PathStoreRead(benchmark::State& state) {
    const Records& r = records();
    PathRecordStore* store = pathStoreCreate();
    uint64_t expected = 0;
    for (const MotionRecord& m : r.records) {
        pathStoreAppend(store, &m);
        expected = checksum(m, expected);
    }
    pathStoreMap(store);
    const auto n = static_cast<int>(r.records.size());
    MotionRecord m;
    for (auto _ : state) {
        uint64_t sum = 0;
        for (int i = 0; i < n; ++i) {
            pathStoreRead(store, i, &m);
            sum = checksum(m, sum);
        }
        if (sum != expected) state.SkipWithError("wrong records read");
    }
    pathStoreDestroy(store);
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PathStoreRead);

// Writes every record to a file through one writer. The first run's
// output is the reference: every later run must give the same bytes'
// count, and the file must hold at least one line per drawn record.
template <class Write>
void exportRecords(benchmark::State& state, Write write) {
    const Records& r = records();
    BenchFile out;
    long drawn = 0;
    for (const MotionRecord& m : r.records) drawn += m.kind >= kMotionLine;
    auto sink = std::make_unique<TextSink>();
    uint64_t reference = 0;
    for (auto _ : state) {
        bool ok = sinkOpen(sink.get(), out.path) && write(sink.get(), kPhaseHeader, nullptr);
        for (const MotionRecord& m : r.records) ok = ok && write(sink.get(), kPhaseRecord, &m);
        ok = ok && write(sink.get(), kPhaseTrailer, nullptr);
        ok = sinkClose(sink.get()) && ok;
        uint64_t size = out.size();
        if (reference == 0) reference = size;
        if (!ok || size != reference || size < static_cast<uint64_t>(drawn) * 20) {
            state.SkipWithError("wrong export");
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(r.records.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(reference));
}

void BM_WriteDxf(benchmark::State& state) {
    DxfStyle style = {
        {-10, -10, -10}, {250, 200, 110}, {0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF}, 0xF};
    exportRecords(state, [&](TextSink* sink, int phase, const MotionRecord* m) {
        return WriteDxf(sink, phase, m, &style) == 1;
    });
}
BENCHMARK(BM_WriteDxf)->Unit(benchmark::kMillisecond);

void BM_WriteCsv(benchmark::State& state) {
    exportRecords(state, [](TextSink* sink, int phase, const MotionRecord* m) {
        return WriteCsv(sink, phase, m) == 1;
    });
}
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond);

}  // namespace
