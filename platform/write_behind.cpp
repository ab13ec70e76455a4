#include "platform/write_behind.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace {

// One buffer being filled while the other is written.
constexpr uint64_t kBuffers = 2;

struct Job {
    PlatFile* file;
    uint64_t offset;
    size_t size;
};

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
    Job jobs[kBuffers] = {};
    // Buffer n (mod kBuffers) is handed over as number n: numbers below
    // `done` are written or dropped, those from `done` to `handed` wait.
    uint64_t handed = 0;
    uint64_t done = 0;
    bool failed = false;
    uint64_t failedEnd = 0;  // where the written data end after a failure

    unsigned char* buffer(uint64_t n) { return memory.get() + (n % kBuffers) * bufferSize; }
};

namespace {

// Writes one buffer; false with *end set after a failed or short write.
bool writeJob(const Job& job, const unsigned char* data, uint64_t* end) {
    size_t written = 0;
    bool ok = platFileSeek(job.file, job.offset) &&
              platFileWrite(job.file, data, job.size, &written) && written == job.size;
    if (!ok) *end = job.offset + written;
    return ok;
}

void run(PlatWriteBehind* w) {
    std::unique_lock<std::mutex> hold(w->lock);
    for (;;) {
        w->queued.wait(hold, [w] { return w->stopping || w->done < w->handed; });
        if (w->done == w->handed) return;  // stopping with nothing left
        const Job job = w->jobs[w->done % kBuffers];
        hold.unlock();
        uint64_t end = 0;
        bool ok = writeJob(job, w->buffer(w->done), &end);
        hold.lock();
        if (!ok) {
            w->failed = true;
            w->failedEnd = end;
        }
        ++w->done;
        w->finished.notify_all();
    }
}

}  // namespace

PlatWriteBehind* platWriteBehindCreate(size_t bufferSize) {
    auto* w = new (std::nothrow) PlatWriteBehind();
    if (w == nullptr) return nullptr;
    w->bufferSize = bufferSize;
    w->memory.reset(new (std::nothrow) unsigned char[kBuffers * bufferSize]);
    if (!w->memory) {
        delete w;
        return nullptr;
    }
    try {
        w->thread = std::thread(run, w);
        w->threaded = true;
    } catch (const std::system_error&) {
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
    writer->finished.wait(hold, [writer] { return writer->handed - writer->done < kBuffers; });
    return writer->buffer(writer->handed);
}

bool platWriteBehindSubmit(PlatWriteBehind* writer, PlatFile* file, uint64_t offset, size_t size) {
    const Job job{file, offset, size};
    std::unique_lock<std::mutex> hold(writer->lock);
    // The previous buffer is finished first, so that a failure is always
    // reported by the hand-over right after it, however fast the file is.
    writer->finished.wait(hold, [writer] { return writer->done == writer->handed; });
    if (writer->failed) return false;
    if (!writer->threaded) {
        uint64_t end = 0;
        if (!writeJob(job, writer->buffer(writer->handed), &end)) {
            writer->failed = true;
            writer->failedEnd = end;
        }
        ++writer->handed;
        ++writer->done;
        return true;
    }
    writer->jobs[writer->handed % kBuffers] = job;
    ++writer->handed;
    hold.unlock();
    writer->queued.notify_one();
    return true;
}

bool platWriteBehindWait(PlatWriteBehind* writer, uint64_t* end) {
    std::unique_lock<std::mutex> hold(writer->lock);
    writer->finished.wait(hold, [writer] { return writer->done == writer->handed; });
    const bool ok = !writer->failed;
    if (!ok && end != nullptr) *end = writer->failedEnd;
    writer->failed = false;
    return ok;
}
