// The engine's status convention: a failing nc operation records one status
// code with a detail text in the process-wide last status and returns its
// failure value. The caller that started the work reads the status and shows
// the message that belongs to the code.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t NcStatusNone = 0;
constexpr uint32_t NcStatusInvalidHandle = 0xF0000001;
constexpr uint32_t NcStatusInvalidArgument = 0xF0000002;
constexpr uint32_t NcStatusOutOfMemory = 0xF0000003;
constexpr uint32_t NcStatusWriteFailed = 0xF0000004;
constexpr uint32_t NcStatusReadFailed = 0xF0000005;
constexpr uint32_t NcStatusCreateFailed = 0xF0000006;
constexpr uint32_t NcStatusDuplicateProgram = 0xF0000007;
constexpr uint32_t NcStatusSelfCall = 0xF0000008;
constexpr uint32_t NcStatusNestingOverflow = 0xF0000009;
// A block whose coordinates run beyond any machine (or are not numbers).
constexpr uint32_t NcStatusCoordinateRange = 0xF000000A;

// Passed as the code, asks ncStatus to read instead of record.
constexpr uint32_t kNcStatusRead = 0xFFFFFFFF;
// The detail text holds 510 characters and the terminator; a buffer that
// receives it needs this many bytes.
constexpr size_t kNcStatusTextSize = 511;

// The one process-wide status record. Only status.cpp touches it.
struct NcLastStatus {
    uint32_t code;                   // 0 = none
    char detail[kNcStatusTextSize];  // operation and check, a path or a source line
};

// Records code (any value but kNcStatusRead) and, when text is given, at
// most 510 bytes of it as the detail text; returns code. A null text keeps
// the previous detail, so ncStatus(0, nullptr) clears the code before work.
uint32_t ncStatus(uint32_t code, const char* text);
// With kNcStatusRead, copies the detail text into buffer (which must hold
// kNcStatusTextSize bytes) and returns the last code; any other code records
// buffer as the text.
uint32_t ncStatus(uint32_t code, char* buffer);
// Records code keeping the detail text; with kNcStatusRead only reads.
uint32_t ncStatus(uint32_t code, std::nullptr_t);

// Records a failure and hands back the caller's failure value, so that every
// check in the engine is one line.
int32_t ncFail(uint32_t code, const char* text, int32_t result);

// The string id of the message shown for code: one per engine status, and
// "aborted" for 0 and every other value.
int ncStatusMessageId(uint32_t code);
// Whether the detail text is shown beneath that message (not after an abort).
bool ncStatusHasDetail(uint32_t code);
