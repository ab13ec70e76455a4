// A file path in the temporary directory that the test owns: the file does
// not exist until written, and is removed when the test ends.
#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

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

// The system's unique file stays in place as long as the test runs, so
// that no other test process can be handed the same name; the test's own
// file is that name with the suffix added.
struct TempFile {
    char reserved[kPlatPathMax] = {};
    char path[kPlatPathMax + 8] = {};
    explicit TempFile(const char* suffix = ".ini") {
        EXPECT_TRUE(platTempFile("tlt", reserved, sizeof reserved));
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
        EXPECT_TRUE(platFileWrite(file, text.data(), text.size(), &done));
        platFileClose(file);
    }
    std::string read() const { return readText(path); }
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
