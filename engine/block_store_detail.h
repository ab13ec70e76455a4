// The store's internals, shared by block_store.cpp and the store's tests,
// which need to reach the backing file to make its writes fail.
#pragma once

#include <cstdint>

#include "engine/block_text.h"
#include "platform/platform.h"

struct NcProgramEntry {
    int32_t programNumber;   // unique within the store
    int32_t firstListIndex;  // list index of the program's first block
    int32_t blockCount;
    char sourceFileName[kPlatPathMax];  // empty when none was given
    PlatFileFacts sourceFileInfo;       // directory entry taken with the name
};

// Appends collect in a write buffer so that loading does not cost one
// system call per line. Every operation that reads, rewrites, maps or counts
// first writes the buffer out, so each sees what a write-through store would.
constexpr int kNcPendingRecords = 256;

struct NcBlockStore {
    int32_t programCount;
    int32_t listCount;  // blocks appended, buffered ones included
    char backingFileName[kPlatPathMax];
    PlatFile* backingFile;  // read/write, not shared
    PlatMapping* mapping;   // null while unmapped
    unsigned char* view;    // the mapped file, viewRecords records long
    int32_t viewRecords;
    NcProgramEntry* programs;  // programCount entries in creation order
    int32_t programCapacity;
    int32_t pendingCount;  // records in pending, the last ones of the list
    unsigned char pending[kNcPendingRecords * sizeof(NcBlockText)];
};
