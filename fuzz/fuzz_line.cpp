// One NC line through the address analysis, then every word read back.
#include "engine/block_text.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A line is handed over terminated; at most 127 bytes of it are used,
    // but the analysis must not read past the terminator of a longer one.
    std::string line(reinterpret_cast<const char*>(data), size);
    NcBlockText block;
    std::memset(&block, 0xA5, sizeof block);  // no field may keep stale bytes
    if (ncAddrAnalysis(&block, line.c_str()) != 1) std::abort();
    if (block.kind > KindBareNumbers || block.breakMark != 0) std::abort();
    if (std::memchr(block.text, '\0', sizeof block.text) == nullptr) std::abort();
    if (block.kind == KindWords || block.kind == KindBareNumbers) {
        for (const NcAddressWord& word : block.words) {
            if (word.letter != 0 && (word.letter < 'A' || word.letter > 'Z')) std::abort();
            float value = 0;
            if (word.letter != 0)
                ncAddrFind(&block, static_cast<char>(word.letter), 0.001f, &value);
        }
    }
    return 0;
}
