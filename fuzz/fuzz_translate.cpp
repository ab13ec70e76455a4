// Loading and translation under a fuzzed machine: the input is a profile
// text read as both the machine file and the tool file, a NUL, and the NC
// program. Translation stops after a fixed number of executed blocks, so
// that nested repeats cannot hold one input for long.
#include "definitions/machine_definition.h"
#include "definitions/tool_table.h"
#include "engine/loader.h"
#include "engine/status.h"
#include "engine/translate.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>

namespace {

constexpr uint32_t kRecordLimit = 200000;
uint32_t executedBlocks = 0;

int countSteps(const NcProgressEvent* event) {
    if (ncEventStage(event->event) != kNcStageTranslation) return 1;
    if (ncEventPhase(event->event) != kNcPhaseStep) return 1;
    if (event->block == nullptr || event->motion == nullptr) std::abort();
    return ++executedBlocks < kRecordLimit ? 1 : 0;
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
    ncStatus(NcStatusNone, nullptr);
    ncBlockTranslate(store, &config, &state, countSteps);
    return 0;
}
