// The command line, both as one text (Windows) and as an argument vector
// (POSIX): the input's NUL bytes separate the arguments.
#include "app/command_line.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void checkParsed(const CommandLine& c) {
    if (c.pane < -1 || c.pane > 3) std::abort();
    if (c.fileCount < 0 || c.fileCount > kCommandTokenMax) std::abort();
    if (std::memchr(c.toolFile, '\0', kCommandPathMax) == nullptr) std::abort();
    if (std::memchr(c.machineFile, '\0', kCommandPathMax) == nullptr) std::abort();
    for (int i = 0; i < c.fileCount; ++i) {
        if (std::memchr(c.files[i], '\0', kCommandPathMax) == nullptr) std::abort();
    }
    const BatchOutput output = BatchOutputOf(c);
    BatchExportType(output);
    const char* name = BatchOutputName(c);
    if (name != nullptr && c.fileCount < 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CommandLine parsed;
    ParseCommandLine(text.c_str(), &parsed);  // up to the first NUL
    checkParsed(parsed);

    std::vector<const char*> args;
    for (size_t at = 0; at <= text.size(); at = text.find('\0', at) + 1) {
        args.push_back(text.c_str() + at);
        if (text.find('\0', at) == std::string::npos) break;
    }
    ParseCommandArguments(static_cast<int>(args.size()), args.data(), &parsed);
    checkParsed(parsed);
    return 0;
}
