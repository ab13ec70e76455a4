// The hand-over message: the first eight bytes are the tag, the rest the
// data as the sender passed it.
#include "app/hand_over.h"
#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint64_t tag = kHandOverTag;
    if (size >= sizeof tag) {
        std::memcpy(&tag, data, sizeof tag);
        data += sizeof tag;
        size -= sizeof tag;
    }
    // A copy of exactly the given size, so that a read past it is seen.
    std::vector<uint8_t> payload(data, data + size);
    char name[kHandOverSize];
    const bool taken = DecodeHandOver(tag, size == 0 ? nullptr : payload.data(), size, name);
    const size_t length = strnlen(name, kHandOverSize);
    if (length == kHandOverSize) std::abort();  // never unterminated
    if (taken != (length > 0)) std::abort();    // a name exactly when taken
    if (taken && std::memcmp(name, payload.data(), length) != 0) std::abort();
    return 0;
}
