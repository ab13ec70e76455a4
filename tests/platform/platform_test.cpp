#include "platform/platform.h"
#include "platform/write_behind.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

PlatFile* open(const char* path, PlatCreate create, PlatAccess access = PlatAccess::ReadWrite,
               PlatShare share = PlatShare::Exclusive) {
    return platFileOpen(path, access, share, create);
}

TEST(PlatformTempFile, IsCreatedEmptyWithPrefixAndUniqueName) {
    TempFile a("", "nck"), b("", "nck");
    EXPECT_NE(std::string(a.path), std::string(b.path));
    PlatFileFacts facts;
    ASSERT_TRUE(platFindFile(a.path, &facts));
    EXPECT_EQ(facts.size, 0u);
    EXPECT_EQ(std::string(facts.name).substr(0, 3), "nck");
    char tiny[4];
    EXPECT_FALSE(platTempFile("nck", tiny, sizeof tiny));
}

// The disk reserve is worked out from these figures; a failing query would
// silently let the stores fill the disk.
TEST(PlatformScratchFile, ReportsTheFreeSpaceOfItsFileSystem) {
    char where[kPlatPathMax];
    PlatFile* f = platScratchFile("tls", where, sizeof where);
    ASSERT_NE(f, nullptr);
    uint64_t freeBytes = 0, totalBytes = 0;
    EXPECT_TRUE(platFreeSpace(f, &freeBytes, &totalBytes)) << where;
    EXPECT_GT(totalBytes, 0u);
    EXPECT_LE(freeBytes, totalBytes);
    EXPECT_TRUE(platFileDiscard(f, nullptr));
}

#ifndef _WIN32
void writeAll(PlatFile* file, const char* text) {
    size_t done = 0;
    ASSERT_TRUE(platFileWrite(file, text, strlen(text), &done));
    ASSERT_EQ(done, strlen(text));
}

// Up to size bytes from offset, as text.
std::string readAt(PlatFile* file, uint64_t offset, size_t size) {
    char buffer[64] = {};
    size_t got = 0;
    EXPECT_TRUE(platFileSeek(file, offset) && platFileRead(file, buffer, size, &got));
    return std::string(buffer, got);
}

// A plain file may be replaced by a new one when rewritten, but a file
// reached through a symbolic or a hard link must be the one written.
TEST(PlatformFile, CreateAlwaysThroughLinksWritesTheLinkedFile) {
    TempFile target("");
    for (bool symbolic : {true, false}) {
        PlatFile* f = open(target.path, PlatCreate::CreateAlways);
        ASSERT_NE(f, nullptr);
        writeAll(f, "old text");
        platFileClose(f);
        const std::string link = std::string(target.path) + (symbolic ? ".sym" : ".hard");
        ASSERT_EQ(symbolic ? symlink(target.path, link.c_str()) : ::link(target.path, link.c_str()),
                  0);
        ASSERT_NE(f = open(link.c_str(), PlatCreate::CreateAlways), nullptr);
        writeAll(f, "new");
        platFileClose(f);
        ASSERT_NE(f = open(target.path, PlatCreate::OpenExisting), nullptr);
        EXPECT_EQ(readAt(f, 0, 8), "new") << symbolic;
        platFileClose(f);
        struct stat st;
        ASSERT_EQ(lstat(link.c_str(), &st), 0);
        EXPECT_EQ(S_ISLNK(st.st_mode), symbolic);
        unlink(link.c_str());
    }
}

