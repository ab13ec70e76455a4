#include "platform/write_behind.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace {

struct Job {
    PlatFile* file;
    uint64_t offset;
    size_t size;
};

constexpr uint64_t kNone = ~uint64_t{0};

// Room is reserved ahead of the writes in steps this large.
constexpr uint64_t kReserveStep = 16u << 20;

std::atomic<PlatFreeSpaceQuery> freeSpaceQuery{nullptr};

}  // namespace

struct PlatWriteBehind {
    std::mutex lock;
    std::condition_variable queued;    // the writer waits for work here
    std::condition_variable finished;  // the producer waits for buffers here
    std::thread thread;
    bool threaded = false;
    bool stopping = false;
    size_t bufferSize = 0;
    std::unique_ptr<unsigned char[]> memory;
    Job jobs[kPlatWriteBehindBuffers] = {};
    // Buffer n (mod the buffer count) is handed over as number n: numbers
    // below `done` are written or dropped, those from `done` to `handed` wait.
    uint64_t handed = 0;
    uint64_t done = 0;
    uint64_t failedBuffer = kNone;  // number of the first buffer that failed
    uint64_t failedEnd = 0;         // where the written data end after it
    bool failedRoom = false;        // that failure was a refusal for room
    bool refusedRoom = false;       // the last failure reported was one
    // Where the room reserved ahead of the writes ends, and where the last
    // write ended; touched only by whichever thread writes, one buffer at
    // a time.
    PlatFile* reservedFile = nullptr;
    uint64_t reservedEnd = 0;
    uint64_t writtenEnd = 0;

    unsigned char* buffer(uint64_t n) {
        return memory.get() + (n % kPlatWriteBehindBuffers) * bufferSize;
    }
    // Handing over buffer n must leave one buffer free to fill: the oldest
    // buffers up to this number have to be finished first.
    uint64_t mustBeDone(uint64_t n) const {
        return n + 2 > kPlatWriteBehindBuffers ? n + 2 - kPlatWriteBehindBuffers : 0;
    }
};

namespace {

// Whether size more bytes leave the file system its reserve. When the
// system cannot say, the write goes ahead and reports any lack of room.
bool roomFor(PlatFile* file, uint64_t size) {
    PlatFreeSpaceQuery query = freeSpaceQuery.load();
    uint64_t freeBytes = 0, totalBytes = 0;
    if (!(query != nullptr ? query : platFreeSpace)(file, &freeBytes, &totalBytes)) return true;
    return freeBytes >= size && freeBytes - size >= platDiskReserve(totalBytes);
}

// Appends mostly run past the end of the file: room for the next step is
// reserved before they get there, once the file system is seen to have it.
// A job that starts before the end of the one before it follows a cut of
// the file (a cleared store), which also gave back the room reserved past
// the cut: reserving starts over. False when the room is refused.
bool reserveAhead(PlatWriteBehind* w, const Job& job) {
    const uint64_t end = job.offset + job.size;
    const bool sameRun = job.file == w->reservedFile && job.offset >= w->writtenEnd;
    if (sameRun && end <= w->reservedEnd) {
        w->writtenEnd = end;
        return true;
    }
    const uint64_t from = sameRun && job.offset < w->reservedEnd ? w->reservedEnd : job.offset;
    if (!roomFor(job.file, end + kReserveStep - from)) return false;
    w->writtenEnd = end;
    w->reservedFile = job.file;
    w->reservedEnd = end + kReserveStep;
    platFileReserve(job.file, from, w->reservedEnd - from);
    return true;
}

// Writes one buffer; false with *end set after a failed or short write or
// a refusal for room (*refused set).
bool writeJob(PlatWriteBehind* w, const Job& job, const unsigned char* data, uint64_t* end,
              bool* refused) {
    if (!reserveAhead(w, job)) {
        *end = job.offset;
        *refused = true;
        return false;
    }
    size_t written = 0;
    bool ok = platFileSeek(job.file, job.offset) &&
              platFileWrite(job.file, data, job.size, &written) && written == job.size;
    if (!ok) *end = job.offset + written;
    return ok;
}

// Writes buffer number n, unless one before it failed: the file must not
// get data beyond a gap. Called with the lock released.
void writeBuffer(PlatWriteBehind* w, uint64_t n, const Job& job, bool skip,
                 std::unique_lock<std::mutex>& hold) {
    uint64_t end = 0;
    bool refused = false;
    bool ok = skip || writeJob(w, job, w->buffer(n), &end, &refused);
    hold.lock();
    if (!ok && w->failedBuffer == kNone) {
        w->failedBuffer = n;
        w->failedEnd = end;
        w->failedRoom = refused;
    }
    ++w->done;
}

void run(PlatWriteBehind* w) {
    std::unique_lock<std::mutex> hold(w->lock);
    for (;;) {
        w->queued.wait(hold, [w] { return w->stopping || w->done < w->handed; });
        if (w->done == w->handed) return;  // stopping with nothing left
        const uint64_t n = w->done;
        const Job job = w->jobs[n % kPlatWriteBehindBuffers];
        const bool skip = w->failedBuffer != kNone;
        hold.unlock();
        writeBuffer(w, n, job, skip, hold);
        w->finished.notify_all();
    }
}

}  // namespace

