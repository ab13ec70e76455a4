#include "platform/ordered_pieces.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

struct Work {
    std::vector<uint64_t> slots = std::vector<uint64_t>(3, ~uint64_t{0});
    std::atomic<int> runs{0};
};

void record(void* context, uint64_t piece, int slot) {
    auto* work = static_cast<Work*>(context);
    work->slots[static_cast<size_t>(slot)] = piece * piece;
    work->runs += 1;
}

// Whoever does a piece, the caller gets every piece once, in order, in its
// own slot; with or without the helper, and when the caller stops early.
TEST(OrderedPieces, CallerTakesEveryPieceInOrder) {
    for (bool helper : {true, false}) {
        Work work;
        {
            PlatOrderedPieces pieces(1000, 3, record, &work);
            if (helper) {
                ASSERT_TRUE(pieces.start());
            }
            uint64_t expected = 0;
            for (int slot; (slot = pieces.next()) >= 0; ++expected) {
                ASSERT_EQ(work.slots[static_cast<size_t>(slot)], expected * expected);
                pieces.release();
            }
            EXPECT_EQ(expected, 1000u);
        }
        EXPECT_EQ(work.runs, 1000);
    }
    Work work;
    {
        PlatOrderedPieces pieces(1000, 3, record, &work);
        ASSERT_TRUE(pieces.start());
        ASSERT_GE(pieces.next(), 0);
        pieces.release();
    }  // stops with pieces left: no hang, no work beyond the free slots
    EXPECT_LE(work.runs, 1 + 3);
}

}  // namespace
