#include "platform/ordered_pieces.h"

bool PlatOrderedPieces::start() {
    if (slots_ < 1 || slots_ > kMaxSlots) return false;
    try {
        thread_ = std::thread(&PlatOrderedPieces::run, this);
    } catch (...) {  // no thread to be had, or no memory for one
        return false;
    }
    return true;
}

int PlatOrderedPieces::next() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        if (taken_ == count_) return -1;
        const int slot = static_cast<int>(taken_ % static_cast<uint64_t>(slots_));
        if (done_[slot]) return slot;
        if (!claimAndWork(hold)) changed_.wait(hold);
    }
}

void PlatOrderedPieces::release() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        done_[taken_ % static_cast<uint64_t>(slots_)] = false;
        ++taken_;
    }
    changed_.notify_all();
}

void PlatOrderedPieces::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool PlatOrderedPieces::canClaim() const {
    return claimed_ < count_ && claimed_ - taken_ < static_cast<uint64_t>(slots_);
}

// Takes the next piece nobody works on and does it with the lock
// released; false when there is none to take.
bool PlatOrderedPieces::claimAndWork(std::unique_lock<std::mutex>& hold) {
    if (!canClaim()) return false;
    const uint64_t piece = claimed_++;
    const int slot = static_cast<int>(piece % static_cast<uint64_t>(slots_));
    hold.unlock();
    work_(context_, piece, slot);
    hold.lock();
    done_[slot] = true;
    changed_.notify_all();
    return true;
}

void PlatOrderedPieces::run() {
    std::unique_lock<std::mutex> hold(lock_);
    while (!stopping_) {
        if (!claimAndWork(hold)) changed_.wait(hold);
    }
}