PlatWriteBehind* platWriteBehindCreate(size_t bufferSize) {
    auto* w = new (std::nothrow) PlatWriteBehind();
    if (w == nullptr) return nullptr;
    w->bufferSize = bufferSize;
    w->memory.reset(new (std::nothrow) unsigned char[kPlatWriteBehindBuffers * bufferSize]);
    if (!w->memory) {
        delete w;
        return nullptr;
    }
    try {
        w->thread = std::thread(run, w);
        w->threaded = true;
    } catch (...) {           // no thread to be had, or no memory for one
        w->threaded = false;  // every write happens on the caller's thread
    }
    return w;
}

void platWriteBehindDestroy(PlatWriteBehind* writer) {
    if (writer == nullptr) return;
    if (writer->threaded) {
        {
            std::lock_guard<std::mutex> hold(writer->lock);
            writer->stopping = true;
        }
        writer->queued.notify_all();
        writer->thread.join();
    }
    delete writer;
}

unsigned char* platWriteBehindBuffer(PlatWriteBehind* writer) {
    std::unique_lock<std::mutex> hold(writer->lock);
    writer->finished.wait(
        hold, [writer] { return writer->handed - writer->done < kPlatWriteBehindBuffers; });
    return writer->buffer(writer->handed);
}

bool platWriteBehindSubmit(PlatWriteBehind* writer, PlatFile* file, uint64_t offset, size_t size,
                           uint64_t* end) {
    const Job job{file, offset, size};
    std::unique_lock<std::mutex> hold(writer->lock);
    const uint64_t n = writer->handed;
    const uint64_t due = writer->mustBeDone(n);
    writer->finished.wait(hold, [writer, due] { return writer->done >= due; });
    // Only failures of buffers that had to be finished count, so that the
    // hand-over that reports a failure does not depend on timing.
    if (writer->failedBuffer < due) {
        hold.unlock();
        return platWriteBehindWait(writer, end);
    }
    writer->jobs[n % kPlatWriteBehindBuffers] = job;
    ++writer->handed;
    if (!writer->threaded) {
        const bool skip = writer->failedBuffer != kNone;
        hold.unlock();
        writeBuffer(writer, n, job, skip, hold);
        return true;
    }
    hold.unlock();
    writer->queued.notify_one();
    return true;
}

bool platWriteBehindWait(PlatWriteBehind* writer, uint64_t* end) {
    std::unique_lock<std::mutex> hold(writer->lock);
    writer->finished.wait(hold, [writer] { return writer->done == writer->handed; });
    const bool ok = writer->failedBuffer == kNone;
    if (!ok && end != nullptr) *end = writer->failedEnd;
    if (!ok) writer->refusedRoom = writer->failedRoom;
    writer->failedBuffer = kNone;
    return ok;
}

bool platWriteBehindRefusedRoom(const PlatWriteBehind* writer) {
    return writer != nullptr && writer->refusedRoom;
}

uint64_t platDiskReserve(uint64_t totalBytes) {
    const uint64_t floor = std::min<uint64_t>(uint64_t{256} << 20, totalBytes / 4);
    return std::max(totalBytes / 20, floor);
}

void platWriteBehindSetFreeSpaceQuery(PlatFreeSpaceQuery query) {
    freeSpaceQuery.store(query);
}
