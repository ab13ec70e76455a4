#include "pathdata/path_store.h"
#include "engine/block_store.h"
#include "platform/write_behind.h"

#include "platform/platform.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

// A record whose every byte depends on i, so that a misplaced or torn
// record cannot compare equal.
MotionRecord makeRecord(int i) {
    MotionRecord r;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&r);
    for (size_t k = 0; k < sizeof r; ++k) bytes[k] = static_cast<unsigned char>(i * 31 + k * 7);
    return r;
}

bool sameBytes(const MotionRecord& a, const MotionRecord& b) {
    return memcmp(&a, &b, sizeof a) == 0;
}

class PathStore : public ::testing::Test {
protected:
    void SetUp() override {
        store = pathStoreCreate();
        ASSERT_NE(store, nullptr);
    }
    void TearDown() override { pathStoreDestroy(store); }
    void fill(int n) {
        for (int i = 0; i < n; ++i) {
            MotionRecord r = makeRecord(i);
            ASSERT_EQ(pathStoreAppend(store, &r), 1) << i;
        }
    }
    PathRecordStore* store = nullptr;
};

// Empty, unmapped and mapped alike: a read outside the records fails and
// leaves its output alone.
TEST_F(PathStore, OutOfRangeReadsLeaveOutputUntouched) {
    EXPECT_EQ(pathStoreCount(store), 0);
    EXPECT_EQ(pathStoreMap(store), 1);
    EXPECT_EQ(pathStoreView(store, nullptr), nullptr);  // nothing to map
    for (int stage = 0; stage < 3; ++stage) {
        if (stage == 1) fill(5);
        if (stage == 2) {
            ASSERT_EQ(pathStoreMap(store), 1);
        }
        for (int index : {-1, 5, 1000000, stage == 0 ? 0 : -2}) {
            MotionRecord out = makeRecord(99), before = out;
            EXPECT_EQ(pathStoreRead(store, index, &out), 0) << index;
            EXPECT_TRUE(sameBytes(out, before));
        }
    }
}

TEST_F(PathStore, ReadsAreIdenticalBufferedUnmappedAndMapped) {
    // Two buffers handed over (one of them possibly still being written)
    // and a part-filled third.
    const int b = kPathStoreBufferRecords, n = 2 * b + 500;
    fill(n);
    EXPECT_EQ(pathStoreCount(store), n);
    MotionRecord out;
    for (int i : {0, 1, b - 1, b, 2 * b - 1, 2 * b, n - 1, b + 1}) {
        ASSERT_EQ(pathStoreRead(store, i, &out), 1) << i;
        EXPECT_TRUE(sameBytes(out, makeRecord(i))) << i;
    }
    ASSERT_EQ(pathStoreMap(store), 1);
    int mapped = 0;
    const MotionRecord* view = pathStoreView(store, &mapped);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(mapped, n);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(pathStoreRead(store, i, &out), 1);
        ASSERT_TRUE(sameBytes(out, makeRecord(i))) << i;
        ASSERT_TRUE(sameBytes(view[i], makeRecord(i))) << i;
    }
}

TEST_F(PathStore, ClearEmptiesMappedStoreAndRefillsAndAppendsAfterTheMapping) {
    fill(1500);
    ASSERT_EQ(pathStoreMap(store), 1);
    ASSERT_EQ(pathStoreClear(store), 1);
    EXPECT_EQ(pathStoreCount(store), 0);
    EXPECT_EQ(pathStoreView(store, nullptr), nullptr);
    ASSERT_EQ(pathStoreMap(store), 1);
    EXPECT_EQ(pathStoreView(store, nullptr), nullptr);  // an empty file cannot be mapped
    // Cleared with records still buffered: none of them may resurface.
    fill(10);
    ASSERT_EQ(pathStoreClear(store), 1);
    MotionRecord r = makeRecord(500);
    ASSERT_EQ(pathStoreAppend(store, &r), 1);
    ASSERT_EQ(pathStoreMap(store), 1);
    int mapped = 0;
    EXPECT_NE(pathStoreView(store, &mapped), nullptr);
    EXPECT_EQ(pathStoreCount(store) * 10 + mapped, 11);
    MotionRecord out;
    ASSERT_EQ(pathStoreRead(store, 0, &out), 1);
    EXPECT_TRUE(sameBytes(out, r));
    // Appends after the mapping are read from the file, not beyond the view.
    fill(2000);
    ASSERT_EQ(pathStoreRead(store, 1500, &out), 1);
    EXPECT_TRUE(sameBytes(out, makeRecord(1500 - 1)));
}

// A run that is killed must not leave its stores' files behind, gigabytes
// of them: on Linux they never have a name; on Windows the system deletes
// them with their last handle, which it closes however the process ends.
TEST(PathStoreLife, StoreFilesCannotOutliveTheProcess) {
#ifndef _WIN32
    char dir[] = "/tmp/tlvtestXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const char* was = getenv("TMPDIR");
    const std::string saved = was != nullptr ? was : "";
    setenv("TMPDIR", dir, 1);
    NcBlockStore* blocks = ncBlockCreate();
    PathRecordStore* paths = pathStoreCreate();
    was != nullptr ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    ASSERT_TRUE(blocks != nullptr && paths != nullptr);
    MotionRecord r = makeRecord(1);
    EXPECT_EQ(pathStoreAppend(paths, &r) + pathStoreMap(paths), 2);
    EXPECT_STREQ(pathStoreFileName(paths), dir);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 0);
    ncBlockDestroy(blocks);
    pathStoreDestroy(paths);
    EXPECT_EQ(rmdir(dir), 0);
#else
    char where[kPlatPathMax];
    PlatFile* file = platScratchFile("tlv", where, sizeof where);
    PlatFileFacts facts;
    ASSERT_TRUE(file != nullptr && platFindFile(where, &facts));
    platFileClose(file);  // closed, not deleted
    EXPECT_FALSE(platFindFile(where, &facts));
#endif
}

#ifndef _WIN32
// A full disk, simulated with the file size limit: the records that did
// not reach the file must not be counted, and the failure must be reported.
TEST(PathStoreFull, FailedWriteIsReportedAndNotCounted) {
    PathRecordStore* store = pathStoreCreate();
    ASSERT_NE(store, nullptr);
    // The first full buffer fails while later ones fill; the hand-over that
    // has to wait for it tells.
    const int reportedAt = kPlatWriteBehindBuffers * kPathStoreBufferRecords;
    int failedAt = 0, mapResult = 0;
    {
        FileSizeLimit full(100 * 58);
        for (MotionRecord r = makeRecord(0);
             failedAt <= reportedAt && pathStoreAppend(store, &r) == 1;)
            r = makeRecord(++failedAt);
        mapResult = pathStoreMap(store);
    }
    EXPECT_EQ(failedAt, reportedAt);
    EXPECT_EQ(pathStoreCount(store), 100);
    EXPECT_EQ(mapResult, 1);  // nothing was left to write
    MotionRecord out;
    EXPECT_EQ(pathStoreRead(store, 99, &out), 1);
    EXPECT_TRUE(sameBytes(out, makeRecord(99)));
    EXPECT_EQ(pathStoreRead(store, 100, &out), 0);
    pathStoreDestroy(store);
}
#endif

}  // namespace
