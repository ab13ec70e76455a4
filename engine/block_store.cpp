#include "engine/block_store.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/block_store_detail.h"
#include "engine/status.h"
#include "res/strings.h"

namespace {

constexpr size_t kRecordSize = sizeof(NcBlockText);

uint64_t recordOffset(int32_t listIndex) {
    return static_cast<uint64_t>(listIndex) * kRecordSize;
}

// Program numbers are unique, so the first entry found is the only one.
// Look-ups come in long runs for one program (appends to the newest, the
// translation's reads of the running one): the last one found is tried first.
int32_t findProgram(NcBlockStore* store, int32_t programNumber) {
    int32_t hint = store->lastFound;
    if (hint < store->programCount && store->programs[hint].programNumber == programNumber) {
        return hint;
    }
    for (int32_t i = 0; i < store->programCount; ++i) {
        if (store->programs[i].programNumber == programNumber) {
            store->lastFound = i;
            return i;
        }
    }
    return -1;
}

void releaseView(NcBlockStore* store) {
    platUnmap(store->mapping);
    store->mapping = nullptr;
    store->view = nullptr;
    store->viewRecords = 0;
}

// After a failed write only the first `kept` records are in the file: the
// counts shrink to match, and programs begun in the lost part stay in the
// table empty, starting at the new end of the list.
void keepRecords(NcBlockStore* store, int32_t kept) {
    store->listCount = kept;
    if (platFileSeek(store->backingFile, recordOffset(kept))) platFileTruncate(store->backingFile);
    for (int32_t i = 0; i < store->programCount; ++i) {
        NcProgramEntry& entry = store->programs[i];
        if (entry.firstListIndex > kept) entry.firstListIndex = kept;
        if (entry.firstListIndex + entry.blockCount > kept) {
            entry.blockCount = kept - entry.firstListIndex;
        }
    }
}

// After a failed write: the counts shrink to what the file holds (end
// bytes) and the failure is recorded, naming the file, or saying that the
// write was refused to keep the disk's last reserve free.
bool writeFailed(NcBlockStore* store, uint64_t end) {
    keepRecords(store, static_cast<int32_t>(end / kRecordSize));
    if (!platWriteBehindRefusedRoom(store->writer)) {
        return ncFail(NcStatusWriteFailed, store->backingFileName, 0) != 0;
    }
    char detail[kNcStatusTextSize];
    snprintf(detail, sizeof detail, "%s\n%s", tlvString(IDS_DISK_RESERVE), store->backingFileName);
    return ncFail(NcStatusWriteFailed, detail, 0) != 0;
}

// Hands the buffered appends to the writer, to go at their place in the
// file. False when a buffer handed over earlier failed.
bool handOver(NcBlockStore* store) {
    if (store->pendingCount == 0) return true;
    int32_t first = store->listCount - store->pendingCount;
    size_t bytes = static_cast<size_t>(store->pendingCount) * kRecordSize;
    uint64_t end = 0;
    bool ok = platWriteBehindSubmit(store->writer, store->backingFile, recordOffset(first), bytes,
                                    &end);
    store->pending = nullptr;
    store->pendingCount = 0;
    store->writing = ok;  // a refused hand-over has waited for every write
    return ok || writeFailed(store, end);
}

// Makes the file hold every append, as a write-through store would.
bool writePending(NcBlockStore* store) {
    if (store->pendingCount == 0 && !store->writing) return true;
    if (!handOver(store)) return false;
    uint64_t end = 0;
    bool ok = platWriteBehindWait(store->writer, &end);
    store->writing = false;
    return ok || writeFailed(store, end);
}

void recordSource(NcProgramEntry* entry, const char* sourceFileName) {
    size_t n = strnlen(sourceFileName, kPlatPathMax - 1);
    memcpy(entry->sourceFileName, sourceFileName, n);
    entry->sourceFileName[n] = '\0';
    if (!platFindFile(entry->sourceFileName, &entry->sourceFileInfo)) {
        memset(&entry->sourceFileInfo, 0, sizeof entry->sourceFileInfo);
    }
}

NcProgramEntry* addProgram(NcBlockStore* store, int32_t programNumber, const char* sourceFileName) {
    if (store->programCount == store->programCapacity) {
        int32_t capacity = store->programCapacity == 0 ? 16 : store->programCapacity * 2;
        void* grown =
            realloc(store->programs, static_cast<size_t>(capacity) * sizeof(NcProgramEntry));
        if (grown == nullptr) return nullptr;
        store->programs = static_cast<NcProgramEntry*>(grown);
        store->programCapacity = capacity;
    }
    NcProgramEntry* entry = &store->programs[store->programCount++];
    memset(entry, 0, sizeof *entry);
    entry->programNumber = programNumber;
    entry->firstListIndex = store->listCount;
    if (sourceFileName != nullptr) recordSource(entry, sourceFileName);
    return entry;
}

int32_t programToList(NcBlockStore* store, int32_t programNumber, int32_t blockIndex) {
    int32_t i = findProgram(store, programNumber);
    if (i < 0 || store->programs[i].blockCount <= blockIndex) return -1;
    return store->programs[i].firstListIndex + blockIndex;
}

int32_t readRecord(NcBlockStore* store, int32_t listIndex, NcBlockText* block) {
    if (listIndex < store->viewRecords) {
        memcpy(block, store->view + recordOffset(listIndex), kRecordSize);
        return 1;
    }
    size_t done = 0;
    if (!platFileSeek(store->backingFile, recordOffset(listIndex)) ||
        !platFileRead(store->backingFile, block, kRecordSize, &done) || done != kRecordSize) {
        return ncFail(NcStatusReadFailed, store->backingFileName, 0);
    }
    return 1;
}

int32_t writeRecord(NcBlockStore* store, int32_t listIndex, const NcBlockText* block) {
    if (listIndex < store->viewRecords) {
        memcpy(store->view + recordOffset(listIndex), block, kRecordSize);
        return 1;
    }
    size_t done = 0;
    if (!platFileSeek(store->backingFile, recordOffset(listIndex)) ||
        !platFileWrite(store->backingFile, block, kRecordSize, &done) || done != kRecordSize) {
        return ncFail(NcStatusWriteFailed, store->backingFileName, 0);
    }
    return 1;
}

}  // namespace

