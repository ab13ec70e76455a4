// A profile file read through the real readers: as a machine file, a tool
// file and a settings file. What a reader accepted must survive its own
// writer: writing it and reading that back gives the same record.
#include "definitions/settings.h"
#include "definitions/machine_definition.h"
#include "definitions/tool_table.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>

namespace {

// Read, write, read again and write again: the two written files must be
// equal. The first write may round numbers to the file's six decimals, so
// the records are compared only after one trip.
template <typename Record, typename Read, typename Write>
void checkRoundTrip(const char* path, Read read, Write write) {
    static Record first, second;
    read(path, &first);
    const char* copy = fuzzScratchFile("copy", nullptr, 0);
    if (write(copy, first) != 1) std::abort();
    read(copy, &first);
    const char* again = fuzzScratchFile("again", nullptr, 0);
    if (write(again, first) != 1) std::abort();
    read(again, &second);
    if (std::memcmp(&first, &second, sizeof first) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = fuzzScratchFile("profile", data, size);
    checkRoundTrip<MachineDefinition>(
        path, [](const char* p, MachineDefinition* m) { return ReadMachineFile(p, m); },
        WriteMachineFile);
    checkRoundTrip<ToolTable>(
        path, [](const char* p, ToolTable* t) { return ReadToolFile(p, t); }, WriteToolFile);
    checkRoundTrip<AppSettings>(
        path, [](const char* p, AppSettings* s) { return LoadSettings(s, p); },
        [](const char* p, const AppSettings& s) { return SaveSettings(s, p); });
    return 0;
}
