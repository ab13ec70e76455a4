#include "res/strings.h"

namespace {

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
#define TLV_STRING(id, text) {id, text},
#include "res/strings.inc"
#undef TLV_STRING
};

}  // namespace

std::string tlvEscapeControls(const char* text) {
    std::string out;
    for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        if (*p >= 0x20 && *p != 0x7F) {
            out += static_cast<char>(*p);
            continue;
        }
        static const char kHex[] = "0123456789ABCDEF";
        out += {'\\', 'x', kHex[*p >> 4], kHex[*p & 15]};
    }
    return out;
}

const char* tlvString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return "";
}
