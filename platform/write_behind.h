// Sequential appends written by a helper thread: the producer fills a
// buffer, hands it over and goes on while the system copies the previous
// one into the file. Buffers reach their file in the order handed over.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

struct PlatWriteBehind;  // null means none

// Buffers of a writer: one being filled, the others written or waiting,
// so that the producer does not stop whenever the file is briefly slow.
constexpr int kPlatWriteBehindBuffers = 4;

// A writer with kPlatWriteBehindBuffers buffers of bufferSize bytes, or
// null when the memory cannot be had. When no thread can be started it
// writes on the caller's thread instead, with the same results.
PlatWriteBehind* platWriteBehindCreate(size_t bufferSize);
// Waits for the writes still due, then releases everything.
void platWriteBehindDestroy(PlatWriteBehind* writer);
// The buffer to fill next (bufferSize bytes), once the writer has one free.
unsigned char* platWriteBehindBuffer(PlatWriteBehind* writer);
// Hands over the buffer last returned by platWriteBehindBuffer: its first
// size bytes go to file at offset. Hand-over n first waits for buffer
// n - (kPlatWriteBehindBuffers - 1) and those before it; when one of them
// failed, whatever became of later ones, the buffer is dropped and the
// result is that of platWriteBehindWait: false, with end set. A failure of
// buffer k is thus always reported by hand-over k + kPlatWriteBehindBuffers
// - 1, or by platWriteBehindWait.
bool platWriteBehindSubmit(PlatWriteBehind* writer, PlatFile* file, uint64_t offset, size_t size,
                           uint64_t* end);
// Waits until every buffer handed over is written or dropped. True when all
// were written. After a failed or short write: false, end receives the
// file offset where the written data end (no buffer after the failed one
// is written), and the writer is ready for new work.
bool platWriteBehindWait(PlatWriteBehind* writer, uint64_t* end);

// Runaway input (subprogram calls repeated without end) can grow a file by
// hundreds of megabytes a second. Whenever a file is about to grow into a
// new step of reserved room, the writer asks the file system for its free
// space and refuses the write, as if it had failed, when the step would eat
// into the last platDiskReserve bytes: the rest of the system (and this
// program's own settings and exports) still has room once the run stops.
// Whether the last failure reported by platWriteBehindSubmit or
// platWriteBehindWait was such a refusal.
bool platWriteBehindRefusedRoom(const PlatWriteBehind* writer);
// The bytes of a file system of totalBytes that files written here leave
// free: 5 %, at least 256 MB, but at most a quarter of a small one.
uint64_t platDiskReserve(uint64_t totalBytes);
// For tests: the free-space query the writers use (platFreeSpace when null).
using PlatFreeSpaceQuery = bool (*)(PlatFile* file, uint64_t* freeBytes, uint64_t* totalBytes);
void platWriteBehindSetFreeSpaceQuery(PlatFreeSpaceQuery query);
