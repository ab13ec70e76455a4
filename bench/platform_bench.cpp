// Cost of scanning a mapped input file line by line, the loader's access
// pattern.
#include "platform/platform.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

constexpr int kLines = 100000;

struct MappedFile {
    char path[kPlatPathMax] = {};
    MappedFile() {
        platTempFile("tlv", path, sizeof path);
        PlatFile* f =
            platFileOpen(path, PlatAccess::ReadWrite, PlatShare::Read, PlatCreate::OpenExisting);
        std::string text;
        for (int i = 0; i < kLines; ++i) text += "N10 G01 X12.5 Y-3.25 F300\r\n";
        size_t done = 0;
        platFileWrite(f, text.data(), text.size(), &done);
        platFileClose(f);
    }
    ~MappedFile() { platFileDelete(path); }
};

void BM_MappedLineScan(benchmark::State& state) {
    MappedFile input;
    for (auto _ : state) {
        PlatFile* f =
            platFileOpen(input.path, PlatAccess::Read, PlatShare::Read, PlatCreate::OpenExisting);
        const void* view = nullptr;
        size_t size = 0;
        PlatMapping* m = platMapRead(f, &view, &size);
        const char* p = static_cast<const char*>(view);
        int lines = 0;
        for (const char* end = p + size; p < end; ++p) lines += (*p == '\n');
        platUnmap(m);
        platFileClose(f);
        if (lines != kLines) state.SkipWithError("wrong line count");
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_MappedLineScan);

}  // namespace