NcBlockStore* ncBlockCreate() {
    char name[kPlatPathMax] = {};
    PlatFile* file = platScratchFile("nck", name, sizeof name);
    if (file == nullptr) {
        ncFail(NcStatusCreateFailed, name, 0);
        return nullptr;
    }
    // All zero is the empty, unmapped store.
    auto* store = static_cast<NcBlockStore*>(calloc(1, sizeof(NcBlockStore)));
    PlatWriteBehind* writer =
        store != nullptr ? platWriteBehindCreate(kNcPendingRecords * kRecordSize) : nullptr;
    if (writer == nullptr) {
        free(store);
        platFileDiscard(file, nullptr);
        ncFail(NcStatusOutOfMemory, "Error::ncBlockCreate(alloc)", 0);
        return nullptr;
    }
    memcpy(store->backingFileName, name, sizeof name);
    store->backingFile = file;
    store->writer = writer;
    return store;
}

int32_t ncBlockDestroy(NcBlockStore* store) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockDestroy(args)", 0);
    platWriteBehindDestroy(store->writer);  // after the writes still due
    releaseView(store);
    platFileDiscard(store->backingFile, nullptr);
    free(store->programs);
    memset(store, 0, sizeof *store);
    free(store);
    return 1;
}

int32_t ncBlockClear(NcBlockStore* store) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockClear(args)", 0);
    // Buffered appends are dropped rather than written: the file is emptied
    // anyway, and the result is the same as if they had been written. Those
    // already handed over must land before the file is cut, not after.
    store->pendingCount = 0;
    if (store->writing) platWriteBehindWait(store->writer, nullptr);
    store->writing = false;
    store->programCount = 0;
    store->listCount = 0;
    releaseView(store);
    if (platFileSeek(store->backingFile, 0)) platFileTruncate(store->backingFile);
    return 1;
}

