// The store's internals, shared by block_store.cpp and the store's tests,
// which need to reach the backing file to make its writes fail.
#pragma once

#include <cstdint>

#include "engine/block_text.h"
#include "platform/platform.h"
#include "platform/write_behind.h"

struct NcProgramEntry {
    int32_t programNumber;   // unique within the store
    int32_t firstListIndex;  // list index of the program's first block
    int32_t blockCount;
    char sourceFileName[kPlatPathMax];  // empty when none was given
    PlatFileFacts sourceFileInfo;       // directory entry taken with the name
};

// Appends collect in a write buffer so that loading does not cost one
// system call per line, and a full buffer is written by a helper thread
// while the next one fills. Every operation that reads, rewrites, maps or
// counts first waits for the file to hold every append, so each sees what a
// write-through store would. A failed write is reported by the hand-over
// that has to wait for it (see platWriteBehindSubmit) or at that wait.
// 4096 records are 233 whole pages, so every write starts on a page
// boundary and the system can keep the file in large pieces.
constexpr int kNcPendingRecords = 4096;

struct NcBlockStore {
    int32_t programCount;
    int32_t listCount;  // blocks appended, buffered ones included
    char backingFileName[kPlatPathMax];  // for messages: the file, or its folder
    PlatFile* backingFile;  // read/write, not shared
    PlatMapping* mapping;   // null while unmapped
    unsigned char* view;    // the mapped file, viewRecords records long
    int32_t viewRecords;
    NcProgramEntry* programs;  // programCount entries in creation order
    int32_t programCapacity;
    int32_t lastFound;  // entry of the last program look-up; a hint only
    PlatWriteBehind* writer;
    unsigned char* pending;  // the writer's buffer being filled, or null
    int32_t pendingCount;    // records in pending, the last ones of the list
    bool writing;            // buffers handed over and not yet waited for
};

// The translation's read of the next block, with one program look-up:
// count receives the program's block count (-1 when there is no such
// program) and, when index is below it, block receives the block. Returns
// 1, or 0 with the statuses ncBlockCount or ncBlockGet would record.
int32_t ncBlockFetch(NcBlockStore* store, int32_t programNumber, int32_t index, int32_t* count,
                     NcBlockText* block);
