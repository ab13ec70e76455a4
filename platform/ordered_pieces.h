// Numbered pieces of work done by the caller's thread and a helper thread
// together, and taken by the caller in order: the helper works ahead, and
// the caller works on pieces itself while the one it needs next is not
// done. Each piece has a slot of its own among `slots`, reused once the
// caller releases the piece.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class PlatOrderedPieces {
public:
    // work(piece, slot) may run on either thread, at the same time as other
    // pieces: it must touch nothing but its slot and what it only reads.
    using Work = void (*)(void* context, uint64_t piece, int slot);

    PlatOrderedPieces(uint64_t count, int slots, Work work, void* context)
        : count_(count), slots_(slots), work_(work), context_(context) {}
    ~PlatOrderedPieces() { stop(); }
    PlatOrderedPieces(const PlatOrderedPieces&) = delete;
    PlatOrderedPieces& operator=(const PlatOrderedPieces&) = delete;

    // Starts the helper; false when no thread can be started (next then
    // does every piece on the caller's thread).
    bool start();
    // The slot of the next piece in order, once its work is done; -1 after
    // the last piece.
    int next();
    // The piece from next has been used; its slot is free again.
    void release();
    // Stops the helper after the piece it works on; pieces not done stay so.
    void stop();

private:
    static constexpr int kMaxSlots = 8;
    bool canClaim() const;
    bool claimAndWork(std::unique_lock<std::mutex>& hold);
    void run();

    const uint64_t count_;
    const int slots_;
    Work work_;
    void* context_;
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool done_[kMaxSlots] = {};
    uint64_t claimed_ = 0;  // pieces taken for work
    uint64_t taken_ = 0;    // pieces released by the caller
    bool stopping_ = false;
};
