#include "engine/block_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "engine_test_support.h"

namespace {

// A block that carries its marker in lineIndex.
NcBlockText makeBlock(int32_t marker) {
    char line[16];
    snprintf(line, sizeof line, "N%d", marker);
    NcBlockText block;
    ncAddrAnalysis(&block, line);
    block.lineIndex = marker;
    return block;
}

class BlockStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(store = ncBlockCreate(), nullptr); }
    void TearDown() override { EXPECT_EQ(ncBlockDestroy(store), 1); }

    // Appends blocks marked first, first + 1, ... to program until count are
    // in or one is refused; returns how many went in.
    int append(int32_t program, int count, int32_t first) {
        for (int i = 0; i < count; ++i) {
            NcBlockText block = makeBlock(first + i);
            if (ncBlockAppend(store, nullptr, program, &block) != 1) return i;
        }
        return count;
    }
    int32_t markerAt(int32_t listIndex) {
        NcBlockText block{};
        EXPECT_EQ(ncBlockListGet(store, listIndex, &block), 1) << listIndex;
        return block.lineIndex;
    }
    NcBlockStore* store = nullptr;
};

TEST_F(BlockStore, AddressesBlocksByProgramAndByList) {
    ASSERT_EQ(append(5, 2, 0) + append(7, 3, 2) + append(3, 1, 5), 6);
    // Creation order, not numeric order.
    EXPECT_EQ(describePrograms(store), "5:0+2 7:2+3 3:5+1 /6");
    EXPECT_EQ(ncBlockCount(store, -1) * 100 + ncBlockCount(store, 4), 300 - 1);
    EXPECT_EQ(ncBlockNext(store, 3) + ncBlockNext(store, 99), -2);
    const int32_t places[][3] = {{5, 1, 1}, {7, 0, 2}, {7, 2, 4}, {3, 0, 5}};
    for (const auto& [program, index, listIndex] : places) {
        int32_t p = -1, i = -1;
        NcBlockText block;
        EXPECT_EQ(ncBlockListToProgram(store, listIndex, &p, &i), 1);
        EXPECT_EQ(p * 100 + i, program * 100 + index);
        EXPECT_EQ(ncBlockGet(store, program, index, &block), 1);
        EXPECT_EQ(int32_t{block.lineIndex}, listIndex);  // copied: the field is unaligned
    }
    ncStatus(0, "");
    EXPECT_EQ(ncBlockProgramToList(store, 7, 3) + ncBlockListToProgram(store, 6, nullptr, nullptr),
              -1);
    EXPECT_STATUS(0u, "");  // not found is no failure
}

TEST_F(BlockStore, FailuresReportTheirStatusAndDetail) {
    append(5, 2, 0);
    NcBlockText b = makeBlock(0);
    char n[8];
    const uint32_t H = NcStatusInvalidHandle, A = NcStatusInvalidArgument;
    const struct {
        std::function<int32_t()> call;
        int32_t result;
        uint32_t code;
        const char* detail;  // after "Error::ncBlock"
    } rows[] = {
        {[&] { return ncBlockAppend(store, nullptr, 1, nullptr); }, 0, A, "Append(block)"},
        {[&] { return ncBlockReplacePno(nullptr, 1, 2); }, 0, H, "ReplacePno(args)"},
        {[&] { return ncBlockReplacePno(store, -1, 2); }, 0, A, "ReplacePno(program)"},
        {[&] { return ncBlockGetFilename(store, -1, n, 8, nullptr); }, 0, A,
         "GetFilename(program)"},
        {[&] { return ncBlockGet(store, 5, 2, &b); }, 0, A, "Get(index)"},
        {[&] { return ncBlockProgramToList(store, 5, -1); }, -1, A, "ProgramToList(args)"},
        {[&] { return ncBlockListToProgram(store, -1, nullptr, nullptr); }, 0, A, "Get(index)"},
        {[&] { return ncBlockListGet(store, 2, &b); }, 0, A, "ListGet(index)"},
        {[&] { return ncBlockListSet(store, 2, &b); }, 0, A, "ListSet(index)"},
    };
    for (const auto& row : rows) {
        ncStatus(0, "");
        EXPECT_EQ(row.call(), row.result) << row.detail;
        EXPECT_STATUS(row.code, std::string("Error::ncBlock") + row.detail);
    }
}

TEST_F(BlockStore, OnlyTheNewestProgramGrowsAndNumbersStayUnique) {
    ASSERT_EQ(append(5, 2, 0) + append(7, 1, 2) + append(5, 1, 9), 3);
    EXPECT_STATUS(NcStatusInvalidArgument, "Error::ncBlockAppend(block)");
    // Renaming to a taken number or from an absent one changes nothing.
    EXPECT_EQ(ncBlockReplacePno(store, 7, 5) + ncBlockReplacePno(store, 8, 9), 0);
    EXPECT_EQ(ncBlockReplacePno(store, 7, 12), 1);
    EXPECT_EQ(describePrograms(store), "5:0+2 12:2+1 /3");
}

