// What the benchmark programs share: the generated program as lines and as
// a temporary file, and a machine like the one the tests use.
#pragma once

#include "engine/block_text.h"
#include "engine/machine_config.h"
#include "engine/modal_state.h"
#include "ncgen.h"
#include "platform/platform.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Lines of the generated program, terminators removed.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.emplace_back(text, start, end - start);
        start = end + 2;
    }
    return lines;
}

// A temporary file holding bytes, deleted with the object.
struct BenchFile {
    char path[kPlatPathMax] = {};
    bool ok = false;
    explicit BenchFile(const std::string& bytes) {
        if (!platTempFile("tlb", path, sizeof path)) return;
        PlatFile* f =
            platFileOpen(path, PlatAccess::ReadWrite, PlatShare::Read, PlatCreate::CreateAlways);
        size_t done = 0;
        ok = f != nullptr && platFileWrite(f, bytes.data(), bytes.size(), &done) &&
             done == bytes.size();
        platFileClose(f);
    }
    BenchFile() { ok = platTempFile("tlb", path, sizeof path); }
    ~BenchFile() {
        if (path[0] != '\0') platFileDelete(path);
    }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;
    uint64_t size() const {
        PlatFileFacts facts;
        return platFindFile(path, &facts) ? facts.size : 0;
    }
};

// G00, G17, G40, G49, G67, G80, G90, G98: the codes a machine starts with.
inline const uint32_t* benchStartCodes() {
    static uint32_t codes[4] = {};
    for (int g : {0, 17, 40, 49, 67, 80, 90, 98}) codes[g >> 5] |= 1u << (g & 31);
    return codes;
}

// Scale 1, integers in microns, rapids at 6000 mm/min, tool T of radius T/2.
inline NcMachineConfig benchConfig() {
    NcMachineConfig config;
    memset(&config, 0, sizeof config);
    for (int k = 0; k < 3; ++k) config.scaleXYZ[k] = config.scaleIJK[k] = 1.0f;
    config.itoF = 0.001f;
    config.feedG00 = 6000.0f;
    for (int t = 0; t < kNcToolCount; ++t) config.toolRadius[t] = 0.5f * static_cast<float>(t);
    return config;
}
