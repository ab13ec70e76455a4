// A file path in the temporary directory that the test owns: the file does
// not exist until written, and is removed when the test ends.
#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// The system's unique file stays in place as long as the test runs, so
// that no other test process can be handed the same name; the test's own
// file is that name with an extension added.
struct TempFile {
    char reserved[kPlatPathMax] = {};
    char path[kPlatPathMax + 4] = {};
    TempFile() {
        EXPECT_TRUE(platTempFile("tlt", reserved, sizeof reserved));
        snprintf(path, sizeof path, "%s.ini", reserved);
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
    std::string read() const {
        std::string text;
        PlatFile* file =
            platFileOpen(path, PlatAccess::Read, PlatShare::ReadWrite, PlatCreate::OpenExisting);
        char chunk[4096];
        size_t got = 0;
        while (file != nullptr && platFileRead(file, chunk, sizeof chunk, &got) && got > 0) {
            text.append(chunk, got);
        }
        platFileClose(file);
        return text;
    }
};

// Profile texts in tests: "|" stands for the line end.
inline std::string withLineEnds(const char* text, const char* end = "\r\n") {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p)
        out += *p == '|' ? std::string(end) : std::string(1, *p);
    return out;
}