int32_t ncBlockMemoryMap(NcBlockStore* store) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockMemoryMap(args)", -1);
    if (!writePending(store)) return -1;
    releaseView(store);
    void* view = nullptr;
    size_t size = 0;
    store->mapping = platMapReadWrite(store->backingFile, &view, &size);
    if (store->mapping != nullptr) {
        store->view = static_cast<unsigned char*>(view);
        size_t records = size / kRecordSize;
        store->viewRecords = records > INT32_MAX ? INT32_MAX : static_cast<int32_t>(records);
    }
    return 1;
}

int32_t ncBlockCount(NcBlockStore* store, int32_t programNumber) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockCount(args)", -1);
    if (!writePending(store)) return -1;
    if (programNumber < 0) return store->programCount;
    int32_t i = findProgram(store, programNumber);
    return i < 0 ? -1 : store->programs[i].blockCount;
}

int32_t ncBlockNext(NcBlockStore* store, int32_t programNumber) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockNext(args)", -1);
    if (programNumber < 0) return store->programCount > 0 ? store->programs[0].programNumber : -1;
    int32_t i = findProgram(store, programNumber);
    if (i < 0 || i + 1 >= store->programCount) return -1;
    return store->programs[i + 1].programNumber;
}

int32_t ncBlockAppend(NcBlockStore* store, const char* sourceFileName, int32_t programNumber,
                      const NcBlockText* block) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockAppend(args)", 0);
    if (block == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncBlockAppend(block)", 0);
    // List indices are signed 32-bit: the list cannot grow past their range.
    if (store->listCount == INT32_MAX) {
        return ncFail(NcStatusOutOfMemory, "Error::ncBlockAppend(alloc)", 0);
    }
    int32_t i = findProgram(store, programNumber);
    // Only the newest program may grow, so every program's blocks stay contiguous.
    if (i >= 0 && i != store->programCount - 1) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockAppend(block)", 0);
    }
    NcProgramEntry* entry =
        i >= 0 ? &store->programs[i] : addProgram(store, programNumber, sourceFileName);
    if (entry == nullptr) return ncFail(NcStatusOutOfMemory, "Error::ncBlockAppend(alloc)", 0);

    if (store->pending == nullptr) store->pending = platWriteBehindBuffer(store->writer);
    memcpy(store->pending + static_cast<size_t>(store->pendingCount) * kRecordSize, block,
           kRecordSize);
    ++store->pendingCount;
    ++store->listCount;
    ++entry->blockCount;
    if (sourceFileName != nullptr && entry->sourceFileName[0] == '\0') {
        recordSource(entry, sourceFileName);
    }
    if (store->pendingCount == kNcPendingRecords && !handOver(store)) return 0;
    return 1;
}

int32_t ncBlockReplacePno(NcBlockStore* store, int32_t oldNumber, int32_t newNumber) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockReplacePno(args)", 0);
    if (oldNumber < 0 || newNumber < 0) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockReplacePno(program)", 0);
    }
    int32_t oldAt = -1;
    bool newTaken = false;
    for (int32_t i = 0; i < store->programCount; ++i) {
        int32_t number = store->programs[i].programNumber;
        if (number == oldNumber && oldAt < 0) oldAt = i;
        if (number == newNumber) newTaken = true;
    }
    if (oldAt < 0 || newTaken) return 0;
    store->programs[oldAt].programNumber = newNumber;
    return 1;
}

int32_t ncBlockGetFilename(NcBlockStore* store, int32_t programNumber, char* buffer,
                           size_t bufferSize, PlatFileFacts* fileInfo) {
    if (buffer != nullptr && bufferSize > 0) memset(buffer, 0, bufferSize);
    if (store == nullptr)
        return ncFail(NcStatusInvalidHandle, "Error::ncBlockGetFilename(args)", 0);
    if (programNumber < 0) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockGetFilename(program)", 0);
    }
    int32_t i = findProgram(store, programNumber);
    if (i < 0) return 0;
    const NcProgramEntry& entry = store->programs[i];
    if (buffer != nullptr && bufferSize > 0) {
        // The last byte stays zero: a short buffer gets a cut but terminated name.
        size_t n = strnlen(entry.sourceFileName, bufferSize - 1);
        memcpy(buffer, entry.sourceFileName, n);
    }
    if (fileInfo != nullptr) *fileInfo = entry.sourceFileInfo;
    return 1;
}

