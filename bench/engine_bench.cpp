// The engine's hot paths on the generated program: address analysis per
// line, the interpreter per block, the block store's append, map and list
// get, and whole loads and translations. Each benchmark checks what it
// timed against counts taken from the program text or from a first run.
#include "bench_support.h"
#include "engine/block_store.h"
#include "engine/loader.h"
#include "engine/status.h"
#include "engine/translate.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr long kLines = 100000;

struct Program {
    NcGenerated counts;
    std::string text;
    std::vector<std::string> lines;
    Program() : text(ncGenerate(kLines, false, &counts)), lines(splitLines(text)) {}
};

const Program& program() {
    static const Program p;
    return p;
}

// Address words counted by a plain reading of the text: a capital letter
// followed by a digit, sign, point or '#', outside the one comment span
// (first "(" to last ")"). The generated program has no macro statements.
long countWords(const std::string& line) {
    std::string work = line.substr(0, kNcLineMax);
    size_t open = work.find('(');
    size_t close = work.rfind(')');
    if (open != std::string::npos && close != std::string::npos && close > open) {
        work.replace(open, close - open + 1, close - open + 1, ' ');
    }
    long words = 0;
    for (size_t i = 0; i + 1 < work.size(); ++i) {
        char c = work[i], n = work[i + 1];
        if (c >= 'A' && c <= 'Z' &&
            (isdigit(static_cast<unsigned char>(n)) || n == '-' || n == '+' || n == '.' ||
             n == '#')) {
            ++words;
        }
    }
    return words;
}

void BM_AddrAnalysis(benchmark::State& state) {
    const Program& p = program();
    long expected = 0;
    for (const std::string& line : p.lines) expected += countWords(line);
    NcBlockText block;
    for (auto _ : state) {
        long words = 0;
        for (const std::string& line : p.lines) {
            ncAddrAnalysis(&block, line.c_str());
            for (const NcAddressWord& w : block.words) words += w.letter != 0;
        }
        if (words != expected) state.SkipWithError("wrong number of address words");
        benchmark::DoNotOptimize(words);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(p.lines.size()));
}
BENCHMARK(BM_AddrAnalysis);

