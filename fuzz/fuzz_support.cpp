#include "fuzz/fuzz_support.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

// The scratch files, by name, removed when the process ends normally.
struct ScratchFiles {
    std::map<std::string, std::string> paths;
    ~ScratchFiles() {
        for (const auto& entry : paths) std::remove(entry.second.c_str());
    }
};

ScratchFiles& scratchFiles() {
    static ScratchFiles files;
    return files;
}

const std::string& scratchPath(const char* name) {
    std::string& path = scratchFiles().paths[name];
    if (path.empty()) {
        char made[kPlatPathMax] = {};
        if (!platTempFile("fzz", made, sizeof made)) std::abort();
        path = made;
    }
    return path;
}

}  // namespace

const char* fuzzScratchFile(const char* name, const uint8_t* data, size_t size) {
    const std::string& path = scratchPath(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) std::abort();
    return path.c_str();
}

std::pair<std::string_view, std::string_view> fuzzSplitAtNul(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul == std::string_view::npos) return {std::string_view(), text};
    return {text.substr(0, nul), text.substr(nul + 1)};
}
