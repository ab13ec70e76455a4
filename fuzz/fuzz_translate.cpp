// Loading and translation under a fuzzed machine: the input is a profile
// text read as both the machine file and the tool file, a NUL, and the NC
// program. Translation stops after a fixed number of executed blocks, so
// that nested repeats cannot hold one input for long. The first records go
// through the CSV and DXF writers and the final state through the report,
// where the numbers the program wrote become text.
#include "definitions/machine_definition.h"
#include "definitions/tool_table.h"
#include "engine/loader.h"
#include "engine/status.h"
#include "engine/translate.h"
#include "fuzz/fuzz_support.h"
#include "pathdata/export_writer.h"
#include "pathdata/report.h"
#include "pathdata/text_sink.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kRecordLimit = 200000;
constexpr uint32_t kWrittenRecords = 2000;
uint32_t executedBlocks = 0;
TextSink sink;
std::vector<char> text;
const DxfStyle kStyle = {{-10, -10, -10}, {10, 10, 10}, {0xFF, 0xFF00, 0xFF0000, 0xFFFF}, 0xF0};

void writeRecord(const MotionRecord* record) {
    text.clear();
    if (WriteCsv(&sink, kPhaseRecord, record) != 1) std::abort();
    if (WriteDxf(&sink, kPhaseRecord, record, &kStyle) != 1) std::abort();
    if (!sinkFlush(&sink)) std::abort();
}

int countSteps(const NcProgressEvent* event) {
    if (ncEventStage(event->event) != kNcStageTranslation) return 1;
    if (ncEventPhase(event->event) != kNcPhaseStep) return 1;
    if (event->block == nullptr || event->motion == nullptr) std::abort();
    if (executedBlocks < kWrittenRecords) writeRecord(event->motion);
    return ++executedBlocks < kRecordLimit ? 1 : 0;
}

void writeReport(const NcModalState& state, float timeTC) {
    ReportInputs in = {};
    in.loaded = true;
    in.programNumber = 1;
    strcpy(in.sourcePath, "/fuzz/program.nc");
    in.state = &state;
    in.timeTC = timeTC;
    const size_t size = BuildReportText(in, false, nullptr, 0, "\r\n");
    std::vector<char> report(size);
    if (BuildReportText(in, false, report.data(), report.size(), "\r\n") != size) std::abort();
    if (strlen(report.data()) >= size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NcBlockStore* store = ncBlockCreate();
    if (store == nullptr) std::abort();
    const auto [definition, program] = fuzzSplitAtNul({reinterpret_cast<const char*>(data), size});

    const char* definitionPath = fuzzScratchFile(
        "definition", reinterpret_cast<const uint8_t*>(definition.data()), definition.size());
    MachineDefinition machine;
    ToolTable tools;
    ReadMachineFile(definitionPath, &machine);
    ReadToolFile(definitionPath, &tools);
    NcMachineConfig config;
    NcModalState state;
    BuildMachineConfig(machine, tools, &config, &state);

    const char* programPath = fuzzScratchFile(
        "program", reinterpret_cast<const uint8_t*>(program.data()), program.size());
    ncBlockClear(store);
    ncStatus(NcStatusNone, nullptr);
    int32_t mainProgram = -1;
    if (ncBlockLoading(store, &config, programPath, &mainProgram, nullptr) != 1) return 0;
    if (mainProgram == -1) mainProgram = ncBlockNext(store, -1);
    state.callLevel = 0;
    state.callStack[0].programNumber = mainProgram;
    executedBlocks = 0;
    sinkOpenMemory(&sink, &text);
    ncStatus(NcStatusNone, nullptr);
    ncBlockTranslate(store, &config, &state, countSteps);
    writeReport(state, machine.timeTC);
    return 0;
}
