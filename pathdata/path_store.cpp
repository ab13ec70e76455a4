#include "pathdata/path_store.h"

#include "platform/platform.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

constexpr size_t kRecordSize = sizeof(MotionRecord);
// Appends collect in memory and reach the file in blocks of this many
// records: one system call per block of records, not per record.
constexpr int kBufferRecords = 1024;

}  // namespace

struct PathRecordStore {
    int recordCount;  // records accepted: written plus buffered
    int fileCount;    // records that reached the file
    char tempFileName[kPlatPathMax];
    PlatFile* file;
    PlatMapping* mapping;
    const MotionRecord* view;
    int mappedCount;  // records inside the view
    int buffered;
    unsigned char buffer[kBufferRecords * kRecordSize];
};

namespace {

void unmap(PathRecordStore* store) {
    platUnmap(store->mapping);
    store->mapping = nullptr;
    store->view = nullptr;
    store->mappedCount = 0;
}

// Writes the buffered records at the end of the file. On a failed or short
// write the records that did not reach the file are dropped from the count.
bool flush(PathRecordStore* store) {
    if (store->buffered == 0) return true;
    size_t want = static_cast<size_t>(store->buffered) * kRecordSize;
    size_t done = 0;
    bool ok = platFileSeek(store->file, static_cast<uint64_t>(store->fileCount) * kRecordSize) &&
              platFileWrite(store->file, store->buffer, want, &done);
    store->fileCount += static_cast<int>(done / kRecordSize);
    store->recordCount = store->fileCount;
    store->buffered = 0;
    return ok && done == want;
}

}  // namespace

PathRecordStore* pathStoreCreate() {
    char name[kPlatPathMax];
    if (!platTempFile("tlv", name, sizeof name)) return nullptr;
    PlatFile* file =
        platFileOpen(name, PlatAccess::ReadWrite, PlatShare::Exclusive, PlatCreate::OpenAlways);
    auto* store = file != nullptr ? new (std::nothrow) PathRecordStore() : nullptr;
    if (store == nullptr) {
        platFileClose(file);
        platFileDelete(name);
        return nullptr;
    }
    memcpy(store->tempFileName, name, sizeof name);
    store->file = file;
    return store;
}

int pathStoreDestroy(PathRecordStore* store) {
    if (store == nullptr) return 0;
    unmap(store);
    // Emptied before it is closed, so that a file system that flushes a
    // rewritten file at its last close does not write it out to delete it.
    if (platFileSeek(store->file, 0)) platFileTruncate(store->file);
    platFileClose(store->file);
    platFileDelete(store->tempFileName);
    delete store;
    return 1;
}

int pathStoreClear(PathRecordStore* store) {
    if (store == nullptr) return 0;
    unmap(store);
    store->recordCount = store->fileCount = store->buffered = 0;
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
    if (store->view != nullptr) store->mappedCount = store->fileCount;
    return flushed ? 1 : 0;
}

int pathStoreCount(const PathRecordStore* store) {
    return store != nullptr ? store->recordCount : -1;
}

int pathStoreAppend(PathRecordStore* store, const MotionRecord* record) {
    if (store == nullptr || record == nullptr || store->recordCount == INT_MAX) return 0;
    if (store->buffered == kBufferRecords && !flush(store)) return 0;
    memcpy(store->buffer + static_cast<size_t>(store->buffered) * kRecordSize, record,
           kRecordSize);
    store->buffered++;
    store->recordCount++;
    return 1;
}

int pathStoreRead(PathRecordStore* store, int index, MotionRecord* out) {
    if (store == nullptr || out == nullptr || index < 0 || index >= store->recordCount) return 0;
    if (index >= store->fileCount) {
        // Still in the append buffer: a write-through store would read it
        // from the file, so answer the same.
        memcpy(out, store->buffer + static_cast<size_t>(index - store->fileCount) * kRecordSize,
               kRecordSize);
        return 1;
    }
    if (index < store->mappedCount) {
        memcpy(out, &store->view[index], kRecordSize);
        return 1;
    }
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
