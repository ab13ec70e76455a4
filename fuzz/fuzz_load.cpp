// A whole NC file through the loader into a block store, then every stored
// block read back by list index and by program.
#include "definitions/machine_definition.h"
#include "definitions/tool_table.h"
#include "engine/loader.h"
#include "engine/status.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>

namespace {

struct Loader {
    NcBlockStore* store = ncBlockCreate();
    NcMachineConfig config = {};
    Loader() {
        if (store == nullptr) std::abort();
        MachineDefinition machine;
        SetMachineDefaults(&machine);
        ToolTable tools = {};
        BuildMachineConfig(machine, tools, &config);
    }
    ~Loader() { ncBlockDestroy(store); }
};

void readBack(NcBlockStore* store) {
    const int32_t blocks = ncBlockListCount(store);
    NcBlockText block;
    for (int32_t i = 0; i < blocks; ++i) {
        int32_t program = -1, index = -1;
        if (ncBlockListGet(store, i, &block) != 1) std::abort();
        if (ncBlockListToProgram(store, i, &program, &index) != 1) std::abort();
        if (ncBlockProgramToList(store, program, index) != i) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Loader loader;
    const char* path = fuzzScratchFile("load", data, size);
    ncBlockClear(loader.store);
    ncStatus(NcStatusNone, nullptr);
    int32_t mainProgram = -1;
    if (ncBlockLoading(loader.store, &loader.config, path, &mainProgram, nullptr) == 1) {
        readBack(loader.store);
    }
    return 0;
}