void BM_AddrFind(benchmark::State& state) {
    const Program& p = program();
    std::vector<NcBlockText> blocks(p.lines.size());
    long expected = 0;
    for (size_t i = 0; i < p.lines.size(); ++i) {
        ncAddrAnalysis(&blocks[i], p.lines[i].c_str());
        expected += p.lines[i].find('X') != std::string::npos;
    }
    for (auto _ : state) {
        long found = 0;
        float v = 0;
        for (const NcBlockText& b : blocks) found += ncAddrFind(&b, 'X', 0.001f, &v) >= 0;
        if (found != expected) state.SkipWithError("wrong number of X words");
        benchmark::DoNotOptimize(v);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}
BENCHMARK(BM_AddrFind);

// The main program's blocks, from its O line to M30, analysed.
std::vector<NcBlockText> mainBlocks(long* arcs, long* cycles) {
    const Program& p = program();
    std::vector<NcBlockText> blocks;
    bool inCycle = false;
    *arcs = *cycles = 0;
    for (size_t i = 1; i < p.lines.size(); ++i) {
        const std::string& line = p.lines[i];
        NcBlockText b;
        ncAddrAnalysis(&b, line.c_str());
        blocks.push_back(b);
        if (line.rfind("G02", 0) == 0 || line.rfind("G03", 0) == 0) ++*arcs;
        if (line.find("G81") != std::string::npos) inCycle = true;
        if (line == "G80") inCycle = false;
        if (inCycle) ++*cycles;
        if (line == "M30") break;
    }
    return blocks;
}

void BM_ModalUpdate(benchmark::State& state) {
    long arcs = 0, cycles = 0;
    const std::vector<NcBlockText> blocks = mainBlocks(&arcs, &cycles);
    const NcMachineConfig config = benchConfig();
    auto modal = std::make_unique<NcModalState>();
    NcBlockText block;
    MotionRecord record;
    for (auto _ : state) {
        ncModalReset(modal.get(), benchStartCodes());
        long kinds[5] = {};
        for (const NcBlockText& b : blocks) {
            block = b;  // an M06 may rewrite its block
            ncModalUpdate(&config, modal.get(), &block, &record);
            kinds[record.kind] += 1;
        }
        if (kinds[kMotionArc] != arcs || kinds[kMotionCycle] != cycles ||
            modal->position[2] != 100.0f) {
            state.SkipWithError("wrong records");
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}
BENCHMARK(BM_ModalUpdate);

struct Store {
    NcBlockStore* store = ncBlockCreate();
    ~Store() { ncBlockDestroy(store); }
};

std::vector<NcBlockText> analysedLines() {
    const Program& p = program();
    std::vector<NcBlockText> blocks(p.lines.size());
    for (size_t i = 0; i < p.lines.size(); ++i) {
        ncAddrAnalysis(&blocks[i], p.lines[i].c_str());
        blocks[i].lineIndex = static_cast<int32_t>(i);
    }
    return blocks;
}

void BM_BlockStoreAppend(benchmark::State& state) {
    const std::vector<NcBlockText> blocks = analysedLines();
    Store s;
    const auto n = static_cast<int32_t>(blocks.size());
    for (auto _ : state) {
        ncBlockClear(s.store);
        for (const NcBlockText& b : blocks) ncBlockAppend(s.store, nullptr, 1, &b);
        // Counting writes the buffered appends out, which belongs to the cost.
        if (ncBlockCount(s.store, 1) != n) state.SkipWithError("wrong block count");
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.SetBytesProcessed(state.iterations() * n * static_cast<int64_t>(sizeof(NcBlockText)));
}
BENCHMARK(BM_BlockStoreAppend);

void BM_BlockStoreMap(benchmark::State& state) {
    const std::vector<NcBlockText> blocks = analysedLines();
    Store s;
    for (const NcBlockText& b : blocks) ncBlockAppend(s.store, nullptr, 1, &b);
    const auto last = static_cast<int32_t>(blocks.size()) - 1;
    NcBlockText block;
    for (auto _ : state) {
        ncBlockMemoryMap(s.store);
        if (ncBlockListGet(s.store, last, &block) != 1 || block.lineIndex != last) {
            state.SkipWithError("wrong last block");
        }
    }
}
BENCHMARK(BM_BlockStoreMap);

void BM_BlockStoreListGet(benchmark::State& state) {
    const std::vector<NcBlockText> blocks = analysedLines();
    Store s;
    for (const NcBlockText& b : blocks) ncBlockAppend(s.store, nullptr, 1, &b);
    ncBlockMemoryMap(s.store);
    const auto n = static_cast<int32_t>(blocks.size());
    int64_t expected = int64_t{n} * (n - 1) / 2;
    NcBlockText block;
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t i = 0; i < n; ++i) {
            ncBlockListGet(s.store, i, &block);
            sum += block.lineIndex;
        }
        if (sum != expected) state.SkipWithError("wrong blocks");
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BlockStoreListGet);

// Loading a file: cutting lines, analysis, appends and the final mapping.
void BM_Loading(benchmark::State& state) {
    const Program& p = program();
    BenchFile file(p.text);
    if (!file.ok) state.SkipWithError("cannot write the program file");
    const NcMachineConfig config = benchConfig();
    Store s;
    for (auto _ : state) {
        ncBlockClear(s.store);
        int32_t main = -1;
        int32_t ok = ncBlockLoading(s.store, &config, file.path, &main, nullptr);
        // One header block besides the lines; the main program is O1000.
        if (ok != 1 || main != 1000 || ncBlockListCount(s.store) != p.counts.lines + 1) {
            state.SkipWithError("wrong load");
        }
    }
    state.SetItemsProcessed(state.iterations() * p.counts.lines);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(p.text.size()));
}
BENCHMARK(BM_Loading)->Unit(benchmark::kMillisecond);

// Translating the loaded program, subprogram calls included, with every
// record handed to a counting callback.
long gRecords = 0;
int countRecord(const NcProgressEvent* e) {
    if (ncEventPhase(e->event) == kNcPhaseStep) ++gRecords;
    return 1;
}

void BM_Translate(benchmark::State& state) {
    const Program& p = program();
    BenchFile file(p.text);
    const NcMachineConfig config = benchConfig();
    Store s;
    int32_t main = -1;
    if (!file.ok || ncBlockLoading(s.store, &config, file.path, &main, nullptr) != 1) {
        state.SkipWithError("cannot load the program");
    }
    auto modal = std::make_unique<NcModalState>();
    for (auto _ : state) {
        ncModalReset(modal.get(), benchStartCodes());
        modal->callStack[0].programNumber = main;
        gRecords = 0;
        ncStatus(NcStatusNone, nullptr);
        if (ncBlockTranslate(s.store, &config, modal.get(), countRecord) != 1 ||
            gRecords != p.counts.executed) {
            state.SkipWithError("wrong translation");
        }
    }
    state.SetItemsProcessed(state.iterations() * p.counts.executed);
}
BENCHMARK(BM_Translate)->Unit(benchmark::kMillisecond);

}  // namespace