int32_t ncBlockGet(NcBlockStore* store, int32_t programNumber, int32_t blockIndex,
                   NcBlockText* block) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockGet(args)", 0);
    if (!writePending(store)) return 0;
    int32_t listIndex =
        programNumber < 0 || blockIndex < 0 ? -1 : programToList(store, programNumber, blockIndex);
    if (listIndex < 0) return ncFail(NcStatusInvalidArgument, "Error::ncBlockGet(index)", 0);
    return ncBlockListGet(store, listIndex, block);
}

int32_t ncBlockProgramToList(NcBlockStore* store, int32_t programNumber, int32_t blockIndex) {
    if (store == nullptr) {
        return ncFail(NcStatusInvalidHandle, "Error::ncBlockProgramToList(args)", -1);
    }
    if (programNumber < 0 || blockIndex < 0) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockProgramToList(args)", -1);
    }
    if (!writePending(store)) return -1;
    return programToList(store, programNumber, blockIndex);
}

int32_t ncBlockListToProgram(NcBlockStore* store, int32_t listIndex, int32_t* programNumber,
                             int32_t* blockIndex) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockGet(args)", 0);
    if (listIndex < 0) return ncFail(NcStatusInvalidArgument, "Error::ncBlockGet(index)", 0);
    if (!writePending(store)) return 0;
    for (int32_t i = 0; i < store->programCount; ++i) {
        const NcProgramEntry& entry = store->programs[i];
        int32_t offset = listIndex - entry.firstListIndex;
        if (offset < 0 || offset >= entry.blockCount) continue;
        if (programNumber != nullptr) *programNumber = entry.programNumber;
        if (blockIndex != nullptr) *blockIndex = offset;
        return 1;
    }
    return 0;
}

int32_t ncBlockListCount(NcBlockStore* store) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockListCount(args)", -1);
    if (!writePending(store)) return -1;
    return store->listCount;
}

int32_t ncBlockListGet(NcBlockStore* store, int32_t listIndex, NcBlockText* block) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockListGet(args)", 0);
    if (block == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncBlockListGet(block)", 0);
    if (!writePending(store)) return 0;
    if (listIndex < 0 || listIndex >= store->listCount) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockListGet(index)", 0);
    }
    return readRecord(store, listIndex, block);
}

int32_t ncBlockListSet(NcBlockStore* store, int32_t listIndex, const NcBlockText* block) {
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockListSet(args)", 0);
    if (block == nullptr) return ncFail(NcStatusInvalidArgument, "Error::ncBlockListSet(block)", 0);
    if (!writePending(store)) return 0;
    if (listIndex < 0 || listIndex >= store->listCount) {
        return ncFail(NcStatusInvalidArgument, "Error::ncBlockListSet(index)", 0);
    }
    return writeRecord(store, listIndex, block);
}

namespace {

// The translation reads a program's blocks one after another: asking for
// the memory of a block a few ahead hides the wait for the mapped file,
// whose pages the processor's own look-ahead does not cross.
void prefetchAhead(const NcBlockStore* store, int32_t listIndex) {
    constexpr int32_t kAhead = 8;
    if (listIndex + kAhead >= store->viewRecords) return;
    const unsigned char* next = store->view + recordOffset(listIndex + kAhead);
    for (size_t line = 0; line < kRecordSize; line += 64) __builtin_prefetch(next + line);
}

}  // namespace

int32_t ncBlockFetch(NcBlockStore* store, int32_t programNumber, int32_t index, int32_t* count,
                     NcBlockText* block) {
    *count = -1;
    if (store == nullptr) return ncFail(NcStatusInvalidHandle, "Error::ncBlockCount(args)", 0);
    if (!writePending(store) || programNumber < 0) return programNumber < 0;
    int32_t i = findProgram(store, programNumber);
    if (i < 0) return 1;
    const NcProgramEntry& entry = store->programs[i];
    *count = entry.blockCount;
    if (index < 0 || index >= entry.blockCount) return 1;
    prefetchAhead(store, entry.firstListIndex + index);
    return readRecord(store, entry.firstListIndex + index, block);
}
