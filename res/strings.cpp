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

const char* tlvString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return "";
}
