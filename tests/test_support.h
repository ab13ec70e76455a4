// What the tests of every folder share: files in the temporary directory
// that a test owns, and readers of files and profile texts.
#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

// A whole file's bytes; empty when it cannot be read.
inline std::string readText(const char* path) {
    std::string text;
    PlatFile* file =
        platFileOpen(path, PlatAccess::Read, PlatShare::ReadWrite, PlatCreate::OpenExisting);
    char chunk[65536];
    size_t got = 0;
    while (file != nullptr && platFileRead(file, chunk, sizeof chunk, &got) && got > 0) {
        text.append(chunk, got);
    }
    platFileClose(file);
    return text;
}

// A file the test owns, removed when the test ends. The system's unique
// file (its name begins with prefix) stays in place as long as the test
// runs, so that no other test process can be handed the same name; the
// test's own file is that name with the suffix added, or that very file
// when the suffix is empty.
struct TempFile {
    char reserved[kPlatPathMax] = {};
    char path[kPlatPathMax + 8] = {};
    explicit TempFile(const char* suffix = ".ini", const char* prefix = "tlt") {
        EXPECT_TRUE(platTempFile(prefix, reserved, sizeof reserved));
        snprintf(path, sizeof path, "%s%s", reserved, suffix);
    }
    ~TempFile() {
        platFileDelete(path);
        platFileDelete(reserved);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void write(const std::string& text) const {
        PlatFile* file = platFileOpen(path, PlatAccess::ReadWrite, PlatShare::Exclusive,
                                      PlatCreate::CreateAlways);
        ASSERT_NE(file, nullptr);
        size_t done = 0;
        EXPECT_TRUE(text.empty() || platFileWrite(file, text.data(), text.size(), &done));
        platFileClose(file);
    }
    std::string read() const { return readText(path); }
};

// A temporary file that holds bytes from the start.
struct TempBytes : TempFile {
    explicit TempBytes(const std::string& bytes, const char* prefix = "tlt")
        : TempFile("", prefix) {
        write(bytes);
    }
};

// Profile texts in tests: "|" stands for the line end.
inline std::string withLineEnds(const char* text, const char* end = "\r\n") {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p)
        out += *p == '|' ? std::string(end) : std::string(1, *p);
    return out;
}

// What a reader makes of text in a file. The record is filled with a
// pattern first, so that a field the reader leaves unset shows.
template <typename Record, typename Reader>
Record readRecordFrom(const std::string& text, Reader reader) {
    TempFile tmp;
    tmp.write(text);
    Record record;
    memset(&record, 0x5A, sizeof record);
    EXPECT_EQ(reader(tmp.path, &record), 1);
    return record;
}

#ifndef _WIN32
// While it lives, no file of the process grows beyond bytes, as on a full
// disk: a write past the limit fails (or writes part) instead of raising
// the signal.
struct FileSizeLimit {
    rlimit old = {};
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        const rlimit small = {bytes, old.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
    }
};
#endif
