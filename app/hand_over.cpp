#include "app/hand_over.h"

#include <cstring>

bool DecodeHandOver(uint64_t tag, const void* data, size_t size, char name[kHandOverSize]) {
    std::memset(name, 0, kHandOverSize);
    if (tag != kHandOverTag || data == nullptr || size == 0) return false;
    const char* bytes = static_cast<const char*>(data);
    const size_t length = strnlen(bytes, size < kHandOverSize ? size : kHandOverSize);
    if (length == 0 || length >= kHandOverSize) return false;
    std::memcpy(name, bytes, length);
    return true;
}
