#include "engine/status.h"

#include <cstring>

#include "res/strings.h"

namespace {

NcLastStatus lastStatus;

// Every copy into or out of the detail text stops one byte short of its
// size, so it always ends with a terminator.
void copyDetail(char* out, const char* text) {
    size_t n = strnlen(text, kNcStatusTextSize - 1);
    memcpy(out, text, n);
    out[n] = '\0';
}

uint32_t exchange(uint32_t code, const char* text, char* out) {
    if (code == kNcStatusRead) {
        if (out != nullptr) copyDetail(out, lastStatus.detail);
        return lastStatus.code;
    }
    lastStatus.code = code;
    if (text != nullptr) copyDetail(lastStatus.detail, text);
    return code;
}

struct StatusMessage {
    uint32_t code;
    int messageId;
};

constexpr StatusMessage kMessages[] = {
    {NcStatusInvalidHandle, IDS_INVALID_HANDLE},
    {NcStatusInvalidArgument, IDS_INVALID_ARGUMENT},
    {NcStatusOutOfMemory, IDS_OUT_OF_MEMORY},
    {NcStatusWriteFailed, IDS_WRITE_FAILED},
    {NcStatusReadFailed, IDS_READ_FAILED},
    {NcStatusCreateFailed, IDS_CREATE_FAILED},
    {NcStatusDuplicateProgram, IDS_DUPLICATE_PROGRAM},
    {NcStatusSelfCall, IDS_SELF_CALL},
    {NcStatusNestingOverflow, IDS_NESTING_OVERFLOW},
    {NcStatusCoordinateRange, IDS_COORDINATE_RANGE},
};

}  // namespace

uint32_t ncStatus(uint32_t code, const char* text) {
    return exchange(code, text, nullptr);
}

uint32_t ncStatus(uint32_t code, char* buffer) {
    return exchange(code, buffer, buffer);
}

uint32_t ncStatus(uint32_t code, std::nullptr_t) {
    return exchange(code, nullptr, nullptr);
}

int32_t ncFail(uint32_t code, const char* text, int32_t result) {
    exchange(code, text, nullptr);
    return result;
}

int ncStatusMessageId(uint32_t code) {
    for (const StatusMessage& m : kMessages) {
        if (m.code == code) return m.messageId;
    }
    return IDS_ABORTED;
}

bool ncStatusHasDetail(uint32_t code) {
    return ncStatusMessageId(code) != IDS_ABORTED;
}