TEST_F(BlockStore, KeepsTheSourceFileOfEachProgram) {
    TempBytes source("G01\n");
    NcBlockText block = makeBlock(0);
    append(1, 1, 0);
    ASSERT_EQ(ncBlockAppend(store, source.path, 1, &block), 1);  // recorded on a later append
    char path[kPlatPathMax];
    PlatFileFacts facts{};
    EXPECT_EQ(ncBlockGetFilename(store, 1, path, sizeof path, &facts), 1);
    EXPECT_STREQ(path, source.path);
    EXPECT_EQ(facts.size, 4u);
    char shortBuffer[6] = "xxxxx";
    EXPECT_EQ(ncBlockGetFilename(store, 1, shortBuffer, sizeof shortBuffer, nullptr), 1);
    EXPECT_EQ(std::string(shortBuffer), std::string(source.path, 5));  // cut, terminated
    EXPECT_EQ(ncBlockGetFilename(store, 2, path, sizeof path, nullptr), 0);
    EXPECT_STREQ(path, "");
}

// A rewrite is seen by every read, through the view or the file; blocks
// appended after the mapping come from the file; the file holds the records
// byte for byte.
TEST_F(BlockStore, ReadsSeeRewritesAndAppendsMappedOrNot) {
    for (bool mapped : {false, true}) {
        ASSERT_EQ(ncBlockClear(store), 1);
        append(5, 3, 0);
        if (mapped) {
            ASSERT_EQ(ncBlockMemoryMap(store), 1);
        }
        EXPECT_EQ(store->view != nullptr, mapped);
        NcBlockText marked = makeBlock(1), viaList, viaProgram;
        marked.breakMark = kNcBreakMark;
        ASSERT_EQ(ncBlockListSet(store, 1, &marked), 1);
        ASSERT_EQ(ncBlockListGet(store, 1, &viaList) + ncBlockGet(store, 5, 1, &viaProgram), 2);
        EXPECT_EQ(memcmp(&viaList, &marked, sizeof marked), 0);
        EXPECT_EQ(memcmp(&viaProgram, &marked, sizeof marked), 0);
        append(5, 1, 3);
        EXPECT_EQ(markerAt(3), 3);
    }
    EXPECT_EQ(platFileSize(store->backingFile), 4 * 233);
    ASSERT_EQ(ncBlockMemoryMap(store), 1);
    NcBlockText third = makeBlock(2);
    EXPECT_EQ(memcmp(store->view + 2 * 233, &third, 233), 0);
}

TEST_F(BlockStore, ClearEmptiesTheFileAndFreesTheNumbers) {
    ASSERT_EQ(append(5, 2, 0) + append(7, 2, 2) + ncBlockMemoryMap(store), 5);
    EXPECT_EQ(ncBlockClear(store), 1);
    EXPECT_EQ(platFileSize(store->backingFile), 0);
    EXPECT_EQ(describePrograms(store), "/0");
    ASSERT_EQ(append(7, 1, 40) + append(5, 1, 41), 2);
    EXPECT_EQ(describePrograms(store), "7:0+1 5:1+1 /2");
    EXPECT_EQ(markerAt(0), 40);
}

#ifndef _WIN32
// Buffered appends are seen by every read; those that never reach the file
// are not counted, and the failure names the backing file whenever the
// buffer is written. The first full buffer fails while later ones fill;
// the hand-over that has to wait for it tells.
TEST_F(BlockStore, FailedWritesAreReportedAndNotCounted) {
    EXPECT_EQ(append(1, 300, 0), 300);
    EXPECT_EQ(markerAt(299), 299);
    EXPECT_EQ(platFileSize(store->backingFile), 300 * 233);
    FileSizeLimit full(300 * 233);
    const int reportedAt = kPlatWriteBehindBuffers * kNcPendingRecords;
    EXPECT_EQ(append(2, 100, 0) + append(3, reportedAt, 0), reportedAt - 1);
    EXPECT_STATUS(NcStatusWriteFailed, store->backingFileName);
    EXPECT_EQ(describePrograms(store), "1:0+300 2:-1+0 3:-1+0 /300");
    EXPECT_EQ(append(3, 1, 0), 1);  // buffered
    ncStatus(0, "");
    EXPECT_EQ(ncBlockMemoryMap(store), -1);
    EXPECT_STATUS(NcStatusWriteFailed, store->backingFileName);
    EXPECT_EQ(ncBlockListCount(store), 300);
}

// Part of a buffer written: whole records stay, and a program begun in the
// lost part is empty.
TEST_F(BlockStore, PartlyWrittenBufferKeepsWholeRecords) {
    const int reportedAt = kPlatWriteBehindBuffers * kNcPendingRecords;
    int accepted = 0;
    {
        FileSizeLimit full(100 * 233 + 100);
        accepted = append(1, 50, 0) + append(2, 100, 50) + append(3, reportedAt, 150);
    }
    EXPECT_EQ(accepted, reportedAt - 1);
    EXPECT_EQ(platFileSize(store->backingFile), 100 * 233);
    EXPECT_EQ(describePrograms(store), "1:0+50 2:50+50 3:-1+0 /100");
    EXPECT_EQ(append(3, 1, 77), 1);  // the store goes on at the new end
    EXPECT_EQ(describePrograms(store), "1:0+50 2:50+50 3:100+1 /101");
    EXPECT_EQ(markerAt(100), 77);
}
#endif

}  // namespace
