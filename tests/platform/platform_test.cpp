#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A temporary file that is removed when the test ends, whatever happens.
struct TempPath {
    char path[kPlatPathMax] = {};
    explicit TempPath(const char* prefix) { created = platTempFile(prefix, path, sizeof path); }
    ~TempPath() { platFileDelete(path); }
    bool created;
};

std::string baseName(const char* path) {
    std::string p(path);
    size_t cut = p.find_last_of(platPathSeparator());
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

void writeAll(PlatFile* file, const char* text) {
    size_t done = 0;
    ASSERT_TRUE(platFileWrite(file, text, strlen(text), &done));
    ASSERT_EQ(done, strlen(text));
}

TEST(PlatformTempFile, IsCreatedEmptyWithPrefixAndUniqueName) {
    TempPath a("nck"), b("nck"), c("tlv");
    ASSERT_TRUE(a.created && b.created && c.created);
    EXPECT_NE(std::string(a.path), std::string(b.path));
    EXPECT_EQ(baseName(a.path).substr(0, 3), "nck");
    EXPECT_EQ(baseName(c.path).substr(0, 3), "tlv");
    PlatFileFacts facts;
    ASSERT_TRUE(platFindFile(a.path, &facts));
    EXPECT_EQ(facts.size, 0u);
    EXPECT_EQ(std::string(facts.name), baseName(a.path));
}

TEST(PlatformTempFile, FallbackFolderExists) {
    char dir[kPlatPathMax];
    ASSERT_TRUE(platFallbackTempDir(dir, sizeof dir));
    EXPECT_TRUE(platIsDirectory(dir));
}

TEST(PlatformTempFile, TooSmallBufferFailsAndLeavesNothing) {
    char tiny[4];
    EXPECT_FALSE(platTempFile("nck", tiny, sizeof tiny));
}

TEST(PlatformFile, WriteSeekReadTruncate) {
    TempPath tmp("tlv");
    PlatFile* f = platFileOpen(tmp.path, PlatAccess::ReadWrite,
                               PlatShare::Exclusive, PlatCreate::OpenAlways);
    ASSERT_NE(f, nullptr);
    writeAll(f, "0123456789");
    EXPECT_EQ(platFileSize(f), 10);
    ASSERT_TRUE(platFileSeek(f, 4));
    char buf[16] = {};
    size_t got = 0;
    ASSERT_TRUE(platFileRead(f, buf, 3, &got));
    EXPECT_EQ(got, 3u);
    EXPECT_STREQ(buf, "456");
    // A read past the end is short, not an error.
    ASSERT_TRUE(platFileSeek(f, 8));
    ASSERT_TRUE(platFileRead(f, buf, sizeof buf, &got));
    EXPECT_EQ(got, 2u);
    ASSERT_TRUE(platFileSeek(f, 5));
    ASSERT_TRUE(platFileTruncate(f));
    EXPECT_EQ(platFileSize(f), 5);
    ASSERT_TRUE(platFileSeekEnd(f));
    writeAll(f, "ab");
    EXPECT_EQ(platFileSize(f), 7);
    platFileClose(f);
}

TEST(PlatformFile, OpenExistingFailsForMissingFileAndDirectory) {
    TempPath tmp("tlv");
    std::string missing = std::string(tmp.path) + ".missing";
    EXPECT_EQ(platFileOpen(missing.c_str(), PlatAccess::Read, PlatShare::Read,
                           PlatCreate::OpenExisting),
              nullptr);
    char dir[kPlatPathMax];
    ASSERT_TRUE(platFallbackTempDir(dir, sizeof dir));
    EXPECT_EQ(platFileOpen(dir, PlatAccess::Read, PlatShare::Read,
                           PlatCreate::OpenExisting),
              nullptr);
    EXPECT_EQ(platFileOpen(nullptr, PlatAccess::Read, PlatShare::Read,
                           PlatCreate::OpenExisting),
              nullptr);
}

TEST(PlatformFile, CreateAlwaysTruncatesAndDeleteRemoves) {
    TempPath tmp("tlv");
    PlatFile* f = platFileOpen(tmp.path, PlatAccess::ReadWrite, PlatShare::Read,
                               PlatCreate::OpenExisting);
    ASSERT_NE(f, nullptr);
    writeAll(f, "abc");
    platFileClose(f);
    f = platFileOpen(tmp.path, PlatAccess::ReadWrite, PlatShare::Read,
                     PlatCreate::CreateAlways);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(platFileSize(f), 0);
    platFileClose(f);
    EXPECT_TRUE(platFileDelete(tmp.path));
    PlatFileFacts facts;
    EXPECT_FALSE(platFindFile(tmp.path, &facts));
    EXPECT_FALSE(platFileDelete(tmp.path));
}

#ifdef _WIN32
TEST(PlatformFile, ExclusiveOpenKeepsOthersOut) {
    TempPath tmp("nck");
    PlatFile* f = platFileOpen(tmp.path, PlatAccess::ReadWrite,
                               PlatShare::Exclusive, PlatCreate::OpenAlways);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(platFileOpen(tmp.path, PlatAccess::Read, PlatShare::ReadWrite,
                           PlatCreate::OpenExisting),
              nullptr);
    platFileClose(f);
}
#endif

TEST(PlatformMapping, ZeroLengthFileCannotBeMappedAndSaysSo) {
    TempPath tmp("nck");
    PlatFile* f = platFileOpen(tmp.path, PlatAccess::ReadWrite,
                               PlatShare::Exclusive, PlatCreate::OpenAlways);
    ASSERT_NE(f, nullptr);
    const void* view = nullptr;
    bool zero = false;
    EXPECT_EQ(platMapRead(f, &view, nullptr, &zero), nullptr);
    EXPECT_TRUE(zero);
    void* rw = nullptr;
    zero = false;
    EXPECT_EQ(platMapReadWrite(f, &rw, nullptr, &zero), nullptr);
    EXPECT_TRUE(zero);
    platFileClose(f);
}

TEST(PlatformMapping, ReadViewShowsContentAndWriteViewReachesFile) {
    TempPath tmp("nck");
    PlatFile* f = platFileOpen(tmp.path, PlatAccess::ReadWrite,
                               PlatShare::Exclusive, PlatCreate::OpenAlways);
    ASSERT_NE(f, nullptr);
    writeAll(f, "G01X1.\r\n");
    void* view = nullptr;
    size_t size = 0;
    PlatMapping* m = platMapReadWrite(f, &view, &size);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(size, 8u);
    EXPECT_EQ(memcmp(view, "G01X1.\r\n", 8), 0);
    static_cast<char*>(view)[0] = 'g';
    platUnmap(m);
    ASSERT_TRUE(platFileSeek(f, 0));
    char buf[9] = {};
    size_t got = 0;
    ASSERT_TRUE(platFileRead(f, buf, 8, &got));
    EXPECT_STREQ(buf, "g01X1.\r\n");
    platFileClose(f);

    PlatFile* r = platFileOpen(tmp.path, PlatAccess::Read, PlatShare::Read,
                               PlatCreate::OpenExisting);
    ASSERT_NE(r, nullptr);
    const void* rview = nullptr;
    m = platMapRead(r, &rview, &size);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(memcmp(rview, "g01", 3), 0);
    platUnmap(m);
    platFileClose(r);
}

TEST(PlatformFacts, ReportSizeTimesAndDirectories) {
    TempPath tmp("tlv");
    PlatFile* f = platFileOpen(tmp.path, PlatAccess::ReadWrite, PlatShare::Read,
                               PlatCreate::OpenExisting);
    ASSERT_NE(f, nullptr);
    writeAll(f, "12345");
    platFileClose(f);
    PlatFileFacts facts;
    ASSERT_TRUE(platFindFile(tmp.path, &facts));
    EXPECT_EQ(facts.size, 5u);
    EXPECT_EQ(facts.attributes & kPlatAttrDirectory, 0u);
    PlatLocalTime when;
    ASSERT_TRUE(platLocalTime(facts.lastWriteTime, &when));
    EXPECT_GE(when.year, 2020);
    EXPECT_GE(when.month, 1);
    EXPECT_LE(when.month, 12);

    char dir[kPlatPathMax];
    ASSERT_TRUE(platFallbackTempDir(dir, sizeof dir));
    ASSERT_TRUE(platFindFile(dir, &facts));
    EXPECT_NE(facts.attributes & kPlatAttrDirectory, 0u);
}

TEST(PlatformFacts, FileTimeEpochConvertsOnBothBuilds) {
    // 2001-01-01 00:00:00 UTC in 100 ns ticks since 1601; local time may
    // shift it by at most a day.
    const uint64_t t = 126227808000000000ULL;
    PlatLocalTime when;
    ASSERT_TRUE(platLocalTime(t, &when));
    EXPECT_TRUE(when.year == 2001 || when.year == 2000);
}

TEST(PlatformFacts, JapaneseFileNameRoundTrips) {
    TempPath tmp("tlv");
    // "加工.nc" in CP932, beside the temporary file.
    std::string path = std::string(tmp.path) + "\x89\xc1\x8d\x48.nc";
    PlatFile* f = platFileOpen(path.c_str(), PlatAccess::ReadWrite,
                               PlatShare::Read, PlatCreate::CreateAlways);
    ASSERT_NE(f, nullptr);
    platFileClose(f);
    PlatFileFacts facts;
    ASSERT_TRUE(platFindFile(path.c_str(), &facts));
    EXPECT_EQ(std::string(facts.name), baseName(path.c_str()));
    EXPECT_TRUE(platFileDelete(path.c_str()));
}

TEST(PlatformProcess, ExecutablePathIsAbsoluteAndExists) {
    char path[kPlatPathMax];
    ASSERT_TRUE(platExecutablePath(path, sizeof path));
    EXPECT_TRUE(platIsAbsolutePath(path));
    PlatFileFacts facts;
    EXPECT_TRUE(platFindFile(path, &facts));
    char tiny[3];
    EXPECT_FALSE(platExecutablePath(tiny, sizeof tiny));
}

TEST(PlatformProcess, TickCountAdvances) {
    uint32_t start = platTickCount();
    uint32_t later = start;
    for (int i = 0; i < 100000000 && later - start < 2; ++i) later = platTickCount();
    EXPECT_GE(later - start, 2u);
}

TEST(PlatformPaths, AbsolutePathRule) {
    struct Case {
        const char* path;
        bool posix, windows;
    } cases[] = {
        {"/usr/x.mdl", true, true},    {"C:\\m.mdl", false, true},
        {"c:m.mdl", false, true},      {"\\share\\m.mdl", false, true},
        {"m.mdl", false, false},       {"sub/m.mdl", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
#ifdef _WIN32
        EXPECT_EQ(platIsAbsolutePath(c.path), c.windows) << c.path;
#else
        EXPECT_EQ(platIsAbsolutePath(c.path), c.posix) << c.path;
#endif
    }
    EXPECT_FALSE(platIsAbsolutePath(nullptr));
}

}  // namespace
