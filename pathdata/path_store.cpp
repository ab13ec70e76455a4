#include "pathdata/path_store.h"

#include "platform/platform.h"
#include "platform/write_behind.h"
#include "res/strings.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr size_t kRecordSize = sizeof(MotionRecord);

}  // namespace

// Appends collect in a buffer of kPathStoreBufferRecords records; a full
// buffer is written by a helper thread while the next one fills.
struct PathRecordStore {
    int handedCount;  // records handed to the writer, written or on their way
    bool writing;     // records handed over and not yet waited for
    char tempFileName[kPlatPathMax];
    PlatFile* file;
    PlatWriteBehind* writer;
    PlatMapping* mapping;
    const MotionRecord* view;
    int mappedCount;  // records inside the view
    int buffered;
    unsigned char* buffer;  // the writer's buffer being filled, or null
    bool refusedRoom;       // the last failure kept the disk's reserve free
};

namespace {

// Records accepted: handed over plus buffered.
int recordCount(const PathRecordStore* store) {
    return store->handedCount + store->buffered;
}

void unmap(PathRecordStore* store) {
    platUnmap(store->mapping);
    store->mapping = nullptr;
    store->view = nullptr;
    store->mappedCount = 0;
}

// After a failed write only what reached the file (end bytes) counts.
bool keepWritten(PathRecordStore* store, uint64_t end) {
    store->handedCount = static_cast<int>(end / kRecordSize);
    store->buffered = 0;
    store->refusedRoom = platWriteBehindRefusedRoom(store->writer);
    return false;
}

// Hands the buffered records to the writer. False when a buffer handed
// over earlier failed; the count then drops to what reached the file.
bool handOver(PathRecordStore* store) {
    if (store->buffered == 0) return true;
    size_t bytes = static_cast<size_t>(store->buffered) * kRecordSize;
    uint64_t offset = static_cast<uint64_t>(store->handedCount) * kRecordSize;
    uint64_t end = 0;
    bool ok = platWriteBehindSubmit(store->writer, store->file, offset, bytes, &end);
    store->buffer = nullptr;
    store->writing = ok;  // a refused hand-over has waited for every write
    if (!ok) return keepWritten(store, end);
    store->handedCount += store->buffered;
    store->buffered = 0;
    return true;
}

// Makes the file hold every record accepted.
bool flush(PathRecordStore* store) {
    if (store->buffered == 0 && !store->writing) return true;
    if (!handOver(store)) return false;
    uint64_t end = 0;
    bool ok = platWriteBehindWait(store->writer, &end);
    store->writing = false;
    return ok || keepWritten(store, end);
}

}  // namespace

PathRecordStore* pathStoreCreate() {
    char name[kPlatPathMax];
    PlatFile* file = platScratchFile("tlv", name, sizeof name);
    auto* store = file != nullptr ? new (std::nothrow) PathRecordStore() : nullptr;
    PlatWriteBehind* writer =
        store != nullptr ? platWriteBehindCreate(kPathStoreBufferRecords * kRecordSize) : nullptr;
    if (writer == nullptr) {
        delete store;
        if (file != nullptr) platFileDiscard(file, nullptr);
        return nullptr;
    }
    memcpy(store->tempFileName, name, sizeof name);
    store->file = file;
    store->writer = writer;
    return store;
}

int pathStoreDestroy(PathRecordStore* store) {
    if (store == nullptr) return 0;
    platWriteBehindDestroy(store->writer);  // after the writes still due
    unmap(store);
    platFileDiscard(store->file, nullptr);
    delete store;
    return 1;
}

int pathStoreClear(PathRecordStore* store) {
    if (store == nullptr) return 0;
    unmap(store);
    // Records on their way must land before the file is cut, not after.
    if (store->writing) platWriteBehindWait(store->writer, nullptr);
    store->writing = false;
    store->refusedRoom = false;
    store->handedCount = store->buffered = 0;
    platFileSeek(store->file, 0);
    platFileTruncate(store->file);
    return 1;
}

int pathStoreMap(PathRecordStore* store) {
    if (store == nullptr) return 0;
    unmap(store);
    bool flushed = flush(store);
    void* view = nullptr;
    store->mapping = platMapReadWrite(store->file, &view, nullptr);
    store->view = static_cast<const MotionRecord*>(view);
    if (store->view != nullptr) store->mappedCount = store->handedCount;
    return flushed ? 1 : 0;
}

int pathStoreCount(const PathRecordStore* store) {
    return store != nullptr ? recordCount(store) : -1;
}

int pathStoreAppend(PathRecordStore* store, const MotionRecord* record) {
    if (store == nullptr || record == nullptr || recordCount(store) == INT_MAX) return 0;
    if (store->buffered == kPathStoreBufferRecords && !handOver(store)) return 0;
    if (store->buffer == nullptr) store->buffer = platWriteBehindBuffer(store->writer);
    memcpy(store->buffer + static_cast<size_t>(store->buffered) * kRecordSize, record,
           kRecordSize);
    store->buffered++;
    return 1;
}

int pathStoreRead(PathRecordStore* store, int index, MotionRecord* out) {
    if (store == nullptr || out == nullptr || index < 0 || index >= recordCount(store)) return 0;
    if (index >= store->handedCount) {
        // Still in the append buffer: a write-through store would read it
        // from the file, so answer the same.
        memcpy(out, store->buffer + static_cast<size_t>(index - store->handedCount) * kRecordSize,
               kRecordSize);
        return 1;
    }
    if (index < store->mappedCount) {
        memcpy(out, &store->view[index], kRecordSize);
        return 1;
    }
    if (store->writing && (!flush(store) || index >= recordCount(store))) return 0;
    MotionRecord record;
    size_t done = 0;
    if (!platFileSeek(store->file, static_cast<uint64_t>(index) * kRecordSize) ||
        !platFileRead(store->file, &record, kRecordSize, &done) || done != kRecordSize) {
        return 0;
    }
    memcpy(out, &record, kRecordSize);
    return 1;
}

const MotionRecord* pathStoreView(const PathRecordStore* store, int* count) {
    if (count != nullptr) *count = store != nullptr ? store->mappedCount : 0;
    return store != nullptr ? store->view : nullptr;
}

const char* pathStoreFileName(const PathRecordStore* store) {
    return store != nullptr ? store->tempFileName : "";
}

std::string pathStoreFailureText(const PathRecordStore* store) {
    if (store == nullptr || !store->refusedRoom) return pathStoreFileName(store);
    return std::string(tlvString(IDS_DISK_RESERVE)) + "\n" + store->tempFileName;
}