// The write-behind writer reserves room ahead of its appends. A store that
// is cleared cuts its file back, which gives that room back too: the next
// appends must reserve again rather than trust the old reservation.
TEST(PlatformWriteBehind, ReservesRoomAgainAfterTheFileIsCut) {
    TempFile tmp("");
    PlatFile* f = open(tmp.path, PlatCreate::OpenAlways);
    ASSERT_NE(f, nullptr);
    PlatWriteBehind* writer = platWriteBehindCreate(4096);
    ASSERT_NE(writer, nullptr);
    auto appendAt = [&](uint64_t offset) {
        memset(platWriteBehindBuffer(writer), 'r', 4096);
        uint64_t end = 0;
        ASSERT_TRUE(platWriteBehindSubmit(writer, f, offset, 4096, &end));
        ASSERT_TRUE(platWriteBehindWait(writer, &end));
    };
    auto allocated = [&] {
        struct stat st;
        EXPECT_EQ(stat(tmp.path, &st), 0);
        return static_cast<uint64_t>(st.st_blocks) * 512;
    };
    constexpr uint64_t kMostOfAStep = 8u << 20;
    appendAt(0);
    appendAt(4096);
    if (allocated() < kMostOfAStep) {
        platWriteBehindDestroy(writer);
        platFileClose(f);
        GTEST_SKIP() << "this file system does not reserve room ahead";
    }
    ASSERT_TRUE(platFileSeek(f, 0));
    ASSERT_TRUE(platFileTruncate(f));
    EXPECT_LT(allocated(), kMostOfAStep);
    appendAt(0);
    EXPECT_GE(allocated(), kMostOfAStep);
    EXPECT_EQ(platFileSize(f), 4096);
    platWriteBehindDestroy(writer);
    platFileClose(f);
}
#endif

#ifdef _WIN32
TEST(PlatformFile, ExclusiveOpenKeepsOthersOut) {
    TempFile tmp("", "nck");
    PlatFile* f = open(tmp.path, PlatCreate::OpenAlways);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(open(tmp.path, PlatCreate::OpenExisting, PlatAccess::Read, PlatShare::ReadWrite),
              nullptr);
    platFileClose(f);
}
#endif

TEST(PlatformFacts, ReportTimesAndDirectories) {
    PlatLocalTime when;
    // 2001-01-01 00:00:00 UTC in 100 ns ticks since 1601; local time may
    // shift it by at most a day.
    ASSERT_TRUE(platLocalTime(126227808000000000ULL, &when));
    EXPECT_TRUE(when.year == 2001 || when.year == 2000);

    char dir[kPlatPathMax];
    PlatFileFacts facts;
    ASSERT_TRUE(platFallbackTempDir(dir, sizeof dir));
    ASSERT_TRUE(platFindFile(dir, &facts));
    EXPECT_NE(facts.attributes & kPlatAttrDirectory, 0u);
}

TEST(PlatformFacts, JapaneseFileNameRoundTrips) {
    TempFile tmp("");
    // "加工.nc" in CP932, beside the temporary file.
    std::string path = std::string(tmp.path) + "\x89\xc1\x8d\x48.nc";
    PlatFile* f = open(path.c_str(), PlatCreate::CreateAlways);
    ASSERT_NE(f, nullptr);
    platFileClose(f);
    PlatFileFacts facts;
    ASSERT_TRUE(platFindFile(path.c_str(), &facts));
    EXPECT_EQ(std::string(facts.name), path.substr(path.find_last_of(platPathSeparator()) + 1));
    EXPECT_TRUE(platFileDelete(path.c_str()));
}

// The path itself is seen by the settings and definition file tests.
TEST(PlatformProcess, ExecutablePathRefusesSmallBuffersAndTicksAdvance) {
    char tiny[3];
    EXPECT_FALSE(platExecutablePath(tiny, sizeof tiny));
    uint32_t start = platTickCount(), later = start;
    for (int i = 0; i < 100000000 && later - start < 2; ++i) later = platTickCount();
    EXPECT_GE(later - start, 2u);
}

TEST(PlatformPaths, AbsolutePathRule) {
    const struct {
        const char* path;
        bool posix, windows;
    } cases[] = {
        {"/usr/x.mdl", true, true}, {"C:\\m.mdl", false, true},
        {"c:m.mdl", false, true},   {"\\share\\m.mdl", false, true},
        {"m.mdl", false, false},    {"sub/m.mdl", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        EXPECT_EQ(platIsAbsolutePath(c.path), c.windows) << c.path;
#else
        EXPECT_EQ(platIsAbsolutePath(c.path), c.posix) << c.path;
#endif
    }
    EXPECT_FALSE(platIsAbsolutePath(nullptr));
}

}  // namespace
